#pragma once

#include <windows.h>

#include <optional>

namespace host {

// Where a wallpaper window goes to be drawn behind the desktop icons. Asked with 0x052C,
// Progman makes a layer for it: on the classic desktop the WorkerW that follows, in the
// z-order, the top-level window holding SHELLDLL_DefView (the icons), which takes our windows
// as children; on the raised desktop of Windows 11 24H2 and later (Progman drawn without a
// redirection bitmap) Progman itself, whose layered children just below SHELLDLL_DefView are
// drawn between the icons and the system's own wallpaper.
struct TDesktopLayer {
    HWND Parent = nullptr;
    // The icons' window on the raised desktop, which ours go below; null on the classic one.
    HWND Icons = nullptr;
};

// The layer, or nothing when there is no desktop window, or no layer yet: a WorkerW made on
// 0x052C may show up a moment late, so callers look again for a while.
std::optional<TDesktopLayer> FindDesktopLayer();

} // namespace host
