#pragma once

#include <windows.h>

#include <utility>

namespace ui {

// Sole owner of one Win32 handle, released with Free when the owner goes.
template <class T, auto Free> class TUniqueHandle {
public:
    TUniqueHandle() = default;
    explicit TUniqueHandle(T handle) : handle_(handle) {}
    ~TUniqueHandle() { reset(); }
    TUniqueHandle(TUniqueHandle&& other) noexcept : handle_(other.release()) {}
    TUniqueHandle& operator=(TUniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    TUniqueHandle(const TUniqueHandle&) = delete;
    TUniqueHandle& operator=(const TUniqueHandle&) = delete;

    T get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    T release() { return std::exchange(handle_, nullptr); }
    void reset(T handle = nullptr) {
        if (handle_ != nullptr)
            Free(handle_);
        handle_ = handle;
    }

private:
    T handle_ = nullptr;
};

using TWindowHandle = TUniqueHandle<HWND, &DestroyWindow>;
using TFontHandle = TUniqueHandle<HFONT, &DeleteObject>;
using TBrushHandle = TUniqueHandle<HBRUSH, &DeleteObject>;
using TBitmapHandle = TUniqueHandle<HBITMAP, &DeleteObject>;
using TMenuHandle = TUniqueHandle<HMENU, &DestroyMenu>;
using TIconHandle = TUniqueHandle<HICON, &DestroyIcon>;
using THookHandle = TUniqueHandle<HHOOK, &UnhookWindowsHookEx>;
using TMemoryDCHandle = TUniqueHandle<HDC, &DeleteDC>;

// A device context of a window, given back with ReleaseDC.
class TWindowDC {
public:
    explicit TWindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~TWindowDC() { ReleaseDC(window_, dc_); }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context for the lifetime of this, then the previous one back.
class TSelectObject {
public:
    TSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~TSelectObject() { SelectObject(dc_, previous_); }
    TSelectObject(const TSelectObject&) = delete;
    TSelectObject& operator=(const TSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

} // namespace ui
