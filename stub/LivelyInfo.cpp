#include "LivelyInfo.h"

#include <cstdio>

#include "SafeNames.h"

namespace stub {

namespace {

// The player's wallpaper kinds: 1 is a web page.
constexpr int WebWallpaperType = 1;

} // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (b < 32) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", b);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string LivelyInfoJson(const std::string& title) {
    return "{\r\n"
           "  \"AppVersion\": \"1.0.0.0\",\r\n"
           "  \"Title\": " +
           JsonString(title) +
           ",\r\n"
           "  \"Thumbnail\": null,\r\n"
           "  \"Preview\": null,\r\n"
           "  \"Desc\": null,\r\n"
           "  \"Author\": null,\r\n"
           "  \"License\": null,\r\n"
           "  \"Contact\": null,\r\n"
           "  \"Type\": " +
           std::to_string(WebWallpaperType) +
           ",\r\n"
           "  \"FileName\": " +
           JsonString(PageFileName) +
           ",\r\n"
           "  \"Arguments\": null,\r\n"
           "  \"IsAbsolutePath\": false\r\n"
           "}\r\n";
}

} // namespace stub
