#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <set>

#include "../TestFiles.h"
#include "LayoutCheck.h"
#include "TestSupport.h"
#include "core/ProjectUnit.h"
#include "rtl/Errors.h"
#include "rtl/Paths.h"
#include "ui/Application.h"
#include "ui/MainFormUnit.h"
#include "ui/ProductInfo.h"

namespace {

using namespace std::string_literals;

class MainForm : public ::testing::Test {
protected:
    void SetUp() override {
        form.Show();
        Pump();
    }
    // A save names the project in the application's title, which outlives the window.
    void TearDown() override { ui::Application().SetTitle(title); }

    // Runs a menu item the way a click on it does: by its command.
    void Choose(ui::TMenuItem* item) {
        SendMessageA(form.Handle(), WM_COMMAND, item->Command(), 0);
        Pump();
    }

    ui::TControl* Control(const std::string& name) {
        return dynamic_cast<ui::TControl*>(form.FindComponent(name));
    }

    const std::string title = ui::Application().Title();
    TFakeSeams seams;
    ui::TMainForm form;
};

TEST_F(MainForm, EveryComponentIsOfItsKindWithItsCaptionAndBounds) {
    for (const auto& row : ui::TMainForm::Layout())
        ExpectLaidOut(form, row);
}

TEST_F(MainForm, SiblingsLieInTheirTabOrder) {
    ExpectTabOrder(form, ui::TMainForm::Layout());
}

std::vector<std::string> TabWalk(const ui::TMainForm& form, HWND from) {
    std::vector<std::string> names;
    HWND window = from;
    do {
        names.push_back(ui::TControl::FromHandle(window)->Name);
        window = GetNextDlgTabItem(form.Handle(), window, FALSE);
    } while (window != from && names.size() < 20);
    return names;
}

// The page control holds the pages, so Tab goes on into the showing page rather than stopping on
// the tabs.
TEST_F(MainForm, TabGoesThroughEachPageInTheTabOrder) {
    EXPECT_EQ(TabWalk(form, form.TitleEdit->Handle()),
              (std::vector<std::string>{"TitleEdit", "BGColorBtn", "BGTransparentCheckBox",
                                        "ShowLicenseCheckBox", "ShowTextCheckBox", "LicenseMemo",
                                        "TextMemo", "WebEdit", "TextColorBtn", "TextBGColorBtn",
                                        "TransparentCheckBox"}));
    form.PageControl->SetActivePage(form.FlashSheet);
    EXPECT_EQ(TabWalk(form, form.OpenBtn->Handle()),
              (std::vector<std::string>{"OpenBtn", "LoopCheckBox"}));
    form.PageControl->SetActivePage(form.OutputSheet);
    EXPECT_EQ(TabWalk(form, form.ChangeFileBtn->Handle()),
              (std::vector<std::string>{"ChangeFileBtn", "LogMemo", "RunCheckBox", "GenerateBtn"}));
}

TEST_F(MainForm, TheWindowIsAFixedSingleBorderWindowAtTheTopLeft) {
    HWND window = form.Handle();
    EXPECT_EQ(ClassOf(window), "TMainForm");
    EXPECT_EQ(TextOf(window), "Zenvoy Muravel");
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_NE(style & WS_MINIMIZEBOX, 0);
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0);
    EXPECT_EQ(style & WS_THICKFRAME, 0);
    EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
    EXPECT_NE(SendMessageA(window, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageA(window, WM_GETICON, ICON_SMALL, 0), 0);

    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    GetClientRect(window, &rect);
    EXPECT_EQ(rect.right, 496);
    EXPECT_EQ(rect.bottom, 453);
    EXPECT_EQ(form.DefaultButton(), form.GenerateBtn);
}

TEST_F(MainForm, CanBeMinimizedButNotMaximizedOrResized) {
    // No sizing border: the window's edge is no handle to drag.
    RECT rect;
    GetWindowRect(form.Handle(), &rect);
    const LRESULT edge =
        SendMessageA(form.Handle(), WM_NCHITTEST, 0, MAKELPARAM(rect.right - 1, 200));
    EXPECT_NE(edge, HTRIGHT);
    EXPECT_NE(
        SendMessageA(form.Handle(), WM_NCHITTEST, 0, MAKELPARAM(rect.right - 1, rect.bottom - 1)),
        HTBOTTOMRIGHT);
    ShowWindow(form.Handle(), SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(form.Handle()));
    ShowWindow(form.Handle(), SW_RESTORE);
}

TEST_F(MainForm, UsesTahomaAtAnElevenPixelCharacterHeight) {
    for (ui::TControl* control :
         {static_cast<ui::TControl*>(form.TitleEdit), static_cast<ui::TControl*>(form.TitleLabel),
          static_cast<ui::TControl*>(form.PageControl)}) {
        LOGFONTA font{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control->Handle(), WM_GETFONT, 0, 0)),
                   sizeof font, &font);
        EXPECT_STREQ(font.lfFaceName, "Tahoma") << control->Name;
        EXPECT_EQ(font.lfHeight, -11) << control->Name;
    }
    // The measurements above mean something only with the real face behind the name.
    sys::TWindowDC dc(form.TitleLabel->Handle());
    sys::TSelectObject font(dc.Get(), form.TitleLabel->FontHandle());
    char face[LF_FACESIZE] = "";
    GetTextFaceA(dc.Get(), sizeof face, face);
    EXPECT_STREQ(face, "Tahoma");
}

TEST_F(MainForm, TheMenuHasItsItemsAndSeparatorsInOrder) {
    struct TMenu {
        const char* Caption;
        std::vector<ui::TMenuItem*> Items;
    };
    const std::vector<TMenu> expected = {
        {"File",
         {form.MMNewProject, form.N1, form.MMOpenProject, form.MMSaveProject, form.MMSaveForLively,
          form.N2, form.MMExit}},
        {"Options", {form.MMWallpaperInfo, form.MMFlashMovie, form.MMOutput}},
        {"Help", {form.MMMuravelHelp, form.N3, form.MMHomepage, form.N4, form.MMAbout}},
    };
    const std::vector<std::string> captions = {"New Project",
                                               "-",
                                               "Open Project",
                                               "Save Project",
                                               "Save for Lively Wallpaper (.zip)...",
                                               "-",
                                               "Exit",
                                               "Wallpaper Info",
                                               "Flash Movie",
                                               "Output",
                                               "Muravel Help",
                                               "-",
                                               "Homepage",
                                               "-",
                                               "About"};
    HMENU bar = GetMenu(form.Handle());
    ASSERT_EQ(bar, form.MainMenu->Handle());
    ASSERT_EQ(GetMenuItemCount(bar), 3);
    size_t caption = 0;
    std::set<UINT> commands;
    for (int menu = 0; menu < 3; ++menu) {
        char text[64] = "";
        GetMenuStringA(bar, menu, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, expected[menu].Caption);
        HMENU popup = GetSubMenu(bar, menu);
        ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(expected[menu].Items.size()));
        for (int position = 0; position < GetMenuItemCount(popup); ++position) {
            ui::TMenuItem* item = expected[menu].Items[position];
            SCOPED_TRACE(item->Name);
            MENUITEMINFOA info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_ID;
            GetMenuItemInfoA(popup, position, TRUE, &info);
            EXPECT_EQ(item->Caption(), captions[caption++]);
            if (item->IsSeparator()) {
                EXPECT_NE(info.fType & MFT_SEPARATOR, 0u);
                continue;
            }
            GetMenuStringA(popup, position, text, sizeof text, MF_BYPOSITION);
            EXPECT_EQ(text, item->Caption());
            EXPECT_EQ(info.wID, item->Command());
            EXPECT_TRUE(commands.insert(info.wID).second) << "commands are unique";
        }
    }
}

TEST_F(MainForm, TheDialogsAndTheTimerHaveTheirSettings) {
    EXPECT_EQ(form.OpenProjectDialog.Filter, "Zenvoy Muravel Projects|*.zvrk");
    EXPECT_EQ(form.OpenProjectDialog.DefaultExt, "zvrk");
    EXPECT_EQ(form.OpenProjectDialog.Options,
              static_cast<DWORD>(OFN_HIDEREADONLY | OFN_ENABLESIZING));
    EXPECT_EQ(form.SaveProjectDialog.Filter, "Zenvoy Muravel Projects|*.zvrk");
    EXPECT_EQ(form.SaveProjectDialog.DefaultExt, "zvrk");
    EXPECT_EQ(form.SaveProjectDialog.Options,
              static_cast<DWORD>(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING));
    EXPECT_EQ(form.OpenDialog.Filter,
              "All Flash Files|*.swf;*.flv|Flash Movies|*.swf|Flash Videos|*.flv");
    EXPECT_EQ(form.OpenDialog.DefaultExt, "");
    EXPECT_EQ(form.OpenDialog.FilterIndex, 1);
    EXPECT_EQ(form.OpenDialog.Options & OFN_FILEMUSTEXIST, 0u);
    EXPECT_EQ(form.OpenDialog.Options, static_cast<DWORD>(OFN_HIDEREADONLY | OFN_ENABLESIZING));
    EXPECT_EQ(form.SaveDialog.Filter, "Executable Files|*.exe");
    EXPECT_EQ(form.SaveDialog.DefaultExt, "exe");
    EXPECT_EQ(form.SaveDialog.Options,
              static_cast<DWORD>(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING));
    EXPECT_EQ(form.ColorDialog.Options, static_cast<DWORD>(CC_FULLOPEN | CC_ANYCOLOR));
    for (ui::TFileDialog* dialog : {static_cast<ui::TFileDialog*>(&form.OpenProjectDialog),
                                    static_cast<ui::TFileDialog*>(&form.SaveProjectDialog),
                                    static_cast<ui::TFileDialog*>(&form.OpenDialog),
                                    static_cast<ui::TFileDialog*>(&form.SaveDialog)})
        EXPECT_EQ(dialog->FileName, "") << dialog->Name;

    seams.FileDialogAnswers = {std::nullopt};
    form.OpenDialog.Execute();
    ASSERT_EQ(seams.FileDialogs.size(), 1u);
    EXPECT_EQ(seams.FileDialogs[0].Filter,
              "All Flash Files\0*.swf;*.flv\0Flash Movies\0*.swf\0Flash Videos\0*.flv\0"s);
    EXPECT_EQ(seams.FileDialogs[0].Owner, form.Handle());

    EXPECT_FALSE(form.AutoLoadTimer.Enabled());
    EXPECT_EQ(form.AutoLoadTimer.Interval(), 100u);
}

TEST_F(MainForm, StartsOnTheFirstPageWithTheValuesOfItsDescription) {
    EXPECT_EQ(form.PageControl->ActivePage(), form.InfoSheet);
    EXPECT_TRUE(IsWindowVisible(form.InfoSheet->Handle()));
    EXPECT_FALSE(IsWindowVisible(form.FlashSheet->Handle()));
    EXPECT_FALSE(IsWindowVisible(form.OutputSheet->Handle()));
    EXPECT_EQ(form.FlashPath, "");
    EXPECT_EQ(form.OutputPath, "");
    EXPECT_EQ(form.BGColorPanel->Color(), core::clBlack);
    EXPECT_EQ(form.TextColorPanel->Color(), core::clBackground);
    EXPECT_EQ(form.TextBGColorPanel->Color(), core::clWhite);
    EXPECT_TRUE(form.RunCheckBox->Checked());
    for (ui::TCheckBox* checkBox :
         {form.BGTransparentCheckBox, form.ShowLicenseCheckBox, form.ShowTextCheckBox,
          form.TransparentCheckBox, form.LoopCheckBox})
        EXPECT_FALSE(checkBox->Checked()) << checkBox->Name;
    // Every control but Play in Browser, which waits for a movie.
    for (const auto& row : ui::TMainForm::Layout())
        EXPECT_EQ(Control(row.Name)->Enabled(), Control(row.Name) != form.PlayBtn) << row.Name;
}

TEST_F(MainForm, TheOptionsItemsChangeOnlyTheVisiblePage) {
    form.TitleEdit->SetText("My wallpaper");
    form.ShowTextCheckBox->SetChecked(true);
    form.OutputPath = "C:\\out.exe";
    const std::vector<std::string> before = VisibleSettings(form);
    const std::pair<ui::TMenuItem*, ui::TTabSheet*> choices[] = {
        {form.MMFlashMovie, form.FlashSheet},
        {form.MMOutput, form.OutputSheet},
        {form.MMOutput, form.OutputSheet},
        {form.MMWallpaperInfo, form.InfoSheet},
    };
    for (const auto& [item, page] : choices) {
        Choose(item);
        EXPECT_EQ(form.PageControl->ActivePage(), page) << item->Name;
        EXPECT_EQ(SendMessageA(form.PageControl->Handle(), TCM_GETCURSEL, 0, 0), page->PageIndex());
        for (ui::TTabSheet* each : form.PageControl->Pages())
            EXPECT_EQ(IsWindowVisible(each->Handle()) != FALSE, each == page) << each->Name;
    }
    EXPECT_EQ(VisibleSettings(form), before);
    EXPECT_TRUE(seams.MessageBoxes.empty());
}

TEST_F(MainForm, EnterPressesGenerateOnlyWhileTheOutputPageShows) {
    int generated = 0;
    form.GenerateBtn->OnClick = [&](ui::TComponent*) { ++generated; };
    form.TitleEdit->SetFocus();
    PressKey(VK_RETURN);
    Pump();
    EXPECT_EQ(generated, 0);
    Choose(form.MMOutput);
    form.RunCheckBox->SetFocus();
    PressKey(VK_RETURN);
    Pump();
    EXPECT_EQ(generated, 1);
    form.LogMemo->SetFocus();
    PressKey(VK_RETURN);
    Pump();
    EXPECT_EQ(generated, 1);
}

bool QuitPosted() {
    MSG message;
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

TEST_F(MainForm, ExitWithoutChangesEndsTheProgramWithoutAQuestion) {
    ui::TForm::SetMainForm(&form);
    Choose(form.MMExit);
    EXPECT_FALSE(IsWindowVisible(form.Handle()));
    EXPECT_TRUE(QuitPosted());
    EXPECT_TRUE(seams.MessageBoxes.empty());
}

TEST_F(MainForm, ExitWithUnsavedChangesAsksAndNoEndsTheProgram) {
    ui::TForm::SetMainForm(&form);
    form.TitleEdit->SetText("never saved");
    seams.MessageBoxAnswers = {IDNO};
    Choose(form.MMExit);
    ASSERT_EQ(seams.MessageBoxes.size(), 1u);
    EXPECT_EQ(seams.MessageBoxes[0].Text, "Save changes to Untitled?");
    EXPECT_FALSE(IsWindowVisible(form.Handle()));
    EXPECT_TRUE(QuitPosted());
}

TEST_F(MainForm, ClosingWithUnsavedChangesCancelledKeepsTheWindowAndYesSavesFirst) {
    ui::TForm::SetMainForm(&form);
    form.TitleEdit->SetText("never saved");
    const auto close = [&] {
        SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
        Pump();
    };
    // Cancel, and Yes with the save dialog cancelled, keep everything as it is.
    seams.MessageBoxAnswers = {IDCANCEL, IDYES};
    seams.FileDialogAnswers = {std::nullopt};
    close();
    close();
    EXPECT_EQ(seams.MessageBoxes.size(), 2u);
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
    EXPECT_FALSE(QuitPosted());
    EXPECT_EQ(form.TitleEdit->Text(), "never saved");

    testfiles::TempFolder dir;
    seams.MessageBoxAnswers = {IDYES};
    seams.FileDialogAnswers = {dir / "kept.zvrk"};
    close();
    EXPECT_FALSE(IsWindowVisible(form.Handle()));
    EXPECT_TRUE(QuitPosted());
    core::TProject saved(dir / "ini");
    saved.LoadFromFile(dir / "kept.zvrk");
    EXPECT_EQ(saved.FileTitle, "never saved");
}

TEST_F(MainForm, HelpOpensTheHelpFileBesideTheExecutableWithTheDefaultAction) {
    seams.ExecutableFolder = "D:\\Tools\\Muravel\\";
    Choose(form.MMMuravelHelp);
    ASSERT_EQ(seams.ShellRequests.size(), 1u);
    const ui::TShellRequest& request = seams.ShellRequests[0];
    EXPECT_EQ(request.Owner, form.Handle());
    EXPECT_FALSE(request.Verb.has_value());
    EXPECT_EQ(request.File, "D:\\Tools\\Muravel\\Muravel.chm");
    EXPECT_EQ(request.Parameters, "");
    EXPECT_EQ(request.Directory, "");
    EXPECT_EQ(request.Show, SW_SHOWNORMAL);
    EXPECT_TRUE(seams.MessageBoxes.empty());
}

TEST_F(MainForm, HomepageOpensTheProductsAddress) {
    Choose(form.MMHomepage);
    ASSERT_EQ(seams.ShellRequests.size(), 1u);
    const ui::TShellRequest& request = seams.ShellRequests[0];
    EXPECT_EQ(request.Owner, form.Handle());
    EXPECT_EQ(request.Verb, std::optional<std::string>("open"));
    EXPECT_EQ(request.File, ui::HomePageAddress);
    EXPECT_EQ(request.Show, SW_SHOWNORMAL);
}

TEST_F(MainForm, AFailingHandlerReachesTheDefaultHandlerAndTheWindowGoesOn) {
    int failures = 0;
    form.GenerateBtn->OnClick = [&](ui::TComponent*) {
        ++failures;
        throw rtl::ECompressionError();
    };
    form.MMHomepage->OnClick = [](ui::TComponent*) { throw rtl::ListIndexError(0); };
    Choose(form.MMOutput);
    SendMessageA(form.GenerateBtn->Handle(), BM_CLICK, 0, 0);
    Choose(form.MMHomepage);
    SendMessageA(form.GenerateBtn->Handle(), BM_CLICK, 0, 0);

    EXPECT_EQ(failures, 2);
    ASSERT_EQ(seams.MessageBoxes.size(), 3u);
    EXPECT_EQ(seams.MessageBoxes[0].Text, "Error.");
    EXPECT_EQ(seams.MessageBoxes[1].Text, "List index out of bounds (0)");
    EXPECT_EQ(seams.MessageBoxes[2].Text, "Error.");
    for (const ui::TMessageBoxRequest& box : seams.MessageBoxes) {
        EXPECT_EQ(box.Caption, "Zenvoy Muravel");
        EXPECT_EQ(box.Type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    }
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
    Choose(form.MMFlashMovie);
    EXPECT_EQ(form.PageControl->ActivePage(), form.FlashSheet);
}

TEST(MainFormShow, AFailingShowHandlerIsReportedAndTheWindowShownAllTheSame) {
    TFakeSeams seams;
    ui::TMainForm form;
    form.OnShow = [](ui::TComponent*) { throw rtl::Exception("'x' is not a valid integer value"); };
    form.Show();
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
    ASSERT_EQ(seams.MessageBoxes.size(), 1u);
    EXPECT_EQ(seams.MessageBoxes[0].Text, "'x' is not a valid integer value.");
}

TEST(MainFormScaling, AtOtherPixelsPerInchTheLayoutAndFontScaleAndStayWhole) {
    TFakeSeams seams;
    ui::TForm::SetScreenPixelsPerInch(144);
    ui::TMainForm form;
    ui::TForm::SetScreenPixelsPerInch(96);

    RECT client;
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(client.right, 744);
    EXPECT_EQ(client.bottom, 680);
    LOGFONTA font{};
    GetObjectA(form.TitleEdit->FontHandle(), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -17);
    for (const auto& row : ui::TMainForm::Layout())
        ExpectLaidOut(form, row);
    for (const auto& row : ui::TMainForm::Layout()) {
        HWND window = dynamic_cast<ui::TControl*>(form.FindComponent(row.Name))->Handle();
        RECT rect;
        RECT parent;
        GetWindowRect(window, &rect);
        MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
        GetClientRect(GetParent(window), &parent);
        EXPECT_GE(rect.left, 0) << row.Name;
        EXPECT_GE(rect.top, 0) << row.Name;
        EXPECT_LE(rect.right, parent.right) << row.Name;
        EXPECT_LE(rect.bottom, parent.bottom) << row.Name;
    }
}

TEST(ExecutableFolder, IsTheRunningProgramsFolderUnlessATestSaysOtherwise) {
    const std::string folder = ui::PlatformSeams().ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_TRUE(rtl::FileExists(folder + "ui_tests.exe"));
    TFakeSeams seams;
    seams.ExecutableFolder = "E:\\Elsewhere\\";
    EXPECT_EQ(ui::Application().ExeFolder(), "E:\\Elsewhere\\");
}

} // namespace
