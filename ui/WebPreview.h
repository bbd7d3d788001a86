#pragma once

#include <functional>
#include <memory>
#include <string>

#include "system/Window.h"
#include "ui/Control.h"
#include "webview/WebView.h"

namespace ui {

// The movie played in the window as it will be installed: the web view of the WebView2 runtime
// in a window of its own over the preview panel, showing a wallpaper folder's page. One browser
// serves the window for its lifetime. The page is silent by its own default (the volume is the
// wallpaper's setting), and it is paused while its window cannot be seen: the main window
// minimised or another page in front.
class TWebPreview final : public sys::TWindow {
public:
    using TFailFn = std::function<void(const std::string& why)>;

    // A hidden child of parent at bounds. Raises webview::EWebView when the runtime cannot be
    // found or loaded; failed runs later, from the message loop, when it would not start or a
    // page's processes ended, and the window hides.
    TWebPreview(HWND parent, const TBounds& bounds, TFailFn failed);
    ~TWebPreview() override;

    // Shows the page of the wallpaper folder at folder, replacing the one shown.
    void ShowFolder(const std::string& folder);
    // Hides the window, and what it shows, for the panel beneath.
    void Hide();
    // Whether it may show a page: false once the browser would not start or a page stopped.
    bool Usable() const { return !broken_; }
    // Runs script in the page shown; nothing when none is.
    void ExecuteScript(const std::string& script);
    // The preview picture (PreviewSide at most) of the page shown, taken once its movie has drawn
    // and again after each script; empty until then.
    const std::string& Frame() const { return frame_; }

private:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void EnvironmentReady(const std::string& error);
    void Fail(const std::string& why);
    // Pauses or resumes the page as its window can be seen or not.
    void UpdatePlayback();
    void AskFrame();

    TFailFn failed_;
    TBounds bounds_;
    std::unique_ptr<webview::TEnvironment> environment_;
    std::unique_ptr<webview::TWebView> view_;
    std::string folder_;
    std::string frame_;
    bool paused_ = false;
    bool broken_ = false;
};

} // namespace ui
