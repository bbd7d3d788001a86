#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace core {

// A colour value of the window framework: RGB with red in the lowest byte, a system-colour
// constant (top byte FF), or one of the special values clNone and clDefault.
using TColor = int32_t;

// System-colour values carry the system's colour index (COLOR_*) in their low byte and 0xFF in
// the top byte.
constexpr TColor SystemColor(int index) {
    return static_cast<TColor>(0xFF000000u | static_cast<unsigned>(index));
}

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clBackground = SystemColor(1);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// Any value with the top bit set counts as a system colour by its low byte, as the framework
// resolves it.
constexpr bool IsSystemColor(TColor color) {
    return color < 0;
}
constexpr int SystemColorIndex(TColor color) {
    return static_cast<int>(static_cast<uint32_t>(color) & 0xFF);
}

// "clBlack" for a named colour, else "$" and eight upper-case hexadecimal digits; the text
// project files hold.
std::string ColorToString(TColor color);
// A colour name in any letter case, or integer text; anything else raises EConvertError
// "'%s' is not a valid integer value".
TColor StringToColor(const std::string& text);

// The RGB value (red in the lowest byte) of the system colour of this index, as the machine
// the colour is shown on has it: GetSysColor in the window and the installer.
using TSysColorFn = std::function<uint32_t(int index)>;

// The RGB value a colour has now: a system colour as sysColor gives it, any other value as it
// is.
uint32_t ColorToRGB(TColor color, const TSysColorFn& sysColor);

// The CSS form of a colour: "#rrggbb" for an RGB value and for a system colour (resolved now:
// a page cannot ask Windows later), "transparent" for clNone, and empty for clDefault, meaning
// "leave the page's default". Any top byte of an RGB value but a system colour's is ignored.
std::string CssColor(TColor color, const TSysColorFn& sysColor);
// The RGB colour of "#rrggbb" in either letter case; nothing for any other text.
std::optional<TColor> CssToColor(const std::string& text);

// Whether text drawn on this RGB value (red in the lowest byte) must be light to be read.
bool IsDark(uint32_t rgb);

} // namespace core
