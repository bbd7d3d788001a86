#include <gtest/gtest.h>

#include <optional>

#include "TestFiles.h"
#include "core/Colors.h"
#include "rtl/Errors.h"

using testfiles::Color;
using testfiles::FakeSysColor;
using testfiles::MessageOf;

TEST(Colors, NamedColoursWriteTheirNamesAndOthersHex) {
    const struct {
        core::TColor color;
        const char* text;
    } cases[] = {
        {core::clBlack, "clBlack"},       {core::clWhite, "clWhite"},
        {core::clBlue, "clBlue"},         {core::clBackground, "clBackground"},
        {core::clWindow, "clWindow"},     {core::clWindowText, "clWindowText"},
        {core::clBtnFace, "clBtnFace"},   {core::clNone, "clNone"},
        {core::clDefault, "clDefault"},   {Color(0xFF000015), "cl3DDkShadow"},
        {Color(0x00C08080), "$00C08080"}, {Color(0xFF00001F), "$FF00001F"},
        {Color(0xFFFFFFFF), "$FFFFFFFF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(core::ColorToString(c.color), c.text);
        EXPECT_EQ(core::StringToColor(c.text), c.color) << c.text;
    }
}

TEST(Colors, TextsReadByNameInAnyCaseOrAsIntegers) {
    const std::pair<const char*, uint32_t> cases[] = {
        {"clwhite", 0x00FFFFFF},   {"CLWHITE", 0x00FFFFFF},      {"16777215", 0x00FFFFFF},
        {"$FFFFFF", 0x00FFFFFF},   {"0xffffff", 0x00FFFFFF},     {"clbtnface", 0xFF00000F},
        {"$FF000001", 0xFF000001}, {"clnone", 0x1FFFFFFF},       {"-1", 0xFFFFFFFF},
        {"$00C08080", 0x00C08080}, {"cl3ddkshadow", 0xFF000015},
    };
    for (const auto& c : cases)
        EXPECT_EQ(static_cast<uint32_t>(core::StringToColor(c.first)), c.second) << c.first;
}

TEST(Colors, TextThatIsNeitherNameNorNumberFails) {
    for (const std::string text : {"white", "$1FFFFFFFF", "", "clWhite2", "#FFFFFF"})
        EXPECT_EQ(MessageOf<rtl::EConvertError>([&] { core::StringToColor(text); }),
                  "'" + text + "' is not a valid integer value");
}

TEST(Colors, SystemColoursResolveThroughTheLookup) {
    const std::pair<uint32_t, uint32_t> cases[] = {
        {0xFF000001, 0x01},       {0xFF00000F, 0x0F},
        {0x8000001E, 0x1E}, // top bit set: a system colour by its low byte
        {0x00C08080, 0x00C08080}, {0x1FFFFFFF, 0x1FFFFFFF},
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::ColorToRGB(Color(c.first), FakeSysColor), c.second) << std::hex << c.first;
}

TEST(Colors, CssColorResolvesEveryKindOfValue) {
    const struct {
        uint32_t color;
        const char* css;
    } cases[] = {
        {0x00000000, "#000000"},     {0x000000FF, "#ff0000"},
        {0x00FF8000, "#0080ff"},     {0x00C08080, "#8080c0"},
        {0xFF00000F, "#0f0000"}, // clBtnFace, index 15
        {0xFF000001, "#010000"}, // clBackground
        {0x8000001E, "#1e0000"}, // top bit set: a system colour by its low byte
        {0x1FFFFFFF, "transparent"}, {0x20000000, ""},
        {0x02123456, "#563412"}, // a palette-relative value keeps its RGB
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::CssColor(Color(c.color), FakeSysColor), c.css) << std::hex << c.color;
}

TEST(Colors, CssTextReadsBackOnlyAsHashAndSixDigits) {
    const std::pair<const char*, std::optional<uint32_t>> cases[] = {
        {"#336699", 0x00996633},   {"#FFFFFF", 0x00FFFFFF}, {"#abCDef", 0x00EFCDAB},
        {"#12345G", std::nullopt}, {"#FFF", std::nullopt},  {"#1234567", std::nullopt},
        {"336699", std::nullopt},  {"", std::nullopt},      {"clWhite", std::nullopt},
    };
    for (const auto& c : cases) {
        const std::optional<core::TColor> color = core::CssToColor(c.first);
        EXPECT_EQ(color ? std::optional<uint32_t>(static_cast<uint32_t>(*color)) : std::nullopt,
                  c.second)
            << c.first;
    }
}

TEST(Colors, DarknessByLumaWithGreenWeighedMost) {
    const std::pair<uint32_t, bool> cases[] = {
        {0x000000, true},  {0xFFFFFF, false}, {0x0000FF, true}, // pure red
        {0x00FF00, false}, {0x7F7F7F, true},  {0x808080, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::IsDark(c.first), c.second) << std::hex << c.first;
}
