#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "host/DesktopLayer.h"
#include "system/Handle.h"
#include "system/Window.h"
#include "webview/WebView.h"

namespace host {

// Shows the wallpaper page of a folder behind the desktop icons, in a web view per monitor:
// each monitor has its own size and its own windows that may cover it, and the page fits the
// movie to its window as it would in any browser. A hidden top-level window of its own, titled
// with the folder, takes what the system tells every program: an Explorer that started again
// (TaskbarCreated), a change of displays, a resume from sleep, a locked session or a display
// turned off. A monitor covered by a maximised or full-screen window has its movie paused
// (the page's own pause, then the runtime's suspension), and resumed where it stopped.
class TDesktopHost final : public sys::TWindow {
public:
    // Raises EWebView when the runtime cannot be found or loaded.
    explicit TDesktopHost(const std::string& folder);
    ~TDesktopHost() override;

private:
    struct TScreen;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void EnvironmentReady(const std::string& error);
    // Puts a window on every monitor, behind the icons, or places the ones there again; looks
    // again for a while when the desktop has no layer for them yet.
    void Attach();
    // A window on monitor in layer, with its web view; null when the window cannot be made.
    std::unique_ptr<TScreen> MakeScreen(const TDesktopLayer& layer, HMONITOR monitor);
    void ScheduleAttach(UINT delayMs);
    void UpdatePlayback();

    std::string folder_;
    COLORREF background_;
    sys::TBrushHandle brush_;
    UINT taskbarCreated_;
    HPOWERNOTIFY displayNotification_ = nullptr;
    std::unique_ptr<webview::TEnvironment> environment_;
    std::vector<std::unique_ptr<TScreen>> screens_;
    int attachTries_ = 0;
    // A web view's page stopped: the next attachment makes every view anew.
    bool failed_ = false;
    bool locked_ = false;
    bool displayOff_ = false;
};

// Keeps a line of what went wrong, with the time, in the host's log in the product's data
// folder: the host has no window to say it in. The log is started afresh past 64 KB.
void Report(const std::string& text);

// The colour a page of the folder draws before its movie: its background, or the desktop's
// colour where it is transparent or left to the movie.
COLORREF PageColor(const std::string& folder);

} // namespace host
