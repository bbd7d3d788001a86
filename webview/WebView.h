#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "webview/WebViewRuntime.h"

struct ICoreWebView2Environment;

// The web view of the WebView2 runtime that Windows 10 and 11 carry: the one home of the
// runtime's loader and of the COM objects it hands out, for the wallpaper host and the window's
// preview. Everything here runs on one thread of a single-threaded apartment whose messages are
// handled: the runtime answers through that thread's message loop.
namespace webview {

// A file as a URL: file:/// and the path with "/" for "\", every byte but the unreserved ones
// percent-encoded (UTF-8, as the program's paths are).
std::string FileUrl(const std::string& path);

// The browser of the runtime, shared by all views of the process.
class TEnvironment {
public:
    using TDoneFn = std::function<void(const std::string& error)>;

    // Loads the runtime and asks it for a browser that keeps its data in the folder dataName
    // under the product's data folder (a browser per use: two that share a folder must be
    // started alike), started with browserArguments (Chromium switches); done runs later from
    // the message loop, with an empty error once the browser is there. Raises EWebView when
    // the runtime cannot be found or loaded.
    TEnvironment(const std::string& dataName, const std::string& browserArguments, TDoneFn done);
    ~TEnvironment();
    TEnvironment(const TEnvironment&) = delete;
    TEnvironment& operator=(const TEnvironment&) = delete;

    bool Ready() const;
    ICoreWebView2Environment* Get() const;

    struct TState;

private:
    std::shared_ptr<TState> state_;
};

// One web view in a window of ours, showing a page. Whatever is asked before the runtime has
// made it (bounds, visibility, the page, suspension) is applied when it is made; a script asked
// for before then is dropped, as it would run in no page.
class TWebView {
public:
    using TFailFn = std::function<void(const std::string& error)>;

    // Asks the environment, which must be ready, for a view in parent, drawn in background
    // (alpha 255) until the page draws. failed runs when the view cannot be made or its page's
    // processes end; navigated each time a page has loaded.
    TWebView(const TEnvironment& environment, HWND parent, COLORREF background, TFailFn failed,
             std::function<void()> navigated);
    ~TWebView();
    TWebView(const TWebView&) = delete;
    TWebView& operator=(const TWebView&) = delete;

    // In the parent's client coordinates.
    void SetBounds(const RECT& bounds);
    void Navigate(const std::string& url);
    void ExecuteScript(const std::string& script);
    // Runs script (the page's own pause), hides the view and asks the runtime to suspend the
    // page; Resume wakes and shows it, then runs script (the page's own resume).
    void Suspend(const std::string& script);
    void Resume(const std::string& script);
    // Once script, run in the page every quarter of a second, yields true (for at most a
    // minute), hands done a PNG picture of what the view shows; nothing when the capture fails.
    // A later call gives up the wait of an earlier one.
    void CaptureWhen(const std::string& script, std::function<void(const std::string& png)> done);

    struct TState;

private:
    std::shared_ptr<TState> state_;
};

} // namespace webview
