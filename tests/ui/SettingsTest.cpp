#include <gtest/gtest.h>

#include <windows.h>

#include <map>

#include "TestSupport.h"
#include "core/ProjectUnit.h"
#include "tests/TestFiles.h"
#include "ui/Application.h"
#include "ui/MainFormUnit.h"
#include "ui/ProductInfo.h"

namespace {

using namespace std::string_literals;

const char* const RefusedMessage = "A file name cannot contain any of the following characters:\r\n"
                                   " \\ / : * ? \" < > |";

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        ui::Application().SetTitle(ui::ProductName);
        // The test program's own options must not reach the window as a file to open.
        ui::Application().SetArguments({});
        form.Show();
        Pump();
    }

    void TearDown() override { ui::Application().SetArguments(arguments); }

    // Characters as the keyboard delivers them to the title edit, one WM_CHAR each.
    // As the keyboard types: one UTF-16 unit a message.
    void Type(const std::string& characters) {
        std::wstring wide(characters.size(), L'\0');
        wide.resize(static_cast<size_t>(
            MultiByteToWideChar(CP_UTF8, 0, characters.data(), static_cast<int>(characters.size()),
                                wide.data(), static_cast<int>(wide.size()))));
        for (wchar_t c : wide)
            SendMessageW(form.TitleEdit->Handle(), WM_CHAR, c, 1);
        Pump();
    }

    // A click on a real control, with its page in front as a user would see it.
    void Click(ui::TControl* control, ui::TTabSheet* page) {
        form.PageControl->SetActivePage(page);
        SendMessageA(control->Handle(), BM_CLICK, 0, 0);
        Pump();
    }

    std::map<std::string, bool> EnabledStates() {
        std::map<std::string, bool> states;
        for (const auto& row : ui::TMainForm::Layout())
            states[row.Name] = dynamic_cast<ui::TControl*>(form.FindComponent(row.Name))->Enabled();
        return states;
    }

    static COLORREF Middle(ui::TPanel* swatch) { return PaintedPixel(swatch->Handle(), 8, 8); }

    const std::vector<std::string> arguments = ui::Application().Arguments();
    TFakeSeams seams;
    ui::TMainForm form;
};

TEST_F(Settings, ARefusedCharacterIsDroppedAfterOnePlainMessage) {
    Type("a?b");
    EXPECT_EQ(form.TitleEdit->Text(), "ab");
    ASSERT_EQ(seams.MessageBoxes.size(), 1u);
    const ui::TMessageBoxRequest& box = seams.MessageBoxes[0];
    EXPECT_EQ(box.Text, RefusedMessage);
    EXPECT_EQ(box.Caption, "Zenvoy Muravel");
    EXPECT_EQ(box.Type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(box.Owner, form.Handle());
}

TEST_F(Settings, EachOfTheNineRefusedCharactersIsRefused) {
    Type("x");
    const std::string refused = "\\/:*?\"<>|";
    for (char c : refused) {
        SCOPED_TRACE(std::string(1, c));
        const size_t before = seams.MessageBoxes.size();
        Type(std::string(1, c));
        EXPECT_EQ(form.TitleEdit->Text(), "x");
        ASSERT_EQ(seams.MessageBoxes.size(), before + 1);
        EXPECT_EQ(seams.MessageBoxes.back().Text, RefusedMessage);
    }
}

TEST_F(Settings, OtherCharactersAndBackspacePassWithoutAMessage) {
    Type("Sea. Blue\xC3\xA9~!");
    EXPECT_EQ(form.TitleEdit->Text(), "Sea. Blue\xC3\xA9~!");
    Type("\b\b");
    EXPECT_EQ(form.TitleEdit->Text(), "Sea. Blue\xC3\xA9");
    Type("    ");
    EXPECT_EQ(form.TitleEdit->Text(), "Sea. Blue\xC3\xA9    ") << "blanks are the Generate check's";
    EXPECT_TRUE(seams.MessageBoxes.empty());
}

TEST_F(Settings, PastedTextIsNotFiltered) {
    HWND edit = form.TitleEdit->Handle();
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("what?"));
    EXPECT_EQ(form.TitleEdit->Text(), "what?");

    // The clipboard shortcuts arrive as control characters, which the filter lets through.
    SendMessageA(edit, EM_SETSEL, 0, -1);
    Type("\x03");
    SendMessageA(edit, EM_SETSEL, 5, 5);
    Type("\x16");
    EXPECT_EQ(form.TitleEdit->Text(), "what?what?");
    SendMessageA(edit, EM_SETSEL, 0, 0);
    SendMessageA(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(form.TitleEdit->Text(), "what?what?what?");
    SendMessageA(edit, EM_SETSEL, 0, 5);
    Type("\x18");
    EXPECT_EQ(form.TitleEdit->Text(), "what?what?");
    EXPECT_TRUE(seams.MessageBoxes.empty());
}

TEST_F(Settings, TheSwatchesPaintInTheirColours) {
    EXPECT_EQ(Middle(form.BGColorPanel), RGB(0, 0, 0));
    EXPECT_EQ(Middle(form.TextColorPanel), GetSysColor(COLOR_BACKGROUND));
    EXPECT_EQ(Middle(form.TextBGColorPanel), RGB(255, 255, 255));
}

TEST_F(Settings, EachColourButtonOpensTheDialogOnItsSwatchAndStoresTheChoice) {
    struct TCase {
        ui::TButton* Button;
        ui::TPanel* Swatch;
        COLORREF Opened;
        COLORREF Chosen;
    };
    const TCase cases[] = {
        {form.BGColorBtn, form.BGColorPanel, RGB(0, 0, 0), RGB(10, 20, 30)},
        {form.TextColorBtn, form.TextColorPanel, GetSysColor(COLOR_BACKGROUND), RGB(40, 50, 60)},
        {form.TextBGColorBtn, form.TextBGColorPanel, RGB(255, 255, 255), RGB(70, 80, 90)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Button->Name);
        std::map<std::string, ui::TColor> others;
        for (const TCase& other : cases)
            if (other.Swatch != c.Swatch)
                others[other.Swatch->Name] = other.Swatch->Color();
        seams.ColorDialogs.clear();
        seams.ColorDialogAnswers = {c.Chosen};
        Click(c.Button, form.InfoSheet);

        ASSERT_EQ(seams.ColorDialogs.size(), 1u);
        const ui::TColorDialogRequest& request = seams.ColorDialogs[0];
        EXPECT_EQ(request.Color, c.Opened);
        EXPECT_EQ(request.Flags & (CC_FULLOPEN | CC_ANYCOLOR),
                  static_cast<DWORD>(CC_FULLOPEN | CC_ANYCOLOR));
        EXPECT_EQ(request.Owner, form.Handle());
        EXPECT_EQ(c.Swatch->Color(), static_cast<ui::TColor>(c.Chosen));
        EXPECT_EQ(Middle(c.Swatch), c.Chosen);
        for (const auto& [name, color] : others)
            EXPECT_EQ(dynamic_cast<ui::TPanel*>(form.FindComponent(name))->Color(), color) << name;
    }
}

TEST_F(Settings, CancelKeepsASystemColourAndOkReplacesItWithRGB) {
    seams.ColorDialogAnswers = {std::nullopt, RGB(1, 2, 3), std::nullopt};
    Click(form.TextColorBtn, form.InfoSheet);
    EXPECT_EQ(form.TextColorPanel->Color(), static_cast<ui::TColor>(0xFF000001u));

    Click(form.TextColorBtn, form.InfoSheet);
    EXPECT_EQ(form.TextColorPanel->Color(), static_cast<ui::TColor>(RGB(1, 2, 3)));
    Click(form.TextColorBtn, form.InfoSheet);
    EXPECT_EQ(form.TextColorPanel->Color(), static_cast<ui::TColor>(RGB(1, 2, 3)));

    ASSERT_EQ(seams.ColorDialogs.size(), 3u);
    EXPECT_EQ(seams.ColorDialogs[0].Color, GetSysColor(1));
    EXPECT_EQ(seams.ColorDialogs[1].Color, GetSysColor(1));
    EXPECT_EQ(seams.ColorDialogs[2].Color, RGB(1, 2, 3));
}

TEST_F(Settings, ShowTextSwitchesExactlyItsFiveControlsAndKeepsTheirContent) {
    const std::map<std::string, bool> initial = EnabledStates();
    for (const auto& [name, enabled] : initial)
        EXPECT_EQ(enabled, name != "PlayBtn") << name;
    form.TextMemo->SetText("first\r\nsecond");
    form.WebEdit->SetText("http://example.org/");

    Click(form.ShowTextCheckBox, form.InfoSheet);
    ASSERT_TRUE(form.ShowTextCheckBox->Checked());
    EXPECT_EQ(EnabledStates(), initial);

    Click(form.ShowTextCheckBox, form.InfoSheet);
    ASSERT_FALSE(form.ShowTextCheckBox->Checked());
    std::map<std::string, bool> expected = initial;
    for (const char* name :
         {"TextMemo", "WebEdit", "TextColorBtn", "TextBGColorBtn", "TransparentCheckBox"})
        expected[name] = false;
    EXPECT_EQ(EnabledStates(), expected);
    EXPECT_EQ(form.TextMemo->Text(), "first\r\nsecond");
    EXPECT_EQ(form.WebEdit->Text(), "http://example.org/");

    Click(form.ShowTextCheckBox, form.InfoSheet);
    EXPECT_EQ(EnabledStates(), initial);
    EXPECT_EQ(form.TextMemo->Text(), "first\r\nsecond");
    EXPECT_EQ(form.WebEdit->Text(), "http://example.org/");
}

TEST_F(Settings, ShowLicenseSwitchesOnlyTheLicenceMemo) {
    const std::map<std::string, bool> initial = EnabledStates();
    form.LicenseMemo->SetText("Use freely.");
    Click(form.ShowLicenseCheckBox, form.InfoSheet);
    Click(form.ShowLicenseCheckBox, form.InfoSheet);
    std::map<std::string, bool> expected = initial;
    expected["LicenseMemo"] = false;
    EXPECT_EQ(EnabledStates(), expected);
    EXPECT_EQ(form.LicenseMemo->Text(), "Use freely.");

    form.ShowLicenseCheckBox->SetChecked(true);
    EXPECT_EQ(EnabledStates(), initial) << "setting the box by code applies the rule too";
}

TEST_F(Settings, TheTransparencyBoxesDisableNothing) {
    const std::map<std::string, bool> initial = EnabledStates();
    for (int i = 0; i < 2; ++i) {
        Click(form.BGTransparentCheckBox, form.InfoSheet);
        Click(form.TransparentCheckBox, form.InfoSheet);
        EXPECT_EQ(EnabledStates(), initial);
    }
}

TEST_F(Settings, TheContentOfDisabledControlsIsStillSaved) {
    testfiles::TempFolder dir;
    form.LicenseMemo->SetText("Licence line 1\r\nLicence line 2");
    form.TextMemo->SetText("Hello");
    form.WebEdit->SetText("http://example.org/");
    seams.ColorDialogAnswers = {RGB(1, 2, 3)};
    Click(form.TextColorBtn, form.InfoSheet);
    for (ui::TCheckBox* box : {form.ShowLicenseCheckBox, form.ShowTextCheckBox}) {
        Click(box, form.InfoSheet);
        Click(box, form.InfoSheet);
    }
    ASSERT_FALSE(form.LicenseMemo->Enabled());
    ASSERT_FALSE(form.TextMemo->Enabled());

    form.SaveProject(dir / "p.zvrk");
    core::TProject project(dir / "ini");
    project.LoadFromFile(dir / "p.zvrk");
    EXPECT_FALSE(project.ShowLicense);
    EXPECT_FALSE(project.ShowText);
    ASSERT_EQ(project.LicenseLines.Count(), 2);
    EXPECT_EQ(project.LicenseLines.Get(0), "Licence line 1");
    EXPECT_EQ(project.LicenseLines.Get(1), "Licence line 2");
    ASSERT_EQ(project.TextLines.Count(), 1);
    EXPECT_EQ(project.TextLines.Get(0), "Hello");
    EXPECT_EQ(project.URL, "http://example.org/");
    EXPECT_EQ(project.TextColor, static_cast<ui::TColor>(RGB(1, 2, 3)));
}

TEST_F(Settings, TheOutputDialogSetsThePathAndItsLabelAndCancelChangesNothing) {
    seams.FileDialogAnswers = {std::nullopt, "C:\\Wallpapers\\wall.exe", std::nullopt};
    Click(form.ChangeFileBtn, form.OutputSheet);
    EXPECT_EQ(form.OutputPath, "");
    EXPECT_EQ(form.OutputFileLabel->Caption(), "Output File:");

    Click(form.ChangeFileBtn, form.OutputSheet);
    EXPECT_EQ(form.OutputPath, "C:\\Wallpapers\\wall.exe");
    EXPECT_EQ(form.OutputFileLabel->Caption(), "Output File: C:\\Wallpapers\\wall.exe");

    Click(form.ChangeFileBtn, form.OutputSheet);
    EXPECT_EQ(form.OutputPath, "C:\\Wallpapers\\wall.exe");
    EXPECT_EQ(form.OutputFileLabel->Caption(), "Output File: C:\\Wallpapers\\wall.exe");

    ASSERT_EQ(seams.FileDialogs.size(), 3u);
    const ui::TFileDialogRequest& request = seams.FileDialogs[0];
    EXPECT_TRUE(request.Save);
    EXPECT_EQ(request.Filter, "Executable Files\0*.exe\0"s);
    EXPECT_EQ(request.DefaultExt, "exe");
    const DWORD options = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    EXPECT_EQ(request.Flags & options, options);
    EXPECT_EQ(request.Owner, form.Handle());
    EXPECT_EQ(seams.FileDialogs[2].FileName, "C:\\Wallpapers\\wall.exe");
    EXPECT_TRUE(seams.MessageBoxes.empty());
}

} // namespace
