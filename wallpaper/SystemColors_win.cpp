#include "SystemColors.h"

#include <windows.h>

namespace wallpaper {

uint32_t SystemColor(int index) {
    return static_cast<uint32_t>(GetSysColor(index));
}

} // namespace wallpaper
