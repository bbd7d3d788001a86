#include "host/DesktopHost.h"

#include <dwmapi.h>
#include <wtsapi32.h>

#include <ctime>

#include "core/Colors.h"
#include "host/HostControl.h"
#include "rtl/Paths.h"
#include "rtl/Streams.h"
#include "system/FramePicture.h"
#include "system/Handle.h"
#include "system/Shell.h"
#include "wallpaper/PreviewPicture.h"
#include "wallpaper/SafeNames.h"
#include "wallpaper/WallpaperPage.h"

namespace host {

namespace {

const char* const ScreenClass = "ZenvoyMuravelWallpaper";
// Sound may start without a click: a desktop has no one to click it.
const char* const BrowserArguments = "--autoplay-policy=no-user-gesture-required";

enum TTimer : UINT_PTR { AttachTimer = 1, CoverTimer = 2 };
constexpr UINT CoverCheckMs = 1000;
// How long the desktop may take to make its layer, and to settle after a change.
constexpr UINT AttachRetryMs = 250;
constexpr int AttachTries = 40;
constexpr UINT SettleMs = 500;
// After the page's processes ended: soon, but never in a tight loop.
constexpr UINT RestartMs = 5000;

bool HasClass(HWND window, const char* name) {
    char found[32] = {};
    return GetClassNameA(window, found, sizeof found) > 0 && lstrcmpiA(found, name) == 0;
}

// Whether window hides a whole monitor: maximised on it, or covering it (full screen). The
// desktop's own windows, windows that let the mouse through (overlays) and windows Windows
// keeps out of sight (cloaked) do not count.
HMONITOR CoveredMonitor(HWND window) {
    if (!IsWindowVisible(window) || IsIconic(window) || HasClass(window, "Progman") ||
        HasClass(window, "WorkerW"))
        return nullptr;
    if ((GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0)
        return nullptr;
    DWORD cloaked = 0;
    if (SUCCEEDED(DwmGetWindowAttribute(window, DWMWA_CLOAKED, &cloaked, sizeof cloaked)) &&
        cloaked != 0)
        return nullptr;
    const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONULL);
    if (monitor == nullptr)
        return nullptr;
    if (IsZoomed(window))
        return monitor;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT bounds;
    if (!GetMonitorInfoA(monitor, &info) || !GetWindowRect(window, &bounds))
        return nullptr;
    const RECT& m = info.rcMonitor;
    return bounds.left <= m.left && bounds.top <= m.top && bounds.right >= m.right &&
                   bounds.bottom >= m.bottom
               ? monitor
               : nullptr;
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, RECT* bounds, LPARAM list) {
    reinterpret_cast<std::vector<std::pair<HMONITOR, RECT>>*>(list)->emplace_back(monitor, *bounds);
    return TRUE;
}

BOOL CALLBACK AddCovered(HWND window, LPARAM list) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId())
        if (const HMONITOR monitor = CoveredMonitor(window))
            reinterpret_cast<std::vector<HMONITOR>*>(list)->push_back(monitor);
    return TRUE;
}

} // namespace

COLORREF PageColor(const std::string& folder) {
    rtl::TMemoryStream page;
    try {
        page.LoadFromFile(folder + "\\" + wallpaper::PageFileName);
    } catch (const rtl::Exception&) {
        return GetSysColor(COLOR_DESKTOP);
    }
    const std::optional<core::TColor> color =
        core::CssToColor(wallpaper::BackgroundOfPage(page.ToString()));
    return color ? static_cast<COLORREF>(*color) : GetSysColor(COLOR_DESKTOP);
}

// A monitor's window, a child of the desktop's layer, and the web view in it.
struct TDesktopHost::TScreen {
    HMONITOR Monitor;
    sys::TWindowHandle Window;
    std::unique_ptr<webview::TWebView> View;
    bool Paused = false;

    void SetPaused(bool paused) {
        if (paused == Paused)
            return;
        Paused = paused;
        if (paused)
            View->Suspend(wallpaper::PlaybackScript(true));
        else
            View->Resume(wallpaper::PlaybackScript(false));
    }
};

TDesktopHost::TDesktopHost(const std::string& folder)
    : folder_(folder), background_(PageColor(folder)), brush_(CreateSolidBrush(background_)),
      taskbarCreated_(RegisterWindowMessageA("TaskbarCreated")) {
    RegisterWindowClass(WindowClass, nullptr);
    RegisterWindowClass(ScreenClass, brush_.Get());
    // Hidden and top-level: the system's notices reach top-level windows only.
    CreateWindowExW(WS_EX_TOOLWINDOW, sys::TWideClassName(WindowClass).Get(), L"", WS_POPUP, 0, 0,
                    0, 0, nullptr, nullptr, GetModuleHandleW(nullptr),
                    static_cast<sys::TWindow*>(this));
    if (Handle() == nullptr)
        throw rtl::Exception("The wallpaper host's window cannot be made. " + rtl::LastErrorText());
    SetWindowTextA(Handle(), folder_.c_str());
    WTSRegisterSessionNotification(Handle(), NOTIFY_FOR_THIS_SESSION);
    displayNotification_ = RegisterPowerSettingNotification(Handle(), &GUID_CONSOLE_DISPLAY_STATE,
                                                            DEVICE_NOTIFY_WINDOW_HANDLE);
    environment_ = std::make_unique<webview::TEnvironment>(
        "Desktop", BrowserArguments, [this](const std::string& error) { EnvironmentReady(error); });
}

TDesktopHost::~TDesktopHost() {
    screens_.clear();
    if (displayNotification_ != nullptr)
        UnregisterPowerSettingNotification(displayNotification_);
    if (Handle() != nullptr)
        WTSUnRegisterSessionNotification(Handle());
}

void TDesktopHost::EnvironmentReady(const std::string& error) {
    if (!error.empty()) {
        Report(error);
        DestroyWindow(Handle());
        return;
    }
    Attach();
    SetTimer(Handle(), CoverTimer, CoverCheckMs, nullptr);
}

void TDesktopHost::ScheduleAttach(UINT delayMs) {
    attachTries_ = 0;
    SetTimer(Handle(), AttachTimer, delayMs, nullptr);
}

void TDesktopHost::Attach() {
    KillTimer(Handle(), AttachTimer);
    if (!environment_->Ready())
        return;
    const std::optional<TDesktopLayer> layer = FindDesktopLayer();
    if (!layer) {
        // Explorer has gone, and our windows with its.
        screens_.clear();
        if (++attachTries_ < AttachTries)
            SetTimer(Handle(), AttachTimer, AttachRetryMs, nullptr);
        else
            Report("The desktop has no place for the wallpaper; waiting for Explorer.");
        return;
    }
    attachTries_ = 0;
    std::vector<std::pair<HMONITOR, RECT>> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    // Windows that still stand in this layer on the same monitors (after a resume from sleep,
    // or a change of resolution) are only placed again, and their movies play on.
    bool standing = !failed_ && screens_.size() == monitors.size();
    for (size_t i = 0; standing && i < screens_.size(); ++i) {
        const HWND window = screens_[i]->Window.Get();
        standing = screens_[i]->Monitor == monitors[i].first && IsWindow(window) &&
                   GetParent(window) == layer->Parent;
    }
    if (!standing) {
        screens_.clear();
        failed_ = false;
        for (const auto& monitor : monitors)
            if (std::unique_ptr<TScreen> screen = MakeScreen(*layer, monitor.first))
                screens_.push_back(std::move(screen));
    }
    // The layer spans the virtual screen, whose top left is its origin.
    const int originX = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int originY = GetSystemMetrics(SM_YVIRTUALSCREEN);
    for (const std::unique_ptr<TScreen>& screen : screens_)
        for (const auto& [monitor, bounds] : monitors)
            if (monitor == screen->Monitor) {
                const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
                SetWindowPos(screen->Window.Get(), layer->Icons ? layer->Icons : HWND_TOP,
                             bounds.left - originX, bounds.top - originY, width, height,
                             SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_FRAMECHANGED);
                screen->View->SetBounds(RECT{0, 0, width, height});
            }
    UpdatePlayback();
}

std::unique_ptr<TDesktopHost::TScreen> TDesktopHost::MakeScreen(const TDesktopLayer& layer,
                                                                HMONITOR monitor) {
    auto screen = std::make_unique<TScreen>();
    screen->Monitor = monitor;
    const bool layered = layer.Icons != nullptr;
    screen->Window.Reset(CreateWindowExW(
        layered ? WS_EX_LAYERED : 0, sys::TWideClassName(ScreenClass).Get(), L"", WS_POPUP, 0, 0, 0,
        0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    const HWND window = screen->Window.Get();
    if (window == nullptr) {
        Report("A wallpaper window cannot be made. " + rtl::LastErrorText());
        return nullptr;
    }
    // A layered child is drawn only once it has its opacity, which it needs before it moves
    // under Progman.
    if (layered)
        SetLayeredWindowAttributes(window, 0, 255, LWA_ALPHA);
    SetWindowLongPtrW(window, GWL_STYLE, WS_CHILD | WS_CLIPCHILDREN);
    SetParent(window, layer.Parent);
    TScreen* const shown = screen.get();
    screen->View = std::make_unique<webview::TWebView>(
        *environment_, window, background_,
        [this](const std::string& failure) {
            Report(failure);
            failed_ = true;
            ScheduleAttach(RestartMs);
        },
        [shown] {
            // A page loaded while its monitor was covered starts paused as well.
            if (shown->Paused)
                shown->View->ExecuteScript(wallpaper::PlaybackScript(true));
        });
    screen->View->Navigate(webview::FileUrl(folder_ + "\\" + wallpaper::PageFileName));
    // The primary monitor's first frame replaces the picture of the bare stage that the
    // installer left for players' libraries.
    if (monitor == MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY))
        screen->View->CaptureWhen(
            wallpaper::DrawnScript(), [folder = folder_](const std::string& png) {
                try {
                    const std::string picture = sys::ShrunkPng(png, wallpaper::PreviewSide);
                    rtl::TMemoryStream file;
                    file.WriteBuffer(picture.data(), static_cast<int64_t>(picture.size()));
                    file.SaveToFileReplacing(folder + "\\" + wallpaper::PreviewFileName);
                } catch (const rtl::Exception& failure) {
                    Report("The preview picture was not taken: " + failure.Message);
                }
            });
    return screen;
}

void TDesktopHost::UpdatePlayback() {
    std::vector<HMONITOR> covered;
    if (!locked_ && !displayOff_)
        EnumWindows(AddCovered, reinterpret_cast<LPARAM>(&covered));
    for (const std::unique_ptr<TScreen>& screen : screens_) {
        bool paused = locked_ || displayOff_;
        for (const HMONITOR monitor : covered)
            paused = paused || monitor == screen->Monitor;
        screen->SetPaused(paused);
    }
}

void Report(const std::string& text) {
    std::string path;
    try {
        path = sys::ProductDataFolder() + "\\wallpaper-host.log";
    } catch (const rtl::Exception&) {
        return;
    }
    WIN32_FILE_ATTRIBUTE_DATA old{};
    const bool large = GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &old) &&
                       (old.nFileSizeHigh != 0 || old.nFileSizeLow > 64 * 1024);
    const sys::TFileHandle log(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                           large ? CREATE_ALWAYS : OPEN_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log.Valid())
        return;
    const std::time_t now = std::time(nullptr);
    char stamp[32] = {};
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S ", std::localtime(&now));
    const std::string line = stamp + text + "\r\n";
    DWORD written = 0;
    WriteFile(log.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

LRESULT TDesktopHost::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreated_) {
        ScheduleAttach(SettleMs);
        return 0;
    }
    switch (message) {
    case WM_TIMER:
        if (wParam == AttachTimer)
            Attach();
        else if (wParam == CoverTimer)
            UpdatePlayback();
        return 0;
    case WM_DISPLAYCHANGE:
        ScheduleAttach(SettleMs);
        return 0;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) {
            ScheduleAttach(SettleMs);
        } else if (wParam == PBT_POWERSETTINGCHANGE) {
            const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
            if (setting != nullptr && setting->PowerSetting == GUID_CONSOLE_DISPLAY_STATE &&
                setting->DataLength >= sizeof(DWORD)) {
                // 0 off, 1 on, 2 dimmed.
                displayOff_ = *reinterpret_cast<const DWORD*>(setting->Data) == 0;
                UpdatePlayback();
            }
        }
        return TRUE;
    case WM_WTSSESSION_CHANGE:
        if (wParam == WTS_SESSION_LOCK || wParam == WTS_SESSION_UNLOCK) {
            locked_ = wParam == WTS_SESSION_LOCK;
            UpdatePlayback();
        }
        return 0;
    case WM_CLOSE:
        DestroyWindow(Handle());
        return 0;
    case WM_DESTROY:
        screens_.clear();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(Handle(), message, wParam, lParam);
}

} // namespace host
