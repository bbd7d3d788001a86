#include "ui/Control.h"

#include <stdexcept>

#include "rtl/Errors.h"
#include "rtl/Paths.h"

namespace ui {

namespace {

[[noreturn]] void RaiseCreateError(const char* className) {
    const std::string reason = rtl::LastErrorText();
    throw ECreateWindowError(
        std::string("Cannot create a window of class ") + className + ". " + reason, reason);
}

} // namespace

TControl::~TControl() {
    RestoreSystemProc();
    Detach();
}

TControl& TControl::Root() const {
    const TControl* control = this;
    while (control->parent_ != nullptr)
        control = control->parent_;
    return const_cast<TControl&>(*control);
}

int TControl::PixelsPerInch() const {
    return parent_ != nullptr ? parent_->PixelsPerInch() : 96;
}

std::string TControl::Caption() const {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(Handle())) + 1, '\0');
    text.resize(
        static_cast<size_t>(GetWindowTextA(Handle(), &text[0], static_cast<int>(text.size()))));
    return text;
}

void TControl::SetCaption(const std::string& caption) {
    SetWindowTextA(Handle(), caption.c_str());
    AdjustSize();
}

bool TControl::Enabled() const {
    return IsWindowEnabled(Handle()) != FALSE;
}

void TControl::SetEnabled(bool enabled) {
    EnableWindow(Handle(), enabled ? TRUE : FALSE);
}

void TControl::SetVisible(bool visible) {
    ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE);
}

TBounds TControl::Bounds() const {
    RECT rect;
    GetWindowRect(Handle(), &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(Handle()), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void TControl::SetBounds(const TBounds& bounds) {
    SetWindowPos(Handle(), nullptr, bounds.Left, bounds.Top, bounds.Width, bounds.Height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TControl::CanFocus() const {
    if (!IsWindowVisible(Handle()))
        return false;
    for (const TControl* control = this; control != nullptr; control = control->parent_)
        if (!control->Enabled())
            return false;
    return true;
}

void TControl::SetFocus() {
    ::SetFocus(Handle());
}

HFONT TControl::FontHandle() const {
    if (ownFont_.Valid())
        return ownFont_.Get();
    return parent_ != nullptr ? parent_->FontHandle() : nullptr;
}

void TControl::SetFont(const TFont& font) {
    sys::TFontHandle previous = std::move(ownFont_);
    ownFont_ = CreateFontHandle(font, PixelsPerInch());
    if (Handle() != nullptr)
        SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(ownFont_.Get()), TRUE);
    AdjustSize();
}

TColor TControl::BackgroundColor() const {
    return core::clBtnFace;
}

TControl* TControl::FromHandle(HWND window) {
    return dynamic_cast<TControl*>(sys::TWindow::FromHandle(window));
}

void TControl::CreateSystemWindow(const char* className, DWORD style, DWORD exStyle,
                                  const TControlArgs& args) {
    const TBounds& b = args.Bounds;
    // Unicode windows with a Unicode procedure: a typed character reaches an edit whole, where
    // the 8-bit path would hand it over byte by byte, which the edit cannot put together.
    HWND window = CreateWindowExW(
        exStyle, sys::TWideClassName(className).Get(), L"",
        style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (args.TabStop ? WS_TABSTOP : 0), b.Left,
        b.Top, b.Width, b.Height, ParentHandle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr)
        RaiseCreateError(className);
    Attach(window);
    systemProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), FALSE);
    SetWindowTextA(window, args.Caption.c_str());
}

void TControl::CreateOwnWindow(const char* className, DWORD style, DWORD exStyle,
                               const TControlArgs& args, HWND parentOrOwner) {
    const TBounds& b = args.Bounds;
    if (parentOrOwner == nullptr && parent_ != nullptr)
        parentOrOwner = parent_->Handle();
    HWND window = CreateWindowExW(exStyle, sys::TWideClassName(className).Get(), L"",
                                  style | (args.TabStop ? WS_TABSTOP : 0), b.Left, b.Top, b.Width,
                                  b.Height, parentOrOwner, nullptr, GetModuleHandleW(nullptr),
                                  // ClassProc reads the creation parameter as the window object.
                                  static_cast<sys::TWindow*>(this));
    if (window == nullptr)
        RaiseCreateError(className);
    SetWindowTextA(window, args.Caption.c_str());
}

void TControl::DestroyHandle() {
    RestoreSystemProc();
    Destroy();
}

bool TControl::HandleMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

LRESULT TControl::CallDefault(UINT message, WPARAM wParam, LPARAM lParam) {
    if (systemProc_ != nullptr)
        return CallWindowProcW(systemProc_, Handle(), message, wParam, lParam);
    return DefWindowProcW(Handle(), message, wParam, lParam);
}

LRESULT CALLBACK TControl::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Only subclassed windows come here, and Detach puts their own procedure back before the
    // property goes, so the object is always there.
    return FromHandle(window)->WindowProc(message, wParam, lParam);
}

LRESULT TControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (RouteToChild(message, wParam, lParam, result))
        return result;
    if (HandleMessage(message, wParam, lParam, result))
        return result;
    // A subclassed window's last message; the class procedure lets go of our own windows.
    if (message == WM_NCDESTROY && systemProc_ != nullptr) {
        HWND window = Handle();
        const WNDPROC systemProc = systemProc_;
        RestoreSystemProc();
        Forget();
        return CallWindowProcW(systemProc, window, message, wParam, lParam);
    }
    return CallDefault(message, wParam, lParam);
}

bool TControl::RouteToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND:
        if (TControl* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
            child->Command(HIWORD(wParam));
            result = 0;
            return true;
        }
        return false;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        TControl* child = FromHandle(header->hwndFrom);
        return child != nullptr && child->Notify(*header, result);
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        if (TControl* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
            HBRUSH brush = child->CtlColor(reinterpret_cast<HDC>(wParam));
            result = reinterpret_cast<LRESULT>(brush);
            return brush != nullptr;
        }
        return false;
    default:
        return false;
    }
}

void TControl::RestoreSystemProc() {
    if (Handle() != nullptr && systemProc_ != nullptr)
        SetWindowLongPtrW(Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(systemProc_));
    systemProc_ = nullptr;
}

bool TControl::HandleOwnPaint(UINT message, WPARAM wParam, LRESULT& result,
                              const std::function<void(HDC)>& paint) {
    switch (message) {
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        paint(dc);
        EndPaint(Handle(), &ps);
        result = 0;
        return true;
    }
    case WM_PRINTCLIENT:
        paint(reinterpret_cast<HDC>(wParam));
        result = 0;
        return true;
    default:
        return false;
    }
}

} // namespace ui
