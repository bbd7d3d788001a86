#pragma once

#include <windows.h>

namespace sys {

// Owns one Win32 handle and releases it when it goes out of scope, on every path out.
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

struct TRegKeyTraits {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static void Close(Type key) { RegCloseKey(key); }
};

struct TFindTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type search) { FindClose(search); }
};

struct TFileTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type file) { CloseHandle(file); }
};

// Never holds a predefined root such as HKEY_CURRENT_USER, which must not be closed.
using TRegKey = THandle<TRegKeyTraits>;
using TFindHandle = THandle<TFindTraits>;
using TFileHandle = THandle<TFileTraits>;

} // namespace sys
