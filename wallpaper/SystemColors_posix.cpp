#include "SystemColors.h"

namespace wallpaper {

namespace {

// Windows 10's defaults, by index, as 0xRRGGBB.
const uint32_t Defaults[] = {
    0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x0078D7, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xFFFFE1, 0x000000, 0x0066CC, 0xB9D1EA, 0xD7E4F2, 0x3399FF, 0xF0F0F0,
};

} // namespace

uint32_t SystemColor(int index) {
    if (index < 0 || index >= static_cast<int>(sizeof Defaults / sizeof Defaults[0]))
        return 0;
    const uint32_t rgb = Defaults[index];
    return (rgb >> 16) | (rgb & 0x00FF00) | (rgb & 0xFF) << 16;
}

} // namespace wallpaper
