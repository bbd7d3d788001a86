#pragma once

#include "ui/Resources.h"

namespace ui {

constexpr const char* ProductName = "Zenvoy Muravel";
constexpr const char* ProductVersion = MURAVEL_VERSION_TEXT;
// Opened by the Help menu's Homepage item.
constexpr const char* HomePageAddress = "https://www.zenvoy.example/muravel/";
// The maker's home page: the About box's link and its caption.
constexpr const char* MakerAddress = "https://www.zenvoy.example/";

} // namespace ui
