#pragma once

#include <windows.h>

namespace stub {

// Owns one Win32 handle and releases it on every path out of its scope.
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
    // For the out-parameter of a call that opens one; whatever was held is released first.
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

// Processes, threads, mappings: null when there is none.
struct TKernelTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type handle) { CloseHandle(handle); }
};

// CreateFile says INVALID_HANDLE_VALUE, not null, when it fails.
struct TFileTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) { CloseHandle(handle); }
};

struct TRegKeyTraits {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static void Close(Type key) { RegCloseKey(key); }
};

struct TViewTraits {
    using Type = const void*;
    static Type Invalid() { return nullptr; }
    static void Close(Type view) { UnmapViewOfFile(view); }
};

struct TFontTraits {
    using Type = HFONT;
    static Type Invalid() { return nullptr; }
    static void Close(Type font) { DeleteObject(font); }
};

using TKernelHandle = THandle<TKernelTraits>;
using TFileHandle = THandle<TFileTraits>;
using TRegKey = THandle<TRegKeyTraits>;
using TMappedView = THandle<TViewTraits>;
using TFontHandle = THandle<TFontTraits>;

} // namespace stub
