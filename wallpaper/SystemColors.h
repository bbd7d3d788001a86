#pragma once

#include <cstdint>

namespace wallpaper {

// The RGB value (red in the lowest byte) of the system colour of this index (COLOR_*): the
// machine's own on Windows, Windows' default colours elsewhere, where a page is written for a
// Windows desktop all the same.
uint32_t SystemColor(int index);

} // namespace wallpaper
