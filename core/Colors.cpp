#include "Colors.h"

#include <cstdio>

#include "rtl/Errors.h"
#include "rtl/TextUtils.h"

namespace core {

namespace {

struct NamedColor {
    const char* name;
    uint32_t value;
};

const NamedColor ColorNames[] = {
    {"clBlack", 0x00000000},
    {"clMaroon", 0x00000080},
    {"clGreen", 0x00008000},
    {"clOlive", 0x00008080},
    {"clNavy", 0x00800000},
    {"clPurple", 0x00800080},
    {"clTeal", 0x00808000},
    {"clGray", 0x00808080},
    {"clSilver", 0x00C0C0C0},
    {"clRed", 0x000000FF},
    {"clLime", 0x0000FF00},
    {"clYellow", 0x0000FFFF},
    {"clBlue", 0x00FF0000},
    {"clFuchsia", 0x00FF00FF},
    {"clAqua", 0x00FFFF00},
    {"clWhite", 0x00FFFFFF},
    {"clMoneyGreen", 0x00C0DCC0},
    {"clSkyBlue", 0x00F0CAA6},
    {"clCream", 0x00F0FBFF},
    {"clMedGray", 0x00A4A0A0},
    {"clActiveBorder", 0xFF00000A},
    {"clActiveCaption", 0xFF000002},
    {"clAppWorkSpace", 0xFF00000C},
    {"clBackground", 0xFF000001},
    {"clBtnFace", 0xFF00000F},
    {"clBtnHighlight", 0xFF000014},
    {"clBtnShadow", 0xFF000010},
    {"clBtnText", 0xFF000012},
    {"clCaptionText", 0xFF000009},
    {"clDefault", 0x20000000},
    {"clGradientActiveCaption", 0xFF00001B},
    {"clGradientInactiveCaption", 0xFF00001C},
    {"clGrayText", 0xFF000011},
    {"clHighlight", 0xFF00000D},
    {"clHighlightText", 0xFF00000E},
    {"clHotLight", 0xFF00001A},
    {"clInactiveBorder", 0xFF00000B},
    {"clInactiveCaption", 0xFF000003},
    {"clInactiveCaptionText", 0xFF000013},
    {"clInfoBk", 0xFF000018},
    {"clInfoText", 0xFF000017},
    {"clMenu", 0xFF000004},
    {"clMenuBar", 0xFF00001E},
    {"clMenuHighlight", 0xFF00001D},
    {"clMenuText", 0xFF000007},
    {"clNone", 0x1FFFFFFF},
    {"clScrollBar", 0xFF000000},
    {"cl3DDkShadow", 0xFF000015},
    {"cl3DLight", 0xFF000016},
    {"clWindow", 0xFF000005},
    {"clWindowFrame", 0xFF000006},
    {"clWindowText", 0xFF000008},
};

} // namespace

std::string ColorToString(TColor color) {
    const uint32_t bits = static_cast<uint32_t>(color);
    for (const NamedColor& named : ColorNames)
        if (named.value == bits)
            return named.name;
    char text[10];
    std::snprintf(text, sizeof text, "$%08X", bits);
    return text;
}

TColor StringToColor(const std::string& text) {
    for (const NamedColor& named : ColorNames)
        if (rtl::SameTextAscii(text, named.name))
            return static_cast<TColor>(named.value);
    int32_t value;
    if (!rtl::TryStrToInt(text, value))
        throw rtl::EConvertError("'" + text + "' is not a valid integer value");
    return value;
}

uint32_t ColorToRGB(TColor color, const TSysColorFn& sysColor) {
    if (IsSystemColor(color))
        return sysColor(SystemColorIndex(color));
    return static_cast<uint32_t>(color);
}

std::string CssColor(TColor color, const TSysColorFn& sysColor) {
    if (color == clNone)
        return "transparent";
    if (color == clDefault)
        return "";
    const uint32_t rgb = ColorToRGB(color, sysColor);
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", rgb & 0xFF, rgb >> 8 & 0xFF,
                  rgb >> 16 & 0xFF);
    return text;
}

std::optional<TColor> CssToColor(const std::string& text) {
    if (text.size() != 7 || text[0] != '#')
        return std::nullopt;
    uint32_t color = 0;
    // The digits come red first; the colour keeps red in its lowest byte.
    for (size_t byte = 0; byte < 3; ++byte) {
        const int high = rtl::HexDigit(text[1 + 2 * byte]);
        const int low = rtl::HexDigit(text[2 + 2 * byte]);
        if (high < 0 || low < 0)
            return std::nullopt;
        color |= static_cast<uint32_t>(high * 16 + low) << (8 * byte);
    }
    return static_cast<TColor>(color);
}

bool IsDark(uint32_t rgb) {
    const uint32_t luma = 299 * (rgb & 0xFF) + 587 * (rgb >> 8 & 0xFF) + 114 * (rgb >> 16 & 0xFF);
    return luma < 128000;
}

} // namespace core
