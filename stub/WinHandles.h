#pragma once

#include <windows.h>

#include "system/Handle.h"

namespace stub {

// The system layer's owner of one handle, with the kinds of handle the installer needs.
template <class Traits> using THandle = sys::THandle<Traits>;
using sys::TFileTraits;
using sys::TRegKeyTraits;

// Processes, threads, mappings: null when there is none.
struct TKernelTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type handle) { CloseHandle(handle); }
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
