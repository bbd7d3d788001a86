#include <gtest/gtest.h>

#include "LayoutCheck.h"
#include "TestSupport.h"
#include "ui/AboutFormUnit.h"
#include "ui/Application.h"
#include "ui/MainFormUnit.h"
#include "ui/ProductInfo.h"

namespace {

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override {
        form.Show();
        Pump();
    }

    // Opens the About box from the menu, and hands it to step until step is done with it.
    void WithAboutBox(const std::function<bool(HWND)>& step) {
        WhileModal([&] { SendMessageA(form.Handle(), WM_COMMAND, form.MMAbout->Command(), 0); },
                   "TAboutForm", nullptr, step);
    }

    TFakeSeams seams;
    ui::TMainForm form;
};

TEST_F(AboutBox, EveryComponentIsOfItsKindWithItsCaptionAndPlace) {
    ui::TAboutForm about(form);
    for (const auto& row : ui::TAboutForm::Layout())
        ExpectLaidOut(about, row);
    ExpectTabOrder(about, ui::TAboutForm::Layout());

    EXPECT_EQ(TextOf(about.Handle()), "About");
    RECT client;
    GetClientRect(about.Handle(), &client);
    EXPECT_EQ(client.right, 354);
    EXPECT_EQ(client.bottom, 274);
    EXPECT_EQ(about.DefaultButton(), about.OKBtn);
    EXPECT_EQ(about.URLLabel->Caption(), ui::MakerAddress);
    EXPECT_EQ(about.VersionLabel->Caption(), "Version 3.0.0");
}

TEST_F(AboutBox, HasADialogBorderAndBelongsToTheMainWindow) {
    ui::TAboutForm about(form);
    const LONG style = GetWindowLongA(about.Handle(), GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    const LONG exStyle = GetWindowLongA(about.Handle(), GWL_EXSTYLE);
    EXPECT_NE(exStyle & WS_EX_DLGMODALFRAME, 0);
    EXPECT_EQ(exStyle & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(GetWindow(about.Handle(), GW_OWNER), form.Handle());
}

TEST_F(AboutBox, IsCentredOnTheMainWindow) {
    SetWindowPos(form.Handle(), nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ui::TAboutForm about(form);
    about.Show();
    RECT owner;
    RECT box;
    GetWindowRect(form.Handle(), &owner);
    GetWindowRect(about.Handle(), &box);
    EXPECT_NEAR(box.left + box.right, owner.left + owner.right, 1);
    EXPECT_NEAR(box.top + box.bottom, owner.top + owner.bottom, 1);
}

TEST_F(AboutBox, ShowsThePictureTheNameInLargeBoldAndTheWarningAsPlainText) {
    ui::TAboutForm about(form);
    ICONINFO icon{};
    ASSERT_TRUE(GetIconInfo(about.Image->Icon(), &icon));
    BITMAP color{};
    GetObjectA(icon.hbmColor, sizeof color, &color);
    EXPECT_EQ(color.bmWidth, 64);
    EXPECT_EQ(color.bmHeight, 64);
    DeleteObject(icon.hbmColor);
    DeleteObject(icon.hbmMask);
    // Drawn transparent: the rounded corner shows the box's colour, the middle the picture.
    EXPECT_EQ(PaintedPixel(about.Image->Handle(), 0, 0), GetSysColor(COLOR_BTNFACE));
    EXPECT_NE(PaintedPixel(about.Image->Handle(), 32, 40), GetSysColor(COLOR_BTNFACE));

    LOGFONTA name{};
    GetObjectA(about.NameLabel->FontHandle(), sizeof name, &name);
    EXPECT_STREQ(name.lfFaceName, "Tahoma");
    EXPECT_EQ(name.lfHeight, -16);
    EXPECT_EQ(name.lfWeight, FW_BOLD);
    LOGFONTA link{};
    GetObjectA(about.URLLabel->FontHandle(), sizeof link, &link);
    EXPECT_TRUE(link.lfUnderline);
    EXPECT_EQ(link.lfHeight, -11);

    EXPECT_TRUE(about.WarningMemo->ReadOnly());
    EXPECT_EQ(about.WarningMemo->Color(), core::clBtnFace);
    EXPECT_FALSE(about.WarningMemo->Text().empty());
    // Its text starts where the copyright line's does: one left edge.
    RECT text{};
    SendMessageA(about.WarningMemo->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    EXPECT_EQ(about.WarningMemo->Bounds().Left + text.left, about.CopyrightLabel->Bounds().Left);
}

TEST_F(AboutBox, TheLinkOpensTheMakersAddressWithTheBoxAsParent) {
    ui::TAboutForm about(form);
    about.Show();
    SendMessageA(about.URLLabel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(about.URLLabel->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    ASSERT_EQ(seams.ShellRequests.size(), 1u);
    EXPECT_EQ(seams.ShellRequests[0].Owner, about.Handle());
    EXPECT_EQ(seams.ShellRequests[0].Verb, std::optional<std::string>("open"));
    EXPECT_EQ(seams.ShellRequests[0].File, ui::MakerAddress);
    EXPECT_EQ(seams.ShellRequests[0].Show, SW_SHOWNORMAL);

    SendMessageA(about.URLLabel->Handle(), WM_SETCURSOR,
                 reinterpret_cast<WPARAM>(about.URLLabel->Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
}

TEST_F(AboutBox, ClosesWithEnterButNotWithEsc) {
    HWND box = nullptr;
    int step = 0;
    WithAboutBox([&](HWND shown) {
        if (shown == nullptr)
            return false;
        if (step == 0) {
            box = shown;
            EXPECT_FALSE(IsWindowEnabled(form.Handle())) << "the box is modal";
            EXPECT_EQ(GetFocus(), FindWindowExA(box, nullptr, "Button", "OK"));
            PressKey(VK_ESCAPE);
            ++step;
            return false;
        }
        EXPECT_EQ(shown, box) << "Esc left the box open";
        PressKey(VK_RETURN);
        return true;
    });
    EXPECT_FALSE(IsWindow(box));
    EXPECT_TRUE(IsWindowEnabled(form.Handle()));
    EXPECT_TRUE(seams.MessageBoxes.empty());
}

TEST_F(AboutBox, ClosesWithOKAndEachCommandMakesAFreshBox) {
    std::vector<HWND> boxes;
    for (int time = 0; time < 2; ++time) {
        WithAboutBox([&](HWND shown) {
            if (shown == nullptr)
                return false;
            boxes.push_back(shown);
            PostMessageA(FindWindowExA(shown, nullptr, "Button", "OK"), BM_CLICK, 0, 0);
            return true;
        });
        ASSERT_EQ(boxes.size(), static_cast<size_t>(time + 1));
        EXPECT_FALSE(IsWindow(boxes.back())) << "the box is destroyed when it closes";
    }
    EXPECT_NE(boxes[0], boxes[1]);
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
}

} // namespace
