#include "ui/WebPreview.h"

#include "rtl/Errors.h"
#include "rtl/Paths.h"
#include "system/FramePicture.h"
#include "wallpaper/PreviewPicture.h"
#include "wallpaper/SafeNames.h"
#include "wallpaper/WallpaperPage.h"

namespace ui {

namespace {

const char* const WebPreviewClassName = "MuravelWebPreview";
constexpr UINT_PTR VisibilityTimer = 1;
constexpr UINT VisibilityCheckMs = 500;

} // namespace

TWebPreview::TWebPreview(HWND parent, const TBounds& bounds, TFailFn failed)
    : failed_(std::move(failed)), bounds_(bounds) {
    RegisterWindowClass(WebPreviewClassName, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    CreateWindowExW(0, sys::TWideClassName(WebPreviewClassName).Get(), L"",
                    WS_CHILD | WS_CLIPCHILDREN, bounds.Left, bounds.Top, bounds.Width,
                    bounds.Height, parent, nullptr, GetModuleHandleW(nullptr),
                    static_cast<sys::TWindow*>(this));
    if (Handle() == nullptr)
        throw rtl::Exception("The preview's window cannot be made. " + rtl::LastErrorText());
    environment_ = std::make_unique<webview::TEnvironment>(
        "Preview", "", [this](const std::string& error) { EnvironmentReady(error); });
}

TWebPreview::~TWebPreview() {
    // The view goes before the window it is in.
    view_.reset();
}

void TWebPreview::EnvironmentReady(const std::string& error) {
    if (!error.empty()) {
        Fail(error);
        return;
    }
    view_ = std::make_unique<webview::TWebView>(
        *environment_, Handle(), GetSysColor(COLOR_BTNFACE),
        [this](const std::string& why) { Fail(why); }, [] {});
    view_->SetBounds(RECT{0, 0, bounds_.Width, bounds_.Height});
    if (!folder_.empty()) {
        view_->Navigate(webview::FileUrl(folder_ + "\\" + wallpaper::PageFileName));
        AskFrame();
    }
    SetTimer(Handle(), VisibilityTimer, VisibilityCheckMs, nullptr);
}

void TWebPreview::ShowFolder(const std::string& folder) {
    if (broken_)
        return;
    folder_ = folder;
    frame_.clear();
    if (view_) {
        view_->Navigate(webview::FileUrl(folder_ + "\\" + wallpaper::PageFileName));
        AskFrame();
    }
    ShowWindow(Handle(), SW_SHOWNA);
    UpdatePlayback();
}

void TWebPreview::Hide() {
    folder_.clear();
    frame_.clear();
    ShowWindow(Handle(), SW_HIDE);
    UpdatePlayback();
}

void TWebPreview::ExecuteScript(const std::string& script) {
    if (view_ && !folder_.empty()) {
        view_->ExecuteScript(script);
        // What the script changed shows in the next picture.
        frame_.clear();
        AskFrame();
    }
}

void TWebPreview::AskFrame() {
    view_->CaptureWhen(wallpaper::DrawnScript(), [this](const std::string& png) {
        try {
            frame_ = sys::ShrunkPng(png, wallpaper::PreviewSide);
        } catch (const rtl::EReadError&) {
            // The folder's own picture of the stage stands in for a capture it cannot read.
            frame_.clear();
        }
    });
}

void TWebPreview::Fail(const std::string& why) {
    broken_ = true;
    folder_.clear();
    ShowWindow(Handle(), SW_HIDE);
    failed_(why);
}

void TWebPreview::UpdatePlayback() {
    if (!view_)
        return;
    // A hidden page, or a minimised window, shows nothing: no reason to draw it.
    const bool paused =
        folder_.empty() || !IsWindowVisible(Handle()) || IsIconic(GetAncestor(Handle(), GA_ROOT));
    if (paused == paused_)
        return;
    paused_ = paused;
    if (paused)
        view_->Suspend(wallpaper::PlaybackScript(true));
    else
        view_->Resume(wallpaper::PlaybackScript(false));
}

LRESULT TWebPreview::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == VisibilityTimer) {
        UpdatePlayback();
        return 0;
    }
    return DefWindowProcW(Handle(), message, wParam, lParam);
}

} // namespace ui
