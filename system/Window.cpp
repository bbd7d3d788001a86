#include "system/Window.h"

#include "rtl/Errors.h"
#include "rtl/Paths.h"

namespace sys {

namespace {

const char* const WindowProperty = "Muravel.Window";

} // namespace

TWideClassName::TWideClassName(const char* name) {
    size_t i = 0;
    for (; name[i] != '\0' && i + 1 < sizeof text_ / sizeof text_[0]; ++i)
        text_[i] = static_cast<unsigned char>(name[i]);
    text_[i] = L'\0';
}

TWindow::~TWindow() {
    // Untied first, so that the messages of its destruction find no half-gone object.
    Detach();
}

TWindow* TWindow::FromHandle(HWND window) {
    return window != nullptr ? static_cast<TWindow*>(GetPropA(window, WindowProperty)) : nullptr;
}

LRESULT CALLBACK TWindow::ClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        if (auto* object = static_cast<TWindow*>(create->lpCreateParams))
            object->Attach(window);
    }
    TWindow* object = FromHandle(window);
    if (object == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    const LRESULT result = object->WindowProc(message, wParam, lParam);
    // The last message: the window goes by itself, so no object may hold it any longer.
    if (message == WM_NCDESTROY)
        object->Forget();
    return result;
}

void TWindow::RegisterWindowClass(const char* className, HBRUSH background, HICON icon) {
    const TWideClassName name(className);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &ClassProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name.Get();
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw rtl::Exception(std::string("Cannot register the window class ") + className + ". " +
                             rtl::LastErrorText());
}

void TWindow::Attach(HWND window) {
    window_.Reset(window);
    SetPropA(window, WindowProperty, this);
}

void TWindow::Detach() {
    if (Handle() != nullptr)
        RemovePropA(Handle(), WindowProperty);
}

void TWindow::Forget() {
    Detach();
    window_.Release();
}

void TWindow::Destroy() {
    Detach();
    window_.Reset();
}

} // namespace sys
