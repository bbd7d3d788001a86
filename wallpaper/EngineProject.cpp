#include "EngineProject.h"

#include <cstdio>

#include "SafeNames.h"
#include "core/Colors.h"

namespace wallpaper {

namespace {

// "#rrggbb" as Wallpaper Engine writes a colour: "r g b", each 0 to 1.
std::string EngineColor(const std::string& css) {
    const std::optional<core::TColor> color = core::CssToColor(css);
    if (!color)
        return "0 0 0";
    std::string text;
    for (const int shift : {0, 8, 16}) {
        char part[16];
        std::snprintf(part, sizeof part, "%.6g", ((*color >> shift) & 0xFF) / 255.0);
        text += (text.empty() ? "" : " ") + std::string(part);
    }
    return text;
}

} // namespace

std::string EngineProjectJson(const TLivelyInfo& info, const TLivelyProperties& properties) {
    std::string json = "{\r\n"
                       "  \"file\": " +
                       JsonString(PageFileName) +
                       ",\r\n"
                       "  \"type\": \"web\",\r\n"
                       "  \"preview\": " +
                       JsonString(PreviewFileName) +
                       ",\r\n"
                       "  \"title\": " +
                       JsonString(info.Title) +
                       ",\r\n"
                       "  \"description\": " +
                       JsonString(info.Description) +
                       ",\r\n"
                       "  \"general\": {\r\n"
                       "    \"properties\": {\r\n";
    if (!properties.Background.empty())
        json += "      \"background\": {\"order\": 100, \"text\": \"Background colour\", "
                "\"type\": \"color\", \"value\": " +
                JsonString(EngineColor(properties.Background)) + "},\r\n";
    if (properties.HasText)
        json += "      \"showtext\": {\"order\": 101, \"text\": \"Show text and website link\", "
                "\"type\": \"bool\", \"value\": true},\r\n";
    return json + "      \"fit\": {\"order\": 102, \"text\": \"Fit\", \"type\": \"combo\", "
                  "\"value\": 0, \"options\": [{\"label\": \"Whole movie\", \"value\": 0}, "
                  "{\"label\": \"Fill the screen\", \"value\": 1}, "
                  "{\"label\": \"Stretch\", \"value\": 2}]},\r\n"
                  "      \"volume\": {\"order\": 103, \"text\": \"Sound volume\", \"type\": "
                  "\"slider\", \"value\": 0, \"min\": 0, \"max\": 100, \"step\": 1}\r\n"
                  "    }\r\n"
                  "  }\r\n"
                  "}\r\n";
}

} // namespace wallpaper
