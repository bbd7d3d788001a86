#pragma once

// The few interfaces of the WebView2 runtime that we call, declared from its published IDL
// (WebView2 1.0.2903.40), since its SDK is not to be had here. A COM interface is its slot
// order: every method up to the last one we call is declared in the IDL's order, the ones we
// never call as placeholders without parameters, and each slot's number is noted where a
// wrong one would show. The runtime's objects answer QueryInterface for these IIDs.

#include <windows.h>

#include <unknwn.h>

// A slot we never call: only its place in the table matters.
#define MURAVEL_WEBVIEW_SLOT(name)                                                                 \
    virtual HRESULT STDMETHODCALLTYPE name() {                                                     \
        return E_NOTIMPL;                                                                          \
    }

struct EventRegistrationToken {
    __int64 value;
};

struct COREWEBVIEW2_COLOR {
    BYTE A;
    BYTE R;
    BYTE G;
    BYTE B;
};

struct ICoreWebView2;
struct ICoreWebView2Controller;
struct ICoreWebView2Environment;
struct ICoreWebView2NavigationCompletedEventArgs;
struct ICoreWebView2ProcessFailedEventArgs;

struct ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT errorCode,
                                             ICoreWebView2Environment* result) = 0;
};

struct ICoreWebView2CreateCoreWebView2ControllerCompletedHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT errorCode,
                                             ICoreWebView2Controller* result) = 0;
};

struct ICoreWebView2ExecuteScriptCompletedHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT errorCode, LPCWSTR resultObjectAsJson) = 0;
};

struct ICoreWebView2CapturePreviewCompletedHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT errorCode) = 0;
};

enum COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT {
    COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT_PNG,
    COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT_JPEG,
};

struct ICoreWebView2TrySuspendCompletedHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT errorCode, BOOL isSuccessful) = 0;
};

struct ICoreWebView2NavigationCompletedEventHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                             ICoreWebView2NavigationCompletedEventArgs* args) = 0;
};

struct ICoreWebView2ProcessFailedEventHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                             ICoreWebView2ProcessFailedEventArgs* args) = 0;
};

struct ICoreWebView2Environment : IUnknown {
    // Slot 1.
    virtual HRESULT STDMETHODCALLTYPE CreateCoreWebView2Controller(
        HWND parentWindow, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) = 0;
};

struct ICoreWebView2Settings : IUnknown {
    MURAVEL_WEBVIEW_SLOT(get_IsScriptEnabled)
    MURAVEL_WEBVIEW_SLOT(put_IsScriptEnabled)
    MURAVEL_WEBVIEW_SLOT(get_IsWebMessageEnabled)
    MURAVEL_WEBVIEW_SLOT(put_IsWebMessageEnabled)
    MURAVEL_WEBVIEW_SLOT(get_AreDefaultScriptDialogsEnabled)
    // Slot 6.
    virtual HRESULT STDMETHODCALLTYPE put_AreDefaultScriptDialogsEnabled(BOOL enabled) = 0;
    MURAVEL_WEBVIEW_SLOT(get_IsStatusBarEnabled)
    // Slot 8.
    virtual HRESULT STDMETHODCALLTYPE put_IsStatusBarEnabled(BOOL enabled) = 0;
    MURAVEL_WEBVIEW_SLOT(get_AreDevToolsEnabled)
    // Slot 10.
    virtual HRESULT STDMETHODCALLTYPE put_AreDevToolsEnabled(BOOL enabled) = 0;
    MURAVEL_WEBVIEW_SLOT(get_AreDefaultContextMenusEnabled)
    // Slot 12.
    virtual HRESULT STDMETHODCALLTYPE put_AreDefaultContextMenusEnabled(BOOL enabled) = 0;
    MURAVEL_WEBVIEW_SLOT(get_AreHostObjectsAllowed)
    MURAVEL_WEBVIEW_SLOT(put_AreHostObjectsAllowed)
    MURAVEL_WEBVIEW_SLOT(get_IsZoomControlEnabled)
    // Slot 16.
    virtual HRESULT STDMETHODCALLTYPE put_IsZoomControlEnabled(BOOL enabled) = 0;
};

struct ICoreWebView2Controller : IUnknown {
    MURAVEL_WEBVIEW_SLOT(get_IsVisible)
    // Slot 2.
    virtual HRESULT STDMETHODCALLTYPE put_IsVisible(BOOL isVisible) = 0;
    MURAVEL_WEBVIEW_SLOT(get_Bounds)
    // Slot 4.
    virtual HRESULT STDMETHODCALLTYPE put_Bounds(RECT bounds) = 0;
    MURAVEL_WEBVIEW_SLOT(get_ZoomFactor)
    MURAVEL_WEBVIEW_SLOT(put_ZoomFactor)
    MURAVEL_WEBVIEW_SLOT(add_ZoomFactorChanged)
    MURAVEL_WEBVIEW_SLOT(remove_ZoomFactorChanged)
    MURAVEL_WEBVIEW_SLOT(SetBoundsAndZoomFactor)
    MURAVEL_WEBVIEW_SLOT(MoveFocus)
    MURAVEL_WEBVIEW_SLOT(add_MoveFocusRequested)
    MURAVEL_WEBVIEW_SLOT(remove_MoveFocusRequested)
    MURAVEL_WEBVIEW_SLOT(add_GotFocus)
    MURAVEL_WEBVIEW_SLOT(remove_GotFocus)
    MURAVEL_WEBVIEW_SLOT(add_LostFocus)
    MURAVEL_WEBVIEW_SLOT(remove_LostFocus)
    MURAVEL_WEBVIEW_SLOT(add_AcceleratorKeyPressed)
    MURAVEL_WEBVIEW_SLOT(remove_AcceleratorKeyPressed)
    MURAVEL_WEBVIEW_SLOT(get_ParentWindow)
    MURAVEL_WEBVIEW_SLOT(put_ParentWindow)
    MURAVEL_WEBVIEW_SLOT(NotifyParentWindowPositionChanged)
    // Slot 22.
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    // Slot 23.
    virtual HRESULT STDMETHODCALLTYPE get_CoreWebView2(ICoreWebView2** coreWebView2) = 0;
};

struct ICoreWebView2Controller2 : ICoreWebView2Controller {
    MURAVEL_WEBVIEW_SLOT(get_DefaultBackgroundColor)
    // Slot 2 after the 23 of ICoreWebView2Controller.
    virtual HRESULT STDMETHODCALLTYPE put_DefaultBackgroundColor(COREWEBVIEW2_COLOR value) = 0;
};

struct ICoreWebView2 : IUnknown {
    // Slot 1.
    virtual HRESULT STDMETHODCALLTYPE get_Settings(ICoreWebView2Settings** settings) = 0;
    MURAVEL_WEBVIEW_SLOT(get_Source)
    // Slot 3.
    virtual HRESULT STDMETHODCALLTYPE Navigate(LPCWSTR uri) = 0;
    MURAVEL_WEBVIEW_SLOT(NavigateToString)
    MURAVEL_WEBVIEW_SLOT(add_NavigationStarting)
    MURAVEL_WEBVIEW_SLOT(remove_NavigationStarting)
    MURAVEL_WEBVIEW_SLOT(add_ContentLoading)
    MURAVEL_WEBVIEW_SLOT(remove_ContentLoading)
    MURAVEL_WEBVIEW_SLOT(add_SourceChanged)
    MURAVEL_WEBVIEW_SLOT(remove_SourceChanged)
    MURAVEL_WEBVIEW_SLOT(add_HistoryChanged)
    MURAVEL_WEBVIEW_SLOT(remove_HistoryChanged)
    // Slot 13.
    virtual HRESULT STDMETHODCALLTYPE add_NavigationCompleted(
        ICoreWebView2NavigationCompletedEventHandler* handler, EventRegistrationToken* token) = 0;
    MURAVEL_WEBVIEW_SLOT(remove_NavigationCompleted)
    MURAVEL_WEBVIEW_SLOT(add_FrameNavigationStarting)
    MURAVEL_WEBVIEW_SLOT(remove_FrameNavigationStarting)
    MURAVEL_WEBVIEW_SLOT(add_FrameNavigationCompleted)
    MURAVEL_WEBVIEW_SLOT(remove_FrameNavigationCompleted)
    MURAVEL_WEBVIEW_SLOT(add_ScriptDialogOpening)
    MURAVEL_WEBVIEW_SLOT(remove_ScriptDialogOpening)
    MURAVEL_WEBVIEW_SLOT(add_PermissionRequested)
    MURAVEL_WEBVIEW_SLOT(remove_PermissionRequested)
    // Slot 23.
    virtual HRESULT STDMETHODCALLTYPE add_ProcessFailed(
        ICoreWebView2ProcessFailedEventHandler* handler, EventRegistrationToken* token) = 0;
    MURAVEL_WEBVIEW_SLOT(remove_ProcessFailed)
    MURAVEL_WEBVIEW_SLOT(AddScriptToExecuteOnDocumentCreated)
    MURAVEL_WEBVIEW_SLOT(RemoveScriptToExecuteOnDocumentCreated)
    // Slot 27.
    virtual HRESULT STDMETHODCALLTYPE
    ExecuteScript(LPCWSTR javaScript, ICoreWebView2ExecuteScriptCompletedHandler* handler) = 0;
    // Slot 28.
    virtual HRESULT STDMETHODCALLTYPE
    CapturePreview(COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT imageFormat, IStream* imageStream,
                   ICoreWebView2CapturePreviewCompletedHandler* handler) = 0;
    MURAVEL_WEBVIEW_SLOT(Reload)
    MURAVEL_WEBVIEW_SLOT(PostWebMessageAsJson)
    MURAVEL_WEBVIEW_SLOT(PostWebMessageAsString)
    MURAVEL_WEBVIEW_SLOT(add_WebMessageReceived)
    MURAVEL_WEBVIEW_SLOT(remove_WebMessageReceived)
    MURAVEL_WEBVIEW_SLOT(CallDevToolsProtocolMethod)
    MURAVEL_WEBVIEW_SLOT(get_BrowserProcessId)
    MURAVEL_WEBVIEW_SLOT(get_CanGoBack)
    MURAVEL_WEBVIEW_SLOT(get_CanGoForward)
    MURAVEL_WEBVIEW_SLOT(GoBack)
    MURAVEL_WEBVIEW_SLOT(GoForward)
    MURAVEL_WEBVIEW_SLOT(GetDevToolsProtocolEventReceiver)
    MURAVEL_WEBVIEW_SLOT(Stop)
    MURAVEL_WEBVIEW_SLOT(add_NewWindowRequested)
    MURAVEL_WEBVIEW_SLOT(remove_NewWindowRequested)
    MURAVEL_WEBVIEW_SLOT(add_DocumentTitleChanged)
    MURAVEL_WEBVIEW_SLOT(remove_DocumentTitleChanged)
    MURAVEL_WEBVIEW_SLOT(get_DocumentTitle)
    MURAVEL_WEBVIEW_SLOT(AddHostObjectToScript)
    MURAVEL_WEBVIEW_SLOT(RemoveHostObjectFromScript)
    MURAVEL_WEBVIEW_SLOT(OpenDevToolsWindow)
    MURAVEL_WEBVIEW_SLOT(add_ContainsFullScreenElementChanged)
    MURAVEL_WEBVIEW_SLOT(remove_ContainsFullScreenElementChanged)
    MURAVEL_WEBVIEW_SLOT(get_ContainsFullScreenElement)
    MURAVEL_WEBVIEW_SLOT(add_WebResourceRequested)
    MURAVEL_WEBVIEW_SLOT(remove_WebResourceRequested)
    MURAVEL_WEBVIEW_SLOT(AddWebResourceRequestedFilter)
    MURAVEL_WEBVIEW_SLOT(RemoveWebResourceRequestedFilter)
    MURAVEL_WEBVIEW_SLOT(add_WindowCloseRequested)
    // Slot 58, the last of ICoreWebView2.
    MURAVEL_WEBVIEW_SLOT(remove_WindowCloseRequested)
};

struct ICoreWebView2_2 : ICoreWebView2 {
    MURAVEL_WEBVIEW_SLOT(add_WebResourceResponseReceived)
    MURAVEL_WEBVIEW_SLOT(remove_WebResourceResponseReceived)
    MURAVEL_WEBVIEW_SLOT(NavigateWithWebResourceRequest)
    MURAVEL_WEBVIEW_SLOT(add_DOMContentLoaded)
    MURAVEL_WEBVIEW_SLOT(remove_DOMContentLoaded)
    MURAVEL_WEBVIEW_SLOT(get_CookieManager)
    // Slot 7, the last of ICoreWebView2_2.
    MURAVEL_WEBVIEW_SLOT(get_Environment)
};

struct ICoreWebView2_3 : ICoreWebView2_2 {
    // Slot 1 after the 58 + 7 of its bases. The controller must be hidden first.
    virtual HRESULT STDMETHODCALLTYPE
    TrySuspend(ICoreWebView2TrySuspendCompletedHandler* handler) = 0;
    // Slot 2.
    virtual HRESULT STDMETHODCALLTYPE Resume() = 0;
};

#undef MURAVEL_WEBVIEW_SLOT

// The IIDs, as the IDL gives them.
__CRT_UUID_DECL(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler, 0x4e8a3389, 0xc9d8,
                0x4bd2, 0xb6, 0xb5, 0x12, 0x4f, 0xee, 0x6c, 0xc1, 0x4d)
__CRT_UUID_DECL(ICoreWebView2CreateCoreWebView2ControllerCompletedHandler, 0x6c4819f3, 0xc9b7,
                0x4260, 0x81, 0x27, 0xc9, 0xf5, 0xbd, 0xe7, 0xf6, 0x8c)
__CRT_UUID_DECL(ICoreWebView2ExecuteScriptCompletedHandler, 0x49511172, 0xcc67, 0x4bca, 0x99, 0x23,
                0x13, 0x71, 0x12, 0xf4, 0xc4, 0xcc)
__CRT_UUID_DECL(ICoreWebView2CapturePreviewCompletedHandler, 0x697e05e9, 0x3d8f, 0x45fa, 0x96, 0xf4,
                0x8f, 0xfe, 0x1e, 0xde, 0xda, 0xf5)
__CRT_UUID_DECL(ICoreWebView2TrySuspendCompletedHandler, 0x00f206a7, 0x9d17, 0x4605, 0x91, 0xf6,
                0x4e, 0x8e, 0x4d, 0xe1, 0x92, 0xe3)
__CRT_UUID_DECL(ICoreWebView2NavigationCompletedEventHandler, 0xd33a35bf, 0x1c49, 0x4f98, 0x93,
                0xab, 0x00, 0x6e, 0x05, 0x33, 0xfe, 0x1c)
__CRT_UUID_DECL(ICoreWebView2ProcessFailedEventHandler, 0x79e0aea4, 0x990b, 0x42d9, 0xaa, 0x1d,
                0x0f, 0xcc, 0x2e, 0x5b, 0xc7, 0xf1)
__CRT_UUID_DECL(ICoreWebView2Environment, 0xb96d755e, 0x0319, 0x4e92, 0xa2, 0x96, 0x23, 0x43, 0x6f,
                0x46, 0xa1, 0xfc)
__CRT_UUID_DECL(ICoreWebView2Settings, 0xe562e4f0, 0xd7fa, 0x43ac, 0x8d, 0x71, 0xc0, 0x51, 0x50,
                0x49, 0x9f, 0x00)
__CRT_UUID_DECL(ICoreWebView2Controller, 0x4d00c0d1, 0x9434, 0x4eb6, 0x80, 0x78, 0x86, 0x97, 0xa5,
                0x60, 0x33, 0x4f)
__CRT_UUID_DECL(ICoreWebView2Controller2, 0xc979903e, 0xd4ca, 0x4228, 0x92, 0xeb, 0x47, 0xee, 0x3f,
                0xa9, 0x6e, 0xab)
__CRT_UUID_DECL(ICoreWebView2, 0x76eceacb, 0x0462, 0x4d94, 0xac, 0x83, 0x42, 0x3a, 0x67, 0x93, 0x77,
                0x5e)
__CRT_UUID_DECL(ICoreWebView2_3, 0xa0d6df20, 0x3b92, 0x416d, 0xaa, 0x0c, 0x43, 0x7a, 0x9c, 0x72,
                0x78, 0x57)

// The runtime's own entry point in EmbeddedBrowserWebView.dll, which the SDK's loader calls:
// its first argument is always TRUE, its second 0 for an installed runtime.
using TCreateWebViewEnvironment =
    HRESULT(STDAPICALLTYPE*)(BOOL, int runtimeType, PCWSTR userDataFolder, IUnknown* options,
                             ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler);
