#include "ui/Colors.h"

#include <map>

#include "ui/Handles.h"

namespace ui {

COLORREF ColorToRGB(TColor color) {
    if (color < 0)
        return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color);
}

HBRUSH SolidBrush(TColor color) {
    static std::map<COLORREF, TBrushHandle> brushes;
    const COLORREF rgb = ColorToRGB(color);
    TBrushHandle& brush = brushes[rgb];
    if (!brush)
        brush.reset(CreateSolidBrush(rgb));
    return brush.get();
}

} // namespace ui
