#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "TestSupport.h"
#include "rtl/Errors.h"
#include "system/MessagePump.h"
#include "ui/Application.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Edit.h"
#include "ui/Label.h"
#include "ui/Layout.h"
#include "ui/PageControl.h"
#include "ui/Panel.h"
#include "ui/Timer.h"

namespace {

// A small form of every kind of control, on two pages.
class TTestForm : public ui::TForm {
public:
    TTestForm();

    ui::TPageControl* Pages = nullptr;
    ui::TTabSheet* FirstPage = nullptr;
    ui::TTabSheet* SecondPage = nullptr;
    ui::TLabel* Label = nullptr;
    ui::TEdit* Edit = nullptr;
    ui::TMemo* Memo = nullptr;
    ui::TMemo* LogMemo = nullptr;
    ui::TCheckBox* CheckBox = nullptr;
    ui::TButton* OtherBtn = nullptr;
    ui::TButton* DefaultBtn = nullptr;
    ui::TPanel* Swatch = nullptr;
    ui::TPanel* Frame = nullptr;
    ui::TEdit* SecondEdit = nullptr;

    int CheckBoxClicks = 0;
    int OtherClicks = 0;
    int DefaultClicks = 0;
    std::string Typed;
    // What EditKeyPress does with each character: nothing, drop it, change it, fail.
    std::function<void(char&)> Filter = [](char&) {};

    void CheckBoxClick(ui::TComponent*) { ++CheckBoxClicks; }
    void OtherBtnClick(ui::TComponent*) { ++OtherClicks; }
    void DefaultBtnClick(ui::TComponent*) { ++DefaultClicks; }
    void EditKeyPress(ui::TComponent*, char& key) {
        Typed += key;
        Filter(key);
    }
};

using K = ui::TKind;
using F = TTestForm;

// clang-format off
const ui::TLayoutRow<F> TestRows[] = {
    {"Pages", ui::Keep<&F::Pages>, K::PageControl, ui::loNone, "", "", 0, 0, 400, 300, 0, {}},
    {"FirstPage", ui::Keep<&F::FirstPage>, K::TabSheet, ui::loNone, "Pages", "First", 0, 0, 0, 0, 0, {}},
    {"SecondPage", ui::Keep<&F::SecondPage>, K::TabSheet, ui::loNone, "Pages", "Second", 0, 0, 0, 0, 1, {}},
    {"Label", ui::Keep<&F::Label>, K::Label, ui::loNone, "FirstPage", "Label:", 3, 6, 30, 13, ui::NoTab, {}},
    {"Edit", ui::Keep<&F::Edit>, K::Edit, ui::loNone, "FirstPage", "", 60, 3, 200, 21, 0, &F::EditKeyPress},
    {"Memo", ui::Keep<&F::Memo>, K::Memo, ui::loNone, "FirstPage", "", 3, 30, 200, 60, 1, {}},
    {"LogMemo", ui::Keep<&F::LogMemo>, K::Memo, ui::loReadOnly, "FirstPage", "", 210, 30, 150, 60, 2, {}},
    {"CheckBox", ui::Keep<&F::CheckBox>, K::CheckBox, ui::loNone, "FirstPage", "Check", 3, 100, 100, 17, 3, &F::CheckBoxClick},
    {"OtherBtn", ui::Keep<&F::OtherBtn>, K::Button, ui::loNone, "FirstPage", "Other", 3, 130, 75, 25, 4, &F::OtherBtnClick},
    {"DefaultBtn", ui::Keep<&F::DefaultBtn>, K::Button, ui::loDefault | ui::loBold, "FirstPage", "Default", 90, 130, 75, 25, 5, &F::DefaultBtnClick},
    {"Swatch", ui::Keep<&F::Swatch>, K::ColorSwatch, ui::loNone, "FirstPage", "", 3, 170, 17, 17, 6, {}},
    {"Frame", ui::Keep<&F::Frame>, K::Panel, ui::loNone, "FirstPage", "", 30, 170, 60, 40, 7, {}},
    {"SecondEdit", ui::Keep<&F::SecondEdit>, K::Edit, ui::loNone, "SecondPage", "", 3, 3, 100, 21, 0, {}},
};
// clang-format on

const ui::TFormDescription TestDescription{
    "TTestForm", "Test", ui::TBorderStyle::Single, ui::TPosition::Designed, 0, 0, 400, 300,
    ui::TFont{}, 0};

TTestForm::TTestForm() : TForm(TestDescription, nullptr) {
    ui::BuildLayout(*this, ui::Table(TestRows));
}

class Controls : public ::testing::Test {
protected:
    void SetUp() override {
        form.Show();
        Pump();
    }

    // Types key into the window that has the focus, as the keyboard would.
    void Press(HWND focus, UINT key) {
        SetFocus(focus);
        PressKey(key);
        Pump();
    }

    TFakeSeams seams;
    TTestForm form;
};

TEST_F(Controls, ACheckBoxReportsEveryChangeOfItsStateAndOnlyThat) {
    form.CheckBox->SetChecked(true);
    EXPECT_EQ(form.CheckBoxClicks, 1);
    form.CheckBox->SetChecked(true);
    EXPECT_EQ(form.CheckBoxClicks, 1);
    form.CheckBox->SetChecked(false);
    EXPECT_EQ(form.CheckBoxClicks, 2);
    SendMessageA(form.CheckBox->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form.CheckBoxClicks, 3);
    EXPECT_TRUE(form.CheckBox->Checked());
    Press(form.CheckBox->Handle(), VK_SPACE);
    EXPECT_EQ(form.CheckBoxClicks, 4);
    EXPECT_FALSE(form.CheckBox->Checked());
}

TEST_F(Controls, ACheckBoxSetByCodeHandsItsHandlersFailureToTheCaller) {
    form.CheckBox->OnClick = [](ui::TComponent*) { throw rtl::Exception("Stream read error"); };
    EXPECT_THROW(form.CheckBox->SetChecked(true), rtl::Exception);
    EXPECT_TRUE(form.CheckBox->Checked());
    EXPECT_TRUE(seams.MessageBoxes.empty());

    SendMessageA(form.CheckBox->Handle(), BM_CLICK, 0, 0);
    EXPECT_FALSE(form.CheckBox->Checked());
    ASSERT_EQ(seams.MessageBoxes.size(), 1u);
    EXPECT_EQ(seams.MessageBoxes[0].Text, "Stream read error.");
}

TEST_F(Controls, ALabelGrowsToTheRightWithItsCaption) {
    const ui::TBounds before = form.Label->Bounds();
    const std::string caption = "Label: C:\\a rather long folder name\\and a movie.swf";
    form.Label->SetCaption(caption);
    const ui::TBounds after = form.Label->Bounds();
    EXPECT_EQ(after.Left, before.Left);
    EXPECT_EQ(after.Top, before.Top);
    EXPECT_EQ(after.Height, before.Height);
    EXPECT_EQ(after.Width, InkWidth(form.Label->Handle(), caption));
    EXPECT_GT(after.Width, before.Width);
    form.Label->SetCaption("");
    EXPECT_EQ(form.Label->Bounds().Width, 0);
}

TEST(LabelWidth, TheLastGlyphIsWholeAtTwoScales) {
    for (const int pixelsPerInch : {96, 144}) {
        ui::TForm::SetScreenPixelsPerInch(pixelsPerInch);
        TTestForm scaled;
        ui::TForm::SetScreenPixelsPerInch(96);
        const std::string caption = "Flash: Z:\\tmp\\c.swf";
        scaled.Label->SetCaption(caption);
        EXPECT_EQ(scaled.Label->Bounds().Width, InkWidth(scaled.Label->Handle(), caption))
            << pixelsPerInch;
    }
}

TEST_F(Controls, AMemoKeepsItsLinesThroughItsText) {
    rtl::TStringList lines;
    lines.Add("first");
    lines.Add("");
    lines.Add("third line");
    form.Memo->SetLines(lines);
    EXPECT_EQ(form.Memo->Text(), "first\r\n\r\nthird line\r\n");
    EXPECT_EQ(form.Memo->Lines(), lines);

    form.LogMemo->Append("Preparing...");
    form.LogMemo->Append("Mission Accomplished.");
    EXPECT_EQ(form.LogMemo->Text(), "Preparing...\r\nMission Accomplished.\r\n");
    form.LogMemo->SetText("typed without a line end");
    form.LogMemo->Append("next");
    EXPECT_EQ(form.LogMemo->Lines().Count(), 2);
    EXPECT_EQ(form.LogMemo->Lines().Get(1), "next");
    form.LogMemo->Clear();
    EXPECT_EQ(form.LogMemo->Lines().Count(), 0);
}

TEST_F(Controls, AMemoWrapsLongLinesWithoutBreakingThem) {
    const std::string line(60, 'w');
    form.Memo->SetText(line + " " + line + " " + line);
    EXPECT_GT(SendMessageA(form.Memo->Handle(), EM_GETLINECOUNT, 0, 0), 1);
    EXPECT_EQ(form.Memo->Lines().Count(), 1);
    const LONG style = GetWindowLongA(form.Memo->Handle(), GWL_STYLE);
    EXPECT_EQ(style & (WS_HSCROLL | WS_VSCROLL | ES_AUTOHSCROLL), 0);
}

TEST_F(Controls, EnterInAMemoIsALineBreakAndPressesNoButton) {
    form.Memo->SetText("ab");
    SendMessageA(form.Memo->Handle(), EM_SETSEL, 1, 1);
    Press(form.Memo->Handle(), VK_RETURN);
    EXPECT_EQ(form.Memo->Text(), "a\r\nb");
    Press(form.LogMemo->Handle(), VK_RETURN);
    EXPECT_EQ(form.LogMemo->Text(), "");
    EXPECT_TRUE(form.LogMemo->ReadOnly());
    EXPECT_EQ(form.DefaultClicks, 0);
}

TEST_F(Controls, EnterPressesTheFocusedButtonElseTheDefaultOne) {
    Press(form.Edit->Handle(), VK_RETURN);
    EXPECT_EQ(form.DefaultClicks, 1);
    Press(form.CheckBox->Handle(), VK_RETURN);
    EXPECT_EQ(form.DefaultClicks, 2);
    EXPECT_EQ(form.CheckBoxClicks, 0);
    Press(form.OtherBtn->Handle(), VK_RETURN);
    EXPECT_EQ(form.OtherClicks, 1);
    EXPECT_EQ(form.DefaultClicks, 2);
}

TEST_F(Controls, EnterLeavesADefaultButtonThatCannotTakeTheFocus) {
    form.Pages->SetActivePage(form.SecondPage);
    Press(form.SecondEdit->Handle(), VK_RETURN);
    EXPECT_EQ(form.DefaultClicks, 0);
    form.Pages->SetActivePage(form.FirstPage);
    form.DefaultBtn->SetEnabled(false);
    Press(form.Edit->Handle(), VK_RETURN);
    EXPECT_EQ(form.DefaultClicks, 0);
}

TEST_F(Controls, EscDoesNothingOnAFormWithoutCancelButton) {
    form.Memo->SetText("kept");
    for (ui::TControl* control :
         {static_cast<ui::TControl*>(form.Edit), static_cast<ui::TControl*>(form.Memo),
          static_cast<ui::TControl*>(form.OtherBtn)})
        Press(control->Handle(), VK_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
    EXPECT_TRUE(IsWindow(form.Memo->Handle()));
    EXPECT_EQ(form.Memo->Text(), "kept");
    EXPECT_EQ(form.OtherClicks + form.DefaultClicks, 0);
}

TEST_F(Controls, TabFollowsTheTabOrderAndLeavesTabsOutOfMemos) {
    Press(form.Edit->Handle(), VK_TAB);
    EXPECT_EQ(GetFocus(), form.Memo->Handle());
    Press(form.Memo->Handle(), VK_TAB);
    EXPECT_EQ(GetFocus(), form.LogMemo->Handle());
    EXPECT_EQ(form.Memo->Text(), "");
}

TEST_F(Controls, TheKeyFilterSeesEveryTypedAsciiCharacterAndMayDropOrChangeIt) {
    form.Filter = [](char& key) {
        if (key == '?')
            key = '\0';
        else if (key == 'x')
            key = 'y';
    };
    // A character beyond ASCII goes to the edit untouched.
    for (wchar_t c : std::wstring(L"a?x\u00e9\u68ee"))
        SendMessageW(form.Edit->Handle(), WM_CHAR, c, 1);
    EXPECT_EQ(form.Typed, "a?x");
    EXPECT_EQ(form.Edit->Text(), "ay\xC3\xA9\xE6\xA3\xAE");
}

TEST_F(Controls, AFailingKeyFilterDropsTheCharacterAndTheEditGoesOnWorking) {
    form.Filter = [](char& key) {
        if (key == '*')
            throw rtl::Exception("Refused");
    };
    for (char c : std::string("a*b"))
        SendMessageA(form.Edit->Handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
    EXPECT_EQ(form.Edit->Text(), "ab");
    ASSERT_EQ(seams.MessageBoxes.size(), 1u);
    EXPECT_EQ(seams.MessageBoxes[0].Text, "Refused.");
}

TEST_F(Controls, APanelPaintsTheColourItHoldsAndKeepsItAsSet) {
    form.Swatch->SetColor(core::clBackground);
    EXPECT_EQ(form.Swatch->Color(), core::clBackground);
    EXPECT_EQ(PaintedPixel(form.Swatch->Handle(), 8, 8), GetSysColor(COLOR_BACKGROUND));
    form.Swatch->SetColor(RGB(12, 200, 34));
    EXPECT_EQ(form.Swatch->Color(), RGB(12, 200, 34));
    EXPECT_EQ(PaintedPixel(form.Swatch->Handle(), 8, 8), RGB(12, 200, 34));
    // The bevel: light above and left and dark below and right when raised, the other way round
    // when lowered.
    EXPECT_EQ(PaintedPixel(form.Swatch->Handle(), 0, 8), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(PaintedPixel(form.Swatch->Handle(), 16, 8), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(PaintedPixel(form.Frame->Handle(), 0, 8), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(PaintedPixel(form.Frame->Handle(), 59, 8), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(form.Frame->Color(), core::clBtnFace);
}

TEST_F(Controls, TheUserChangesPagesWithTheTabs) {
    ASSERT_EQ(form.Pages->ActivePage(), form.FirstPage);
    RECT tab;
    SendMessageA(form.Pages->Handle(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
    const LPARAM point = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    SendMessageA(form.Pages->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(form.Pages->Handle(), WM_LBUTTONUP, 0, point);
    EXPECT_EQ(form.Pages->ActivePage(), form.SecondPage);
    EXPECT_TRUE(IsWindowVisible(form.SecondPage->Handle()));
    EXPECT_FALSE(IsWindowVisible(form.FirstPage->Handle()));
}

TEST_F(Controls, TheFocusLeavesAPageThatGoesToTheBack) {
    form.Edit->SetFocus();
    form.Pages->SetActivePage(form.SecondPage);
    EXPECT_TRUE(IsWindowVisible(GetFocus()));
    EXPECT_FALSE(IsChild(form.FirstPage->Handle(), GetFocus()));
}

TEST_F(Controls, ABoldButtonHasTheFormsFontInBold) {
    LOGFONTA bold{};
    LOGFONTA plain{};
    GetObjectA(form.DefaultBtn->FontHandle(), sizeof bold, &bold);
    GetObjectA(form.OtherBtn->FontHandle(), sizeof plain, &plain);
    EXPECT_EQ(bold.lfWeight, FW_BOLD);
    EXPECT_EQ(plain.lfWeight, FW_NORMAL);
    EXPECT_EQ(bold.lfHeight, plain.lfHeight);
    EXPECT_STREQ(bold.lfFaceName, plain.lfFaceName);
}

TEST_F(Controls, TheSystemPumpHandlesTheFormsKeysLikeTheMessageLoop) {
    SetFocus(form.Edit->Handle());
    PressKey(VK_RETURN);
    sys::ProcessMessages();
    EXPECT_EQ(form.DefaultClicks, 1);
}

TEST(MessageLoop, WaitingMessagesAreHandledAndTheEndOfTheLoopIsKeptForItsOwner) {
    TFakeSeams seams;
    TTestForm form;
    PostMessageA(form.OtherBtn->Handle(), BM_CLICK, 0, 0);
    PostQuitMessage(3);
    sys::ProcessMessages();
    EXPECT_EQ(form.OtherClicks, 1);
    EXPECT_FALSE(sys::HandleMessage());
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(Timer, RunsItsHandlerThroughTheLoopWhileEnabled) {
    TFakeSeams seams;
    ui::TTimer timer("Timer", false, 1);
    int ticks = 0;
    timer.OnTimer = [&](ui::TComponent*) {
        ++ticks;
        if (ticks == 1)
            throw rtl::Exception("Tick failed");
        if (ticks == 2)
            timer.SetEnabled(false);
    };
    Pump();
    EXPECT_EQ(ticks, 0);
    timer.SetEnabled(true);
    while (ticks < 2)
        ASSERT_TRUE(sys::HandleMessage());
    EXPECT_FALSE(timer.Enabled());
    ASSERT_EQ(seams.MessageBoxes.size(), 1u);
    EXPECT_EQ(seams.MessageBoxes[0].Text, "Tick failed.");
}

// Layouts with a mistake in them, each with the words its error must contain.
class TBadForm : public ui::TForm {
public:
    TBadForm() : TForm(TestDescription, nullptr) {}
    ui::TEdit* Edit = nullptr;
    ui::TButton* Button = nullptr;
    ui::TPanel* Panel = nullptr;
    ui::TTabSheet* Page = nullptr;
    void Click(ui::TComponent*) {}
};

using B = TBadForm;

const ui::TLayoutRow<B> MissingParent[] = {
    {"Edit", ui::Keep<&B::Edit>, K::Edit, ui::loNone, "Nowhere", "", 0, 0, 10, 10, 0, {}}};
const ui::TLayoutRow<B> TakenTabOrder[] = {
    {"Edit", ui::Keep<&B::Edit>, K::Edit, ui::loNone, "", "", 0, 0, 10, 10, 0, {}},
    {"Button", ui::Keep<&B::Button>, K::Button, ui::loNone, "", "", 0, 0, 10, 10, 0, {}}};
const ui::TLayoutRow<B> WrongMember[] = {
    {"Edit", ui::Keep<&B::Button>, K::Edit, ui::loNone, "", "", 0, 0, 10, 10, 0, {}}};
const ui::TLayoutRow<B> PageOutsidePageControl[] = {
    {"Panel", ui::Keep<&B::Panel>, K::Panel, ui::loNone, "", "", 0, 0, 10, 10, 0, {}},
    {"Page", ui::Keep<&B::Page>, K::TabSheet, ui::loNone, "Panel", "", 0, 0, 0, 0, 0, {}}};
const ui::TLayoutRow<B> ClickOnAnEdit[] = {
    {"Edit", ui::Keep<&B::Edit>, K::Edit, ui::loNone, "", "", 0, 0, 10, 10, 0, &B::Click}};
const ui::TLayoutRow<B> TwiceTheSameName[] = {
    {"Edit", ui::Keep<&B::Edit>, K::Edit, ui::loNone, "", "", 0, 0, 10, 10, 0, {}},
    {"Edit", ui::Keep<&B::Edit>, K::Edit, ui::loNone, "", "", 0, 0, 10, 10, 1, {}}};

template <std::size_t N> std::string BuildError(const ui::TLayoutRow<B> (&rows)[N]) {
    TBadForm form;
    try {
        ui::BuildLayout(form, ui::Table(rows));
    } catch (const std::logic_error& e) {
        return e.what();
    }
    return "no error";
}

TEST(LayoutMistakes, AreReportedWithTheNamesInvolved) {
    EXPECT_EQ(BuildError(MissingParent), "Edit: no parent Nowhere before it");
    EXPECT_EQ(BuildError(TakenTabOrder), "Button: tab order 0 is taken in TestForm");
    EXPECT_EQ(BuildError(WrongMember), "Edit is not of the kind its member holds");
    EXPECT_EQ(BuildError(PageOutsidePageControl),
              "Page: the parent of a page must be a page control");
    EXPECT_EQ(BuildError(ClickOnAnEdit), "Edit has no click event");
    EXPECT_EQ(BuildError(TwiceTheSameName), "Edit is laid out twice");
}

} // namespace
