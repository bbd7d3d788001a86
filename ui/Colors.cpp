#include "ui/Colors.h"

#include <map>

#include "system/Handle.h"

namespace ui {

COLORREF ColorToRGB(TColor color) {
    if (color < 0)
        return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color);
}

HBRUSH SolidBrush(TColor color) {
    static std::map<COLORREF, sys::TBrushHandle> brushes;
    const COLORREF rgb = ColorToRGB(color);
    sys::TBrushHandle& brush = brushes[rgb];
    if (!brush.Valid())
        brush.Reset(CreateSolidBrush(rgb));
    return brush.Get();
}

} // namespace ui
