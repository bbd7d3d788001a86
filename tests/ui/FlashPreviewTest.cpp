#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "../PngReader.h"
#include "../TestFiles.h"
#include "../flash/FakeFlash.h"
#include "../host/RuntimeStandIn.h"
#include "TestSupport.h"
#include "ui/Application.h"
#include "ui/MainFormUnit.h"
#include "wallpaper/WallpaperPage.h"

namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

std::string PutColor(int color) {
    return "IDispatch::Invoke(123, DISPATCH_PROPERTYPUT, named DISPID_PROPERTYPUT, VT_I4 " +
           std::to_string(color) + ")";
}

std::string PutMovie(const std::string& path) {
    return "IDispatch::Invoke(102, DISPATCH_PROPERTYPUT, named DISPID_PROPERTYPUT, VT_BSTR \"" +
           path + "\"" + (path.empty() ? " (empty)" : "") + ")";
}

std::string SetFlvPath(const std::string& path) {
    return "IShockwaveFlash::SetVariable(\"FLVPath\", \"" + path + "\")";
}

const char* const PlayerFolder = "D:\\Tools\\Muravel\\";

Lines MovieCalls(const std::string& path) {
    return {PutColor(-1), PutMovie(path)};
}

Lines VideoCalls(const std::string& path) {
    return {PutColor(0), PutMovie(PlayerFolder + "nsFLVPlayer.dat"s), SetFlvPath(path)};
}

// The window with the fake Flash control in its preview panel; the fake is registered before the
// window makes its control.
class FlashPreview : public ::testing::Test {
protected:
    void SetUp() override {
        arguments = ui::Application().Arguments();
        ui::Application().SetArguments({});
        seams.ExecutableFolder = PlayerFolder;
        form.Show();
        Pump();
        ASSERT_TRUE(form.FlashPlayer->HostsControl());
        Record().calls.clear();
    }
    void TearDown() override { ui::Application().SetArguments(arguments); }

    fakeflash::TRecord& Record() { return fake.Record(); }
    fakeflash::TBehaviour& Behaviour() { return fake.Behaviour(); }

    // What reached the control since the last look, the one-time interface query left out.
    Lines TakeCalls() {
        Lines calls = Record().Calls({"IDispatch::", "IShockwaveFlash::"});
        Record().calls.clear();
        return calls;
    }

    // The preview's state as the user sees it.
    std::string State() {
        return form.FlashPath + "|" + form.FlashFileLabel->Caption() + "|" +
               (form.LoopCheckBox->Checked() ? "checked" : "clear") + "|" +
               (form.LoopCheckBox->Enabled() ? "enabled" : "disabled");
    }

    std::vector<std::string> arguments;
    TFakeSeams seams;
    fakeflash::TRegistration fake;
    ui::TMainForm form;
};

TEST_F(FlashPreview, AMovieIsShownOnTheControlsOwnBackgroundAndEnablesLoopWithoutCheckingIt) {
    form.LoopCheckBox->SetEnabled(false);
    form.LoadFlash("C:\\Movies\\intro.swf");
    EXPECT_EQ(TakeCalls(), MovieCalls("C:\\Movies\\intro.swf"));
    EXPECT_EQ(State(), "C:\\Movies\\intro.swf|Flash: C:\\Movies\\intro.swf|clear|enabled");

    form.LoopCheckBox->SetChecked(true);
    form.LoadFlash("C:\\Movies\\second.swf");
    EXPECT_EQ(TakeCalls(), MovieCalls("C:\\Movies\\second.swf"));
    EXPECT_EQ(State(), "C:\\Movies\\second.swf|Flash: C:\\Movies\\second.swf|checked|enabled");
}

TEST_F(FlashPreview, AVideoPlaysThroughThePlayerMovieBesideTheProgramAndClearsLoop) {
    form.LoopCheckBox->SetChecked(true);
    form.LoadFlash("E:\\My Clips\\holiday 2.flv");
    EXPECT_EQ(
        Record().Calls({"IDispatch::", "IShockwaveFlash", "QueryInterface("}),
        (Lines{PutColor(0), PutMovie("D:\\Tools\\Muravel\\nsFLVPlayer.dat"),
               "QueryInterface(IShockwaveFlash)", SetFlvPath("E:\\My Clips\\holiday 2.flv")}));
    EXPECT_EQ(State(),
              "E:\\My Clips\\holiday 2.flv|Flash: E:\\My Clips\\holiday 2.flv|clear|enabled");

    // Clearing is all a video does to Loop: a disabled box stays disabled.
    Record().calls.clear();
    form.LoopCheckBox->SetChecked(true);
    form.LoopCheckBox->SetEnabled(false);
    form.LoadFlash("E:\\other.flv");
    EXPECT_EQ(TakeCalls(), VideoCalls("E:\\other.flv"));
    EXPECT_EQ(State(), "E:\\other.flv|Flash: E:\\other.flv|clear|disabled");
}

TEST_F(FlashPreview, OnlyTheLastExtensionInAnyLetterCaseMakesAVideo) {
    const std::pair<const char*, bool> paths[] = {
        {"C:\\A\\CLIP.FLV", true},       {"C:\\A\\clip.Flv", true},
        {"C:\\A\\clip.flv.swf", false},  {"C:\\A\\clip.swf.flv", true},
        {"C:\\Clips.flv\\movie", false}, {"C:\\A\\notes.txt", false},
        {"C:\\A\\clip.flvx", false},     {"C:\\A\\.flv", true},
    };
    for (const auto& [path, video] : paths) {
        form.LoadFlash(path);
        EXPECT_EQ(TakeCalls(), video ? VideoCalls(path) : MovieCalls(path)) << path;
        EXPECT_EQ(form.FlashPath, path);
    }
}

TEST_F(FlashPreview, TheSamePathAgainChangesNothingEvenAfterTheUserChangedLoop) {
    form.LoadFlash("C:\\A\\clip.flv");
    TakeCalls();
    SendMessageA(form.LoopCheckBox->Handle(), BM_CLICK, 0, 0);
    ASSERT_TRUE(form.LoopCheckBox->Checked());
    form.LoadFlash("C:\\A\\clip.flv");
    EXPECT_TRUE(TakeCalls().empty());
    EXPECT_EQ(State(), "C:\\A\\clip.flv|Flash: C:\\A\\clip.flv|checked|enabled");

    // The comparison is exact: another spelling of the same file is loaded again.
    form.LoadFlash("C:\\A\\CLIP.flv");
    EXPECT_EQ(TakeCalls(), VideoCalls("C:\\A\\CLIP.flv"));
    EXPECT_FALSE(form.LoopCheckBox->Checked());
}

TEST_F(FlashPreview, AMovieAfterAVideoLeavesLoopClearButEnabled) {
    form.LoopCheckBox->SetChecked(true);
    form.LoadFlash("C:\\A\\clip.flv");
    form.LoadFlash("C:\\A\\movie.swf");
    EXPECT_EQ(TakeCalls().back(), PutMovie("C:\\A\\movie.swf"));
    EXPECT_EQ(State(), "C:\\A\\movie.swf|Flash: C:\\A\\movie.swf|clear|enabled");
}

TEST_F(FlashPreview, AnEmptyPathPutsAnEmptyMovieAsAFlashMovie) {
    form.LoadFlash("C:\\A\\clip.flv");
    TakeCalls();
    form.LoadFlash("");
    EXPECT_EQ(TakeCalls(), MovieCalls(""));
    EXPECT_EQ(State(), "|Flash: |clear|enabled");
}

TEST_F(FlashPreview, AFailedPutRaisesAndLeavesTheMovieSoTheSamePathCanBeTriedAgain) {
    form.LoadFlash("C:\\A\\old.swf");
    form.LoopCheckBox->SetChecked(true);
    TakeCalls();
    Behaviour().failingDispid = 102;
    Behaviour().invokeResult = DISP_E_EXCEPTION;
    Behaviour().exceptionText = L"Cannot load the movie";
    for (const char* path : {"C:\\A\\new.swf", "C:\\A\\new.flv"}) {
        EXPECT_EQ(testfiles::MessageOf<ui::EOleException>([&] { form.LoadFlash(path); }),
                  "Cannot load the movie")
            << path;
        EXPECT_EQ(State(), "C:\\A\\old.swf|Flash: C:\\A\\old.swf|checked|enabled") << path;
    }
    Behaviour().failingDispid = 123;
    EXPECT_EQ(testfiles::MessageOf<ui::EOleException>([&] { form.LoadFlash("C:\\A\\new.swf"); }),
              "Cannot load the movie");
    EXPECT_EQ(TakeCalls(), (Lines{PutColor(-1), PutMovie("C:\\A\\new.swf"), PutColor(0),
                                  PutMovie("D:\\Tools\\Muravel\\nsFLVPlayer.dat"), PutColor(-1)}));

    Behaviour().failingDispid = DISPID_UNKNOWN;
    form.LoadFlash("C:\\A\\new.swf");
    EXPECT_EQ(TakeCalls(), MovieCalls("C:\\A\\new.swf"));
    EXPECT_EQ(State(), "C:\\A\\new.swf|Flash: C:\\A\\new.swf|checked|enabled");
}

TEST_F(FlashPreview, AFailedSetVariableRaisesBeforeLoopIsCleared) {
    form.LoopCheckBox->SetChecked(true);
    Behaviour().setVariableResult = E_FAIL;
    Behaviour().errorInfoText = L"FLVPath cannot be set now";
    EXPECT_EQ(testfiles::MessageOf<ui::EOleException>([&] { form.LoadFlash("C:\\A\\clip.flv"); }),
              "FLVPath cannot be set now");
    EXPECT_EQ(State(), "|Flash:|checked|enabled");

    Behaviour().setVariableResult = S_OK;
    TakeCalls();
    form.LoadFlash("C:\\A\\clip.flv");
    EXPECT_EQ(TakeCalls(), VideoCalls("C:\\A\\clip.flv"));
    EXPECT_EQ(State(), "C:\\A\\clip.flv|Flash: C:\\A\\clip.flv|clear|enabled");
}

TEST_F(FlashPreview, OpenAsksForAFlashFileAndLoadsItOnOkOnly) {
    form.PageControl->SetActivePage(form.FlashSheet);
    seams.FileDialogAnswers = {"C:\\Movies\\picked.swf", std::nullopt};
    SendMessageA(form.OpenBtn->Handle(), BM_CLICK, 0, 0);
    ASSERT_EQ(seams.FileDialogs.size(), 1u);
    const ui::TFileDialogRequest& request = seams.FileDialogs[0];
    EXPECT_EQ(request.Owner, form.Handle());
    EXPECT_FALSE(request.Save);
    EXPECT_EQ(request.Filter,
              "All Flash Files\0*.swf;*.flv\0Flash Movies\0*.swf\0Flash Videos\0*.flv\0"s);
    EXPECT_EQ(request.FilterIndex, 1);
    EXPECT_EQ(request.DefaultExt, "");
    EXPECT_EQ(request.Flags & (OFN_HIDEREADONLY | OFN_ENABLESIZING),
              static_cast<DWORD>(OFN_HIDEREADONLY | OFN_ENABLESIZING));
    EXPECT_EQ(request.Flags & OFN_FILEMUSTEXIST, 0u);
    EXPECT_EQ(TakeCalls(), MovieCalls("C:\\Movies\\picked.swf"));
    EXPECT_EQ(form.FlashFileLabel->Caption(), "Flash: C:\\Movies\\picked.swf");

    SendMessageA(form.OpenBtn->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(seams.FileDialogs.size(), 2u);
    EXPECT_TRUE(TakeCalls().empty());
    EXPECT_EQ(form.FlashPath, "C:\\Movies\\picked.swf");
    EXPECT_TRUE(seams.MessageBoxes.empty());
}

TEST_F(FlashPreview, AControlErrorAfterOpenIsShownAndTheWindowGoesOn) {
    Behaviour().failingDispid = 102;
    Behaviour().invokeResult = DISP_E_EXCEPTION;
    Behaviour().exceptionText = L"Cannot load the movie";
    seams.FileDialogAnswers = {"C:\\Movies\\broken.swf"};
    SendMessageA(form.OpenBtn->Handle(), BM_CLICK, 0, 0);
    ASSERT_EQ(seams.MessageBoxes.size(), 1u);
    EXPECT_EQ(seams.MessageBoxes[0].Text, "Cannot load the movie.");
    EXPECT_EQ(seams.MessageBoxes[0].Type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(State(), "|Flash:|clear|enabled");
}

// Under Wine no Flash player exists: the panel shows what the file's header says.
class FlashPreviewWithoutPlayer : public ::testing::Test {
protected:
    void SetUp() override {
        arguments = ui::Application().Arguments();
        ui::Application().SetArguments({});
        seams.ExecutableFolder = folder.Path();
        form.Show();
        Pump();
        ASSERT_FALSE(form.FlashPlayer->HostsControl()) << "a Flash control is installed here";
    }
    void TearDown() override { ui::Application().SetArguments(arguments); }

    Lines Shown() { return testfiles::CrLfLines(TextOf(form.FlashPlayer->Handle())); }

    std::vector<std::string> arguments;
    testfiles::TempFolder folder;
    TFakeSeams seams;
    ui::TMainForm form;
};

std::string Be32(uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
            static_cast<char>(v)};
}

TEST_F(FlashPreviewWithoutPlayer, ShowsTheDetailsOfTheMovieOrVideoChosen) {
    // 480 x 360 pixels in twips, 24 frames per second, one frame.
    const std::string body = testfiles::Hex("78 00 04 B0 00 00 0E 10 00 00 18 01 00 40 00 00 00");
    testfiles::WriteFile(folder / "intro.swf", "FWS\x0A"s + testfiles::Le32(8 + 17) + body);
    testfiles::WriteFile(folder / "nsFLVPlayer.dat", "FWS\x0A"s + testfiles::Le32(8 + 17) + body);
    const std::string videoTag = "\x22"s + std::string(40, '\x55');
    testfiles::WriteFile(folder / "clip.flv", "FLV\x01\x01"s + Be32(9) + Be32(0) + "\x09"s +
                                                  Be32(41).substr(1) + std::string(7, '\0') +
                                                  videoTag + Be32(11 + 41));

    form.LoadFlash(folder / "intro.swf");
    Lines shown = Shown();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0], "intro.swf");
    EXPECT_EQ(shown[1], "Flash movie, version 10, uncompressed (FWS): 480 x 360 pixels, "
                        "24 frames per second, 1 frame");
    // Nor is there a web view to play it in.
    EXPECT_EQ(shown[3], "The Microsoft Edge WebView2 Runtime, which shows the wallpaper, is not "
                        "installed.");
    EXPECT_EQ(form.WebPreview, nullptr);

    form.LoadFlash(folder / "clip.flv");
    shown = Shown();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0], "clip.flv");
    EXPECT_EQ(shown[1], "Flash video with video only, Sorenson H.263; no metadata");
    EXPECT_EQ(form.FlashFileLabel->Caption(), "Flash: " + (folder / "clip.flv"));

    // A movie cut short says so where it shows.
    testfiles::WriteFile(folder / "cut.swf", testfiles::SwfMovie(1000).substr(0, 400));
    form.LoadFlash(folder / "cut.swf");
    EXPECT_EQ(Shown()[1], "Flash movie, version 10, uncompressed (FWS): 480 x 360 pixels, 24 "
                          "frames per second, 1 frame; cut off: its header says 1,000 bytes, "
                          "the file holds 400");
    EXPECT_TRUE(seams.MessageBoxes.empty());
}

// Where the WebView2 runtime is (its stand-in here), the movie plays in the window, on the
// page an installation installs.
class FlashPreviewInWebView : public ::testing::Test {
protected:
    void SetUp() override {
        arguments = ui::Application().Arguments();
        ui::Application().SetArguments({});
        seams.ExecutableFolder = folder.Path();
        ASSERT_TRUE(CopyFileA(WinePath(MURAVEL_STUB_PATH).c_str(),
                              (folder / "installer.dat").c_str(), FALSE));
        testfiles::WriteFile(folder / "intro.swf", testfiles::SwfMovie());
        form.Show();
        form.PageControl->SetActivePage(form.FlashSheet);
        ASSERT_TRUE(PumpUntil([&] { return runtime.Recorded({"controller MuravelWebPreview"}); }))
            << testfiles::ReadFile(runtime.Log());
    }
    void TearDown() override { ui::Application().SetArguments(arguments); }

    // The folder of the page last navigated to.
    std::string ShownFolder() const {
        const std::string log = testfiles::ReadFile(runtime.Log());
        const std::string marker = " navigate file:///";
        const size_t at = log.rfind(marker);
        if (at == std::string::npos)
            return "";
        std::string path = log.substr(at + marker.size(), log.find('\n', at) - at - marker.size());
        path = path.substr(0, path.rfind('/'));
        std::string decoded;
        for (size_t i = 0; i < path.size(); ++i)
            if (path[i] == '%' && i + 2 < path.size()) {
                decoded += static_cast<char>(std::stoi(path.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                decoded += path[i] == '/' ? '\\' : path[i];
            }
        return decoded;
    }
    // Lets the preview's timers run for a while.
    static void Settle() {
        PumpUntil([start = GetTickCount64()] { return GetTickCount64() - start > 700; });
    }

    std::vector<std::string> arguments;
    testfiles::TempFolder folder;
    standin::TRuntime runtime{folder / "runtime", WinePath(MURAVEL_WEBVIEW_PATH)};
    TFakeSeams seams;
    ui::TMainForm form;
};

TEST_F(FlashPreviewInWebView, PlaysTheMovieAsInstalledAndShowsEachSettingAtOnce) {
    // The web view takes the panel's place and size.
    const HWND view =
        FindWindowExA(form.FlashPanel->Handle(), nullptr, "MuravelWebPreview", nullptr);
    ASSERT_NE(view, nullptr);
    RECT panel, shown;
    GetWindowRect(form.FlashPlayer->Handle(), &panel);
    GetWindowRect(view, &shown);
    EXPECT_TRUE(EqualRect(&panel, &shown));
    EXPECT_TRUE(runtime.Recorded({"bounds 0 0 " + std::to_string(panel.right - panel.left) + " " +
                                  std::to_string(panel.bottom - panel.top)}));

    form.LoadFlash(folder / "intro.swf");
    ASSERT_TRUE(PumpUntil([&] { return runtime.Count("navigate") == 1; }));
    const std::string first = ShownFolder();
    EXPECT_NE(testfiles::ReadFile(first + "\\wallpaper.html").find("data-movie=\"intro.swf\""),
              std::string::npos);
    EXPECT_TRUE(IsWindowVisible(view));

    // A colour reaches the page as one call of its listener, and writes no folder.
    seams.ColorDialogAnswers = {RGB(0x11, 0x22, 0x33)};
    form.BGColorBtnClick(form.BGColorBtn);
    Settle();
    const std::string colour = "script window.livelyPropertyListener && "
                               "livelyPropertyListener(\"background\", \"#112233\")";
    EXPECT_TRUE(runtime.Recorded({colour}));
    EXPECT_EQ(runtime.Count("navigate"), 1u);

    // Loop is part of the page: its folder is written again, and the last one goes.
    form.LoopCheckBox->SetChecked(!form.LoopCheckBox->Checked());
    ASSERT_TRUE(PumpUntil([&] { return runtime.Count("navigate") == 2; }));
    EXPECT_NE(ShownFolder(), first);
    EXPECT_NE(testfiles::ReadFile(ShownFolder() + "\\wallpaper.html").find("#112233"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(first));

    // Once the page has drawn, Play in Browser's folder has the frame the view shows (the
    // stand-in's orange) for its picture, not the stage.
    ASSERT_TRUE(PumpUntil([&] { return !form.WebPreview->Frame().empty(); }));
    form.PlayBtnClick(form.PlayBtn);
    ASSERT_EQ(seams.ShellRequests.size(), 1u);
    const std::string played = seams.ShellRequests[0].File;
    const std::string png = testfiles::ReadFile(
        played.substr(0, played.size() - std::string("wallpaper.html").size()) + "preview.png");
    const rtl::TPicture frame = testfiles::DecodePng(png);
    // The preview's folder took the web player's files from the one before, unchanged.
    const std::string playedFolder = played.substr(0, played.size() - 14);
    for (const char* name : {"ruffle-wasm.js", "ruffle.js"})
        EXPECT_TRUE(testfiles::ReadFile(ShownFolder() + "\\" + name) ==
                    testfiles::ReadFile(playedFolder + name))
            << name;
    EXPECT_EQ(frame.Width, 480);
    EXPECT_EQ(frame.Height, 270);
    EXPECT_EQ(frame.Rgb[0], 255);
    EXPECT_EQ(frame.Rgb[1], 128);

    // Another page in front pauses the movie, and it plays on when the preview is back.
    DeleteFileA(runtime.Log().c_str());
    form.PageControl->SetActivePage(form.InfoSheet);
    EXPECT_TRUE(PumpUntil([&] {
        return runtime.Recorded(
            {"script " + wallpaper::PlaybackScript(true), "visible 0", "suspend"});
    })) << testfiles::ReadFile(runtime.Log());
    form.PageControl->SetActivePage(form.FlashSheet);
    EXPECT_TRUE(PumpUntil([&] {
        return runtime.Recorded(
            {"resume", "visible 1", "script " + wallpaper::PlaybackScript(false)});
    })) << testfiles::ReadFile(runtime.Log());
}

} // namespace
