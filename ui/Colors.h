#pragma once

#include <windows.h>

#include "core/ProjectUnit.h"

namespace ui {

using core::TColor;

// System-colour values carry the COLOR_ index in their low byte and 0xFF in the top byte.
constexpr TColor SystemColor(int index) {
    return static_cast<TColor>(0xFF000000u | static_cast<unsigned>(index));
}

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clBackground = SystemColor(COLOR_BACKGROUND);
constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);

// The RGB value a colour has now: a system colour as the system gives it at this moment.
COLORREF ColorToRGB(TColor color);

// A solid brush of the colour as it is now; kept for the life of the program, so callers never
// free it and a WM_CTLCOLOR* answer stays valid.
HBRUSH SolidBrush(TColor color);

} // namespace ui
