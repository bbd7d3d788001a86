#include <shlobj.h>

#include <optional>

#include "PngReader.h"
#include "StubRunner.h"
#include "host/HostControl.h"
#include "stub/DesktopWallpaper.h"

namespace {

RECT Bounds(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Explorer's desktop windows in one of their layouts, for as long as the object lives.
class TFakeShell {
public:
    explicit TFakeShell(const char* layout) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string line = "fake-shell " + std::string(layout);
        const std::string program = stubrun::WindowsPath(MURAVEL_SHELL_PATH);
        EXPECT_TRUE(CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &process_));
        EXPECT_TRUE(stubrun::Eventually([] { return FindWindowA("Progman", nullptr) != nullptr; }));
    }
    ~TFakeShell() {
        PostMessageA(FindWindowA("Progman", nullptr), WM_CLOSE, 0, 0);
        WaitForSingleObject(process_.hProcess, 10000);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    static HWND Progman() { return FindWindowA("Progman", nullptr); }
    // The icons' window, in Progman or in the WorkerW it moved to.
    static HWND Icons() {
        for (HWND top = GetTopWindow(nullptr); top != nullptr; top = GetWindow(top, GW_HWNDNEXT))
            if (const HWND icons = FindWindowExA(top, nullptr, "SHELLDLL_DefView", nullptr))
                return icons;
        return nullptr;
    }
    // Our wallpaper window, wherever it is in the desktop's windows.
    static HWND Wallpaper() {
        if (const HWND in = FindWindowExA(Progman(), nullptr, "ZenvoyMuravelWallpaper", nullptr))
            return in;
        for (HWND top = GetTopWindow(nullptr); top != nullptr; top = GetWindow(top, GW_HWNDNEXT))
            if (const HWND in = FindWindowExA(top, nullptr, "ZenvoyMuravelWallpaper", nullptr))
                return in;
        return nullptr;
    }

private:
    PROCESS_INFORMATION process_{};
};

// A silent install with the WebView2 runtime's stand-in in place of the runtime, and no Lively.
class DesktopHostTest : public stubrun::TStubTest {
protected:
    bool Recorded(const Strings& calls) const { return runtime.Recorded(calls); }
    size_t Count(const std::string& kind) const { return runtime.Count(kind); }

    std::string Install() {
        return Craft(
            "w.exe",
            [&](core::TProject& p) {
                stubtest::Basic("w.swf", guid)(p);
                p.BackgroundColor = 0x00336699;
            },
            "FWS w");
    }

    const std::string guid = NewGuid();
    // Blanks and letters beyond ASCII, which the page's URL escapes.
    const std::string folder = Path("Blue Lagoon \xC3\xBC");
    const stubrun::TRuntimeStandIn runtime{Path("runtime")};
};

class DesktopLayouts : public DesktopHostTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(DesktopLayouts, ASilentInstallShowsTheWallpaperBehindTheIconsUntilUninstalled) {
    const TFakeShell shell(GetParam());
    const TRun run = InstallSilently(Install(), folder);
    ASSERT_EQ(run.ExitCode, 0u) << run.Error;
    EXPECT_EQ(run.Error, "");
    EXPECT_EQ(stubrun::HostRunValue(), "\"" + folder + "\\wallpaper-host.exe\"");

    // Classic: the WorkerW after the icons' window; raised: Progman, just below the icons.
    const bool raised = std::string(GetParam()) == "raised";
    HWND screen = nullptr;
    ASSERT_TRUE(stubrun::Eventually([&] {
        screen = TFakeShell::Wallpaper();
        return screen != nullptr && IsWindowVisible(screen);
    }));
    if (raised) {
        EXPECT_EQ(GetParent(screen), TFakeShell::Progman());
        EXPECT_EQ(GetWindow(TFakeShell::Icons(), GW_HWNDNEXT), screen);
        EXPECT_NE(GetWindowLongPtrA(screen, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    } else {
        const HWND layer = GetParent(screen);
        EXPECT_EQ(GetWindow(layer, GW_HWNDPREV), GetAncestor(TFakeShell::Icons(), GA_ROOT));
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(screen, MONITOR_DEFAULTTOPRIMARY), &monitor);
    EXPECT_TRUE(Same(Bounds(screen), monitor.rcMonitor));

    std::string url = "file:///" + Path("Blue%20Lagoon%20%C3%BC\\wallpaper.html");
    for (char& c : url)
        c = c == '\\' ? '/' : c;
    const RECT& m = monitor.rcMonitor;
    EXPECT_TRUE(stubrun::Eventually([&] {
        return Recorded({"controller ZenvoyMuravelWallpaper", "background 255 153 102 51",
                         "bounds 0 0 " + std::to_string(m.right - m.left) + " " +
                             std::to_string(m.bottom - m.top),
                         "visible 1", "navigate " + url});
    })) << ReadFile(runtime.Log());
    // Once the page has drawn, its first frame (the stand-in's orange 640 by 360) replaces the
    // installer's picture of the stage.
    EXPECT_TRUE(stubrun::Eventually([&] {
        try {
            const std::string png = ReadFile(folder + "\\preview.png");
            const rtl::TPicture frame = testfiles::DecodePng(png);
            return frame.Width == 480 && frame.Height == 270 && frame.Rgb[0] == 255 &&
                   frame.Rgb[1] == 128 && frame.Rgb[2] == 0;
        } catch (const rtl::Exception&) {
            return false;
        }
    })) << ReadFile(runtime.Log());

    // Paused while a maximised window covers the monitor, and from where it stopped after.
    const HWND cover = CreateWindowExA(0, "STATIC", "cover", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                       nullptr, nullptr, nullptr, nullptr);
    ShowWindow(cover, SW_MAXIMIZE);
    const std::string paused = "script window.livelyWallpaperPlaybackChanged && "
                               "livelyWallpaperPlaybackChanged({IsPaused: true})";
    EXPECT_TRUE(stubrun::Eventually([&] {
        return Recorded({paused, "visible 0", "suspend"});
    })) << ReadFile(runtime.Log());
    DestroyWindow(cover);
    EXPECT_TRUE(stubrun::Eventually([&] {
        return Recorded({paused, "visible 0", "suspend", "resume", "visible 1",
                         "script window.livelyWallpaperPlaybackChanged && "
                         "livelyWallpaperPlaybackChanged({IsPaused: false})"});
    })) << ReadFile(runtime.Log());

    ExpectUninstalled(folder, guid);
    EXPECT_FALSE(host::RunningFolder());
    EXPECT_EQ(stubrun::HostRunValue(), "");
}

INSTANTIATE_TEST_SUITE_P(Layouts, DesktopLayouts, ::testing::Values("classic", "raised"));

TEST_F(DesktopHostTest, AnExplorerThatStartsAgainGetsTheWallpaperBack) {
    std::optional<TFakeShell> shell;
    shell.emplace("classic");
    ASSERT_EQ(InstallSilently(Install(), folder).ExitCode, 0u);
    ASSERT_TRUE(stubrun::Eventually([&] { return Count("navigate") == 1; }));

    // A change of displays that leaves the desktop standing places the window again, and the
    // movie plays on.
    SendMessageA(FindWindowA(host::WindowClass, nullptr), WM_DISPLAYCHANGE, 0, 0);
    EXPECT_TRUE(stubrun::Eventually([&] { return Count("bounds") == 2; }))
        << ReadFile(runtime.Log());
    EXPECT_EQ(Count("navigate"), 1u);

    shell.reset();
    shell.emplace("classic");
    EXPECT_TRUE(stubrun::Eventually([] { return TFakeShell::Wallpaper() != nullptr; }));

    // Installed again, the running host gives way to the new files and comes back.
    const TRun again = InstallSilently(Install(), folder);
    ASSERT_EQ(again.ExitCode, 0u) << again.Error;
    EXPECT_EQ(Names(folder), InstalledNames());
    EXPECT_TRUE(host::Shows(folder));
    ExpectUninstalled(folder, guid);
}

using NoDesktopTest = stubrun::TStubTest;

TEST_F(NoDesktopTest, WithoutTheRuntimeOrLivelyTheInstallSucceedsAndSaysWhatIsMissing) {
    const std::string guid = NewGuid();
    const std::string folder = Path("w");
    const TRun run = InstallSilently(CraftMovie("w", guid), folder);
    ASSERT_EQ(run.ExitCode, 0u) << run.Error;
    EXPECT_EQ(run.Error, std::string(stub::NoDesktopText) + "\r\n");
    EXPECT_EQ(stubrun::HostRunValue(), "");
    EXPECT_FALSE(host::RunningFolder());
    ExpectUninstalled(folder, guid);
}

} // namespace
