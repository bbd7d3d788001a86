#pragma once

#include <string>

#include "system/Handle.h"

namespace ui {

// A font as the layouts give it: Height is the character height in pixels at 96 dots per inch.
struct TFont {
    std::string Name = "Tahoma";
    int Height = 11;
    bool Bold = false;
    bool Underline = false;
};

// The font at pixelsPerInch, its character height scaled from 96 dots per inch.
sys::TFontHandle CreateFontHandle(const TFont& font, int pixelsPerInch);
// What font, made at pixelsPerInch, is.
TFont DescribeFont(HFONT font, int pixelsPerInch);

} // namespace ui
