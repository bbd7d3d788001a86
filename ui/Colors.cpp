#include "ui/Colors.h"

#include <map>

#include "system/Handle.h"

namespace ui {

COLORREF ColorToRGB(TColor color) {
    return core::ColorToRGB(color,
                            [](int index) { return static_cast<uint32_t>(GetSysColor(index)); });
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
