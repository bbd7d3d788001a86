#pragma once

#include <windows.h>

#include "core/Colors.h"

namespace ui {

using core::TColor;

// The RGB value a colour has now: a system colour as the system gives it at this moment.
COLORREF ColorToRGB(TColor color);

// A solid brush of the colour as it is now; kept for the life of the program, so callers never
// free it and a WM_CTLCOLOR* answer stays valid.
HBRUSH SolidBrush(TColor color);

} // namespace ui
