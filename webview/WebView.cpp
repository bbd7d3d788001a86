#include "webview/WebView.h"

#include <wrl/client.h>

#include <cstdio>
#include <map>

#include "rtl/CodePage.h"
#include "rtl/Paths.h"
#include "system/ComObject.h"
#include "system/Shell.h"
#include "webview/WebView2.h"

namespace webview {

using Microsoft::WRL::ComPtr;

namespace {

// A handler of the runtime's callbacks: Invoke calls fn. An exception must not cross into the
// runtime, so fn reports its own failures.
template <class TInterface, class... TArgs>
class THandler final : public sys::TComObject<TInterface> {
public:
    using TFn = std::function<HRESULT(TArgs...)>;
    static ComPtr<TInterface> Make(TFn fn) {
        ComPtr<TInterface> handler;
        handler.Attach(new THandler(std::move(fn)));
        return handler;
    }
    HRESULT STDMETHODCALLTYPE Invoke(TArgs... args) override {
        try {
            return fn_(args...);
        } catch (...) {
            return E_UNEXPECTED;
        }
    }

private:
    explicit THandler(TFn fn) : fn_(std::move(fn)) {}
    TFn fn_;
};

// Runs action from this thread's message loop after ms milliseconds.
std::map<UINT_PTR, std::function<void()>>& Waiting() {
    static std::map<UINT_PTR, std::function<void()>> waiting;
    return waiting;
}

void CALLBACK RunWaiting(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    const auto found = Waiting().find(timer);
    if (found == Waiting().end())
        return;
    const std::function<void()> action = std::move(found->second);
    Waiting().erase(found);
    action();
}

void After(UINT ms, std::function<void()> action) {
    if (const UINT_PTR timer = SetTimer(nullptr, 0, ms, RunWaiting))
        Waiting()[timer] = std::move(action);
}

constexpr UINT CapturePollMs = 250;
constexpr int CapturePolls = 240;

std::string Failure(const char* what, HRESULT result) {
    return std::string(what) + " " + rtl::SystemErrorText(static_cast<uint32_t>(result));
}

} // namespace

std::string FileUrl(const std::string& path) {
    std::string url = "file:///";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\')
            url += '/';
        else if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                 (byte >= '0' && byte <= '9') || std::string("-._~/:").find(c) != std::string::npos)
            url += c;
        else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
            url += escaped;
        }
    }
    return url;
}

struct TEnvironment::TState {
    ComPtr<ICoreWebView2Environment> Environment;
    TDoneFn Done;
};

TEnvironment::TEnvironment(const std::string& dataName, const std::string& browserArguments,
                           TDoneFn done)
    : state_(std::make_shared<TState>()) {
    state_->Done = std::move(done);
    const TRuntime runtime = FindRuntime();
    // The runtime's own way of taking switches from the program that starts it.
    SetEnvironmentVariableW(L"WEBVIEW2_ADDITIONAL_BROWSER_ARGUMENTS",
                            rtl::NativeToWide(browserArguments).c_str());
    // Never unloaded: the runtime's objects live as long as the process.
    const HMODULE library = LoadLibraryA(runtime.Library.c_str());
    if (library == nullptr)
        throw EWebView("The WebView2 Runtime cannot be loaded. " + rtl::LastErrorText());
    const auto create = reinterpret_cast<TCreateWebViewEnvironment>(reinterpret_cast<void*>(
        GetProcAddress(library, "CreateWebViewEnvironmentWithOptionsInternal")));
    if (create == nullptr)
        throw EWebView("The WebView2 Runtime on this computer is not one this program knows.");
    const std::weak_ptr<TState> weak = state_;
    const auto handler =
        THandler<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler, HRESULT,
                 ICoreWebView2Environment*>::Make([weak](HRESULT result,
                                                         ICoreWebView2Environment* environment) {
            const std::shared_ptr<TState> state = weak.lock();
            if (!state)
                return S_OK;
            if (SUCCEEDED(result) && environment != nullptr)
                state->Environment = environment;
            state->Done(
                state->Environment ? "" : Failure("The WebView2 Runtime did not start.", result));
            return S_OK;
        });
    const HRESULT result =
        create(TRUE, 0, rtl::NativeToWide(sys::ProductDataFolder() + "\\" + dataName).c_str(),
               nullptr, handler.Get());
    if (FAILED(result))
        throw EWebView(Failure("The WebView2 Runtime did not start.", result));
}

TEnvironment::~TEnvironment() = default;

bool TEnvironment::Ready() const {
    return state_->Environment != nullptr;
}

ICoreWebView2Environment* TEnvironment::Get() const {
    return state_->Environment.Get();
}

struct TWebView::TState {
    ComPtr<ICoreWebView2Controller> Controller;
    ComPtr<ICoreWebView2> View;
    TFailFn Failed;
    std::function<void()> Navigated;
    RECT Bounds{};
    std::string Url;
    bool Suspended = false;
    unsigned CaptureWait = 0;

    void Show() const { Controller->put_IsVisible(Suspended ? FALSE : TRUE); }
    void Suspend() const {
        ComPtr<ICoreWebView2_3> view;
        if (FAILED(View.As(&view)))
            return;
        view->TrySuspend(
            THandler<ICoreWebView2TrySuspendCompletedHandler, HRESULT, BOOL>::Make([](HRESULT,
                                                                                      BOOL) {
                return S_OK;
            }).Get());
    }
};

TWebView::TWebView(const TEnvironment& environment, HWND parent, COLORREF background,
                   TFailFn failed, std::function<void()> navigated)
    : state_(std::make_shared<TState>()) {
    state_->Failed = std::move(failed);
    state_->Navigated = std::move(navigated);
    const std::weak_ptr<TState> weak = state_;
    const auto made = [weak, background](HRESULT result, ICoreWebView2Controller* controller) {
        const std::shared_ptr<TState> state = weak.lock();
        if (!state) {
            // The view was given up while the runtime made it.
            if (controller != nullptr)
                controller->Close();
            return S_OK;
        }
        if (FAILED(result) || controller == nullptr ||
            FAILED(controller->get_CoreWebView2(&state->View))) {
            state->Failed(Failure("The WebView2 Runtime could not make a web view.", result));
            return S_OK;
        }
        state->Controller = controller;
        ComPtr<ICoreWebView2Controller2> colored;
        if (SUCCEEDED(state->Controller.As(&colored)))
            colored->put_DefaultBackgroundColor(COREWEBVIEW2_COLOR{
                255, GetRValue(background), GetGValue(background), GetBValue(background)});
        ComPtr<ICoreWebView2Settings> settings;
        if (SUCCEEDED(state->View->get_Settings(&settings))) {
            settings->put_AreDefaultContextMenusEnabled(FALSE);
            settings->put_AreDevToolsEnabled(FALSE);
            settings->put_IsStatusBarEnabled(FALSE);
            settings->put_IsZoomControlEnabled(FALSE);
            settings->put_AreDefaultScriptDialogsEnabled(FALSE);
        }
        EventRegistrationToken token{};
        state->View->add_NavigationCompleted(
            THandler<ICoreWebView2NavigationCompletedEventHandler, ICoreWebView2*,
                     ICoreWebView2NavigationCompletedEventArgs*>::
                Make([weak](ICoreWebView2*, ICoreWebView2NavigationCompletedEventArgs*) {
                    if (const std::shared_ptr<TState> state = weak.lock())
                        if (state->Navigated)
                            state->Navigated();
                    return S_OK;
                }).Get(),
            &token);
        state->View->add_ProcessFailed(
            THandler<ICoreWebView2ProcessFailedEventHandler, ICoreWebView2*,
                     ICoreWebView2ProcessFailedEventArgs*>::
                Make([weak](ICoreWebView2*, ICoreWebView2ProcessFailedEventArgs*) {
                    if (const std::shared_ptr<TState> state = weak.lock())
                        state->Failed("The web view's page stopped.");
                    return S_OK;
                }).Get(),
            &token);
        state->Controller->put_Bounds(state->Bounds);
        state->Show();
        if (!state->Url.empty())
            state->View->Navigate(rtl::NativeToWide(state->Url).c_str());
        if (state->Suspended)
            state->Suspend();
        return S_OK;
    };
    const HRESULT result = environment.Get()->CreateCoreWebView2Controller(
        parent, THandler<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler, HRESULT,
                         ICoreWebView2Controller*>::Make(made)
                    .Get());
    if (FAILED(result))
        throw EWebView(Failure("The WebView2 Runtime could not make a web view.", result));
}

TWebView::~TWebView() {
    if (state_->Controller)
        state_->Controller->Close();
}

void TWebView::SetBounds(const RECT& bounds) {
    state_->Bounds = bounds;
    if (state_->Controller)
        state_->Controller->put_Bounds(bounds);
}

void TWebView::Navigate(const std::string& url) {
    state_->Url = url;
    if (state_->View)
        state_->View->Navigate(rtl::NativeToWide(url).c_str());
}

void TWebView::ExecuteScript(const std::string& script) {
    if (state_->View)
        state_->View->ExecuteScript(
            rtl::NativeToWide(script).c_str(),
            THandler<ICoreWebView2ExecuteScriptCompletedHandler, HRESULT, LPCWSTR>::Make(
                [](HRESULT, LPCWSTR) { return S_OK; })
                .Get());
}

void TWebView::Suspend(const std::string& script) {
    if (state_->Suspended)
        return;
    ExecuteScript(script);
    state_->Suspended = true;
    if (!state_->Controller)
        return;
    state_->Show();
    state_->Suspend();
}

void TWebView::Resume(const std::string& script) {
    if (!state_->Suspended)
        return;
    state_->Suspended = false;
    if (!state_->Controller)
        return;
    ComPtr<ICoreWebView2_3> view;
    if (SUCCEEDED(state_->View.As(&view)))
        view->Resume();
    state_->Show();
    ExecuteScript(script);
}

namespace {

void Capture(ICoreWebView2* view, const std::function<void(const std::string& png)>& done) {
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
        return;
    view->CapturePreview(
        COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT_PNG, stream.Get(),
        THandler<ICoreWebView2CapturePreviewCompletedHandler, HRESULT>::Make([stream, done](
                                                                                 HRESULT result) {
            STATSTG stat{};
            if (FAILED(result) || FAILED(stream->Stat(&stat, STATFLAG_NONAME)) ||
                stat.cbSize.QuadPart == 0 || stat.cbSize.QuadPart > (ULONGLONG(1) << 28))
                return S_OK;
            std::string png(static_cast<size_t>(stat.cbSize.QuadPart), '\0');
            ULONG read = 0;
            if (FAILED(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr)) ||
                FAILED(stream->Read(png.data(), static_cast<ULONG>(png.size()), &read)) ||
                read != png.size())
                return S_OK;
            done(png);
            return S_OK;
        }).Get());
}

void PollThenCapture(const std::weak_ptr<TWebView::TState>& weak, unsigned wait, int polls,
                     const std::string& script,
                     const std::function<void(const std::string& png)>& done) {
    const std::shared_ptr<TWebView::TState> state = weak.lock();
    if (!state || state->CaptureWait != wait || polls == 0)
        return;
    const auto again = [=] {
        After(CapturePollMs, [=] { PollThenCapture(weak, wait, polls - 1, script, done); });
    };
    if (!state->View) {
        again();
        return;
    }
    const HRESULT asked = state->View->ExecuteScript(
        rtl::NativeToWide(script).c_str(),
        THandler<ICoreWebView2ExecuteScriptCompletedHandler, HRESULT,
                 LPCWSTR>::Make([=](HRESULT result, LPCWSTR json) {
            const std::shared_ptr<TWebView::TState> now = weak.lock();
            if (!now || now->CaptureWait != wait)
                return S_OK;
            if (SUCCEEDED(result) && json != nullptr && std::wstring(json) == L"true")
                Capture(now->View.Get(), done);
            else
                again();
            return S_OK;
        }).Get());
    if (FAILED(asked))
        again();
}

} // namespace

void TWebView::CaptureWhen(const std::string& script,
                           std::function<void(const std::string& png)> done) {
    PollThenCapture(state_, ++state_->CaptureWait, CapturePolls, script, done);
}

} // namespace webview
