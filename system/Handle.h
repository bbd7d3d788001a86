#pragma once

#include <windows.h>

#include <ole2.h>

namespace sys {

// Owns one Win32 handle and releases it when it goes out of scope, on every path out. The
// one owner of handles, GDI objects, device contexts, registry keys, searches and mappings in
// the system, the window layer and the installer stub alike.
template <class Traits> class THandle {
public:
    using Type = typename Traits::Type;

    THandle() = default;
    explicit THandle(Type handle) : handle_(handle) {}
    ~THandle() { Reset(); }
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    THandle(THandle&& other) noexcept : handle_(other.Release()) {}
    THandle& operator=(THandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    Type Get() const { return handle_; }
    bool Valid() const { return handle_ != Traits::Invalid(); }
    // For the out-parameter of a call that opens a handle; whatever was held is released first.
    Type* Receive() {
        Reset();
        return &handle_;
    }
    Type Release() {
        const Type handle = handle_;
        handle_ = Traits::Invalid();
        return handle;
    }
    void Reset(Type handle = Traits::Invalid()) {
        if (Valid())
            Traits::Close(handle_);
        handle_ = handle;
    }

private:
    Type handle_ = Traits::Invalid();
};

// Handles that are null when there is none, released by Free.
template <class T, auto Free> struct TNullTraits {
    using Type = T;
    static Type Invalid() { return nullptr; }
    static void Close(Type handle) { Free(handle); }
};

// Handles that are INVALID_HANDLE_VALUE when there is none.
template <auto Free> struct TInvalidTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) { Free(handle); }
};

// Processes, threads and mappings.
using TKernelHandle = THandle<TNullTraits<HANDLE, &CloseHandle>>;
using TFileHandle = THandle<TInvalidTraits<&CloseHandle>>;
using TFindHandle = THandle<TInvalidTraits<&FindClose>>;
// Never holds a predefined root such as HKEY_CURRENT_USER, which must not be closed.
using TRegKey = THandle<TNullTraits<HKEY, &RegCloseKey>>;
using TMappedView = THandle<TNullTraits<const void*, &UnmapViewOfFile>>;
using TWindowHandle = THandle<TNullTraits<HWND, &DestroyWindow>>;
using TMenuHandle = THandle<TNullTraits<HMENU, &DestroyMenu>>;
using TIconHandle = THandle<TNullTraits<HICON, &DestroyIcon>>;
using THookHandle = THandle<TNullTraits<HHOOK, &UnhookWindowsHookEx>>;
using TGdiObject = THandle<TNullTraits<HGDIOBJ, &DeleteObject>>;
using TFontHandle = THandle<TNullTraits<HFONT, &DeleteObject>>;
using TBrushHandle = THandle<TNullTraits<HBRUSH, &DeleteObject>>;
using TBitmapHandle = THandle<TNullTraits<HBITMAP, &DeleteObject>>;
using TMemoryDC = THandle<TNullTraits<HDC, &DeleteDC>>;

// OLE on the calling thread for the lifetime of this, balanced only when it was taken.
class TOleInitialization {
public:
    TOleInitialization() : result_(OleInitialize(nullptr)) {}
    ~TOleInitialization() {
        if (SUCCEEDED(result_))
            OleUninitialize();
    }
    TOleInitialization(const TOleInitialization&) = delete;
    TOleInitialization& operator=(const TOleInitialization&) = delete;

private:
    HRESULT result_;
};

// A device context of a window (or of the screen, for none), given back with ReleaseDC.
class TWindowDC {
public:
    explicit TWindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~TWindowDC() { ReleaseDC(window_, dc_); }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC Get() const { return dc_; }

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

} // namespace sys
