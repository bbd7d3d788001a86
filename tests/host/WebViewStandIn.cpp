// Stands in for the WebView2 runtime's EmbeddedBrowserWebView.dll in the tests: it answers the
// calls made through our declarations, the way the runtime does (every answer later, from the
// caller's message loop; the handlers asked for by their own IIDs; suspension refused while the
// view is visible), and records each call as a line "<process> <view> <call>" in the file that
// MURAVEL_WEBVIEW_LOG names. A view is a static control in its parent that names the page.
#include <windows.h>

#include <wrl/client.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "rtl/Png.h"
#include "system/ComObject.h"
#include "webview/WebView2.h"

using Microsoft::WRL::ComPtr;

namespace {

std::string Narrow(LPCWSTR text) {
    if (text == nullptr)
        return "";
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    return out;
}

void Record(int view, const std::string& call) {
    char path[MAX_PATH] = {};
    if (GetEnvironmentVariableA("MURAVEL_WEBVIEW_LOG", path, MAX_PATH) == 0)
        return;
    if (std::FILE* log = std::fopen(path, "ab")) {
        std::fprintf(log, "%lu %d %s\n", GetCurrentProcessId(), view, call.c_str());
        std::fclose(log);
    }
}

// Runs later on this thread, from its message loop, as the runtime's answers come.
std::vector<std::function<void()>>& Pending() {
    static std::vector<std::function<void()>> pending;
    return pending;
}

void CALLBACK RunPending(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    std::vector<std::function<void()>> due;
    due.swap(Pending());
    for (const std::function<void()>& action : due)
        action();
}

void Later(std::function<void()> action) {
    Pending().push_back(std::move(action));
    SetTimer(nullptr, 0, 10, RunPending);
}

// What the runtime does with a handler: it asks for the interface it calls.
template <class TInterface> ComPtr<TInterface> Asked(IUnknown* handler) {
    ComPtr<TInterface> asked;
    if (handler != nullptr)
        handler->QueryInterface(__uuidof(TInterface),
                                reinterpret_cast<void**>(asked.GetAddressOf()));
    return asked;
}

class TSettings final : public sys::TComObject<ICoreWebView2Settings> {
public:
    TSettings() = default;
    HRESULT STDMETHODCALLTYPE put_AreDefaultScriptDialogsEnabled(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE put_IsStatusBarEnabled(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE put_AreDevToolsEnabled(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE put_AreDefaultContextMenusEnabled(BOOL enabled) override {
        Record(0, std::string("context-menus ") + (enabled ? "1" : "0"));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_IsZoomControlEnabled(BOOL) override { return S_OK; }
};

int views = 0;

class TView final : public sys::TComObject<ICoreWebView2Controller2, ICoreWebView2_3> {
public:
    TView(HWND parent) : id_(++views) {
        window_ = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 0, 0, parent, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        char name[64] = {};
        GetClassNameA(parent, name, sizeof name);
        Record(id_, std::string("controller ") + name);
    }

    // ICoreWebView2Controller2
    HRESULT STDMETHODCALLTYPE put_IsVisible(BOOL visible) override {
        visible_ = visible != FALSE;
        ShowWindow(window_, visible_ ? SW_SHOWNA : SW_HIDE);
        Record(id_, std::string("visible ") + (visible_ ? "1" : "0"));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Bounds(RECT r) override {
        MoveWindow(window_, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        Record(id_, "bounds " + std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                        std::to_string(r.right) + " " + std::to_string(r.bottom));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Close() override {
        DestroyWindow(window_);
        Record(id_, "close");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_CoreWebView2(ICoreWebView2** view) override {
        *view = static_cast<ICoreWebView2_3*>(this);
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_DefaultBackgroundColor(COREWEBVIEW2_COLOR c) override {
        Record(id_, "background " + std::to_string(c.A) + " " + std::to_string(c.R) + " " +
                        std::to_string(c.G) + " " + std::to_string(c.B));
        return S_OK;
    }

    // ICoreWebView2_3
    HRESULT STDMETHODCALLTYPE get_Settings(ICoreWebView2Settings** settings) override {
        *settings = new TSettings();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Navigate(LPCWSTR uri) override {
        Record(id_, "navigate " + Narrow(uri));
        // What a screenshot shows in place of the page.
        SetWindowTextW(window_, (L"Stand-in web view: " + std::wstring(uri)).c_str());
        Later([self = ComPtr<TView>(this)] {
            for (const ComPtr<ICoreWebView2NavigationCompletedEventHandler>& handler :
                 self->navigated_)
                handler->Invoke(static_cast<ICoreWebView2_3*>(self.Get()), nullptr);
        });
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE
    add_NavigationCompleted(ICoreWebView2NavigationCompletedEventHandler* handler,
                            EventRegistrationToken* token) override {
        navigated_.push_back(Asked<ICoreWebView2NavigationCompletedEventHandler>(handler));
        token->value = static_cast<__int64>(navigated_.size());
        return navigated_.back() ? S_OK : E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE add_ProcessFailed(ICoreWebView2ProcessFailedEventHandler* handler,
                                                EventRegistrationToken* token) override {
        token->value = 1;
        return Asked<ICoreWebView2ProcessFailedEventHandler>(handler) ? S_OK : E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE
    ExecuteScript(LPCWSTR script, ICoreWebView2ExecuteScriptCompletedHandler* handler) override {
        Record(id_, "script " + Narrow(script));
        ComPtr<ICoreWebView2ExecuteScriptCompletedHandler> done =
            Asked<ICoreWebView2ExecuteScriptCompletedHandler>(handler);
        // Every page has drawn its first frame by the time it is asked.
        const bool drawn = Narrow(script).find("data-drawn") != std::string::npos;
        Later([done, drawn] {
            if (done)
                done->Invoke(S_OK, drawn ? L"true" : L"null");
        });
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE
    CapturePreview(COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT format, IStream* stream,
                   ICoreWebView2CapturePreviewCompletedHandler* handler) override {
        Record(id_, "capture " + std::to_string(format));
        // A frame of a page "drawn" in orange, larger than a preview picture.
        const std::string png = rtl::EncodePng(rtl::SolidPicture(640, 360, 255, 128, 0));
        ULONG written = 0;
        const HRESULT result = stream->Write(png.data(), static_cast<ULONG>(png.size()), &written);
        ComPtr<ICoreWebView2CapturePreviewCompletedHandler> done =
            Asked<ICoreWebView2CapturePreviewCompletedHandler>(handler);
        Later([done, result] {
            if (done)
                done->Invoke(result);
        });
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE
    TrySuspend(ICoreWebView2TrySuspendCompletedHandler* handler) override {
        // As the runtime: only a hidden view may be suspended.
        if (visible_) {
            Record(id_, "suspend refused: visible");
            return HRESULT_FROM_WIN32(ERROR_INVALID_STATE);
        }
        Record(id_, "suspend");
        ComPtr<ICoreWebView2TrySuspendCompletedHandler> done =
            Asked<ICoreWebView2TrySuspendCompletedHandler>(handler);
        Later([done] {
            if (done)
                done->Invoke(S_OK, TRUE);
        });
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Resume() override {
        Record(id_, "resume");
        return S_OK;
    }

protected:
    void* BaseInterface(REFIID iid) override {
        if (iid == __uuidof(ICoreWebView2Controller))
            return static_cast<ICoreWebView2Controller*>(this);
        if (iid == __uuidof(ICoreWebView2))
            return static_cast<ICoreWebView2*>(this);
        return nullptr;
    }

private:
    int id_;
    HWND window_;
    bool visible_ = true;
    std::vector<ComPtr<ICoreWebView2NavigationCompletedEventHandler>> navigated_;
};

class TEnvironment final : public sys::TComObject<ICoreWebView2Environment> {
public:
    TEnvironment() = default;
    HRESULT STDMETHODCALLTYPE CreateCoreWebView2Controller(
        HWND parent, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) override {
        ComPtr<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler> done =
            Asked<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler>(handler);
        if (!done)
            return E_NOINTERFACE;
        Later([done, parent] {
            ComPtr<TView> view;
            view.Attach(new TView(parent));
            done->Invoke(S_OK, static_cast<ICoreWebView2Controller2*>(view.Get()));
        });
        return S_OK;
    }
};

} // namespace

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE CreateWebViewEnvironmentWithOptionsInternal(
    BOOL, int runtimeType, PCWSTR userDataFolder, IUnknown*,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
    char arguments[512] = {};
    GetEnvironmentVariableA("WEBVIEW2_ADDITIONAL_BROWSER_ARGUMENTS", arguments, sizeof arguments);
    Record(0, "environment " + std::to_string(runtimeType) + " " + Narrow(userDataFolder) + " | " +
                  arguments);
    ComPtr<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler> done =
        Asked<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>(handler);
    if (!done)
        return E_NOINTERFACE;
    Later([done] {
        ComPtr<TEnvironment> environment;
        environment.Attach(new TEnvironment());
        done->Invoke(S_OK, environment.Get());
    });
    return S_OK;
}
