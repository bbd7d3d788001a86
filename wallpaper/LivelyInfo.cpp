#include "LivelyInfo.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "SafeNames.h"
#include "core/ProductVersion.h"

namespace wallpaper {

namespace {

// The player's wallpaper kinds: 1 is a web page.
constexpr int WebWallpaperType = 1;

std::string OrNull(const std::string& text) {
    return text.empty() ? "null" : JsonString(text);
}

void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The JSON string starting at json[at] (its opening quote), escapes undone; at moves past it.
std::optional<std::string> ReadString(const std::string& json, size_t& at) {
    if (at >= json.size() || json[at] != '"')
        return std::nullopt;
    std::string out;
    for (++at; at < json.size(); ++at) {
        const char c = json[at];
        if (c == '"') {
            ++at;
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++at >= json.size())
            return std::nullopt;
        const char e = json[at];
        const char* simple = "\"\\/bfnrt";
        const char* meant = "\"\\/\b\f\n\r\t";
        if (const char* p = std::strchr(simple, e); p != nullptr && e != '\0') {
            out += meant[p - simple];
        } else if (e == 'u' && at + 4 < json.size()) {
            unsigned code = 0;
            for (int i = 1; i <= 4; ++i) {
                const char h = json[at + static_cast<size_t>(i)];
                const int digit = h >= '0' && h <= '9'   ? h - '0'
                                  : h >= 'a' && h <= 'f' ? h - 'a' + 10
                                  : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                                         : -1;
                if (digit < 0)
                    return std::nullopt;
                code = code * 16 + static_cast<unsigned>(digit);
            }
            at += 4;
            AppendUtf8(out, code);
        } else {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

void SkipBlanks(const std::string& json, size_t& at) {
    while (at < json.size() &&
           (json[at] == ' ' || json[at] == '\t' || json[at] == '\r' || json[at] == '\n'))
        ++at;
}

// Steps over one JSON value of any kind starting at json[at]; false when it is not one.
bool SkipValue(const std::string& json, size_t& at) {
    SkipBlanks(json, at);
    if (at >= json.size())
        return false;
    if (json[at] == '"')
        return ReadString(json, at).has_value();
    if (json[at] == '{' || json[at] == '[') {
        int depth = 0;
        while (at < json.size()) {
            const char c = json[at];
            if (c == '"') {
                if (!ReadString(json, at))
                    return false;
                continue;
            }
            depth += c == '{' || c == '[' ? 1 : c == '}' || c == ']' ? -1 : 0;
            ++at;
            if (depth == 0)
                return true;
        }
        return false;
    }
    // A number, true, false or null: up to what ends it.
    const size_t start = at;
    while (at < json.size() && std::strchr(",}] \t\r\n", json[at]) == nullptr)
        ++at;
    return at > start;
}

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

std::optional<std::string> JsonMember(const std::string& json, const std::string& key) {
    size_t at = 0;
    SkipBlanks(json, at);
    if (at >= json.size() || json[at] != '{')
        return std::nullopt;
    ++at;
    for (;;) {
        SkipBlanks(json, at);
        const std::optional<std::string> name = ReadString(json, at);
        if (!name)
            return std::nullopt;
        SkipBlanks(json, at);
        if (at >= json.size() || json[at] != ':')
            return std::nullopt;
        ++at;
        SkipBlanks(json, at);
        const size_t start = at;
        if (!SkipValue(json, at))
            return std::nullopt;
        if (*name == key)
            return json.substr(start, at - start);
        SkipBlanks(json, at);
        if (at >= json.size() || json[at] != ',')
            return std::nullopt;
        ++at;
    }
}

std::optional<std::string> JsonStringValue(const std::string& json, const std::string& key) {
    const std::optional<std::string> value = JsonMember(json, key);
    size_t at = 0;
    return value ? ReadString(*value, at) : std::nullopt;
}

std::vector<std::string> JsonItems(const std::string& json) {
    std::vector<std::string> items;
    size_t at = 0;
    SkipBlanks(json, at);
    if (at >= json.size() || json[at] != '[')
        return items;
    ++at;
    SkipBlanks(json, at);
    if (at < json.size() && json[at] == ']')
        return items;
    for (;;) {
        SkipBlanks(json, at);
        const size_t start = at;
        if (!SkipValue(json, at))
            return {};
        items.push_back(json.substr(start, at - start));
        SkipBlanks(json, at);
        if (at < json.size() && json[at] == ']')
            return items;
        if (at >= json.size() || json[at] != ',')
            return {};
        ++at;
    }
}

std::string LivelyInfoJson(const TLivelyInfo& info) {
    return "{\r\n"
           "  \"AppVersion\": " +
           JsonString(MURAVEL_VERSION_TEXT) +
           ",\r\n"
           "  \"Title\": " +
           JsonString(info.Title) +
           ",\r\n"
           "  \"Thumbnail\": " +
           JsonString(PreviewFileName) +
           ",\r\n"
           "  \"Preview\": null,\r\n"
           "  \"Desc\": " +
           OrNull(info.Description) +
           ",\r\n"
           "  \"Author\": null,\r\n"
           "  \"License\": " +
           OrNull(info.License) +
           ",\r\n"
           "  \"Contact\": " +
           OrNull(info.Contact) +
           ",\r\n"
           "  \"Type\": " +
           std::to_string(WebWallpaperType) +
           ",\r\n"
           "  \"FileName\": " +
           JsonString(PageFileName) +
           ",\r\n"
           "  \"Arguments\": \"--pause-event true\",\r\n"
           "  \"IsAbsolutePath\": false\r\n"
           "}\r\n";
}

std::string LivelyPropertiesJson(const TLivelyProperties& properties) {
    std::string json = "{\r\n";
    if (!properties.Background.empty()) {
        std::string colour = properties.Background;
        for (char& c : colour)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        json += "  \"background\": {\"type\": \"color\", \"value\": " + JsonString(colour) +
                ", \"text\": \"Background colour\"},\r\n";
    }
    if (properties.HasText)
        json += "  \"showText\": {\"type\": \"checkbox\", \"value\": true, "
                "\"text\": \"Show text and website link\"},\r\n";
    return json + "  \"fit\": {\"type\": \"dropdown\", \"value\": 0, \"text\": \"Fit\", "
                  "\"items\": [\"Whole movie\", \"Fill the screen\", \"Stretch\"]},\r\n"
                  "  \"volume\": {\"type\": \"slider\", \"value\": 0, \"text\": \"Sound volume\", "
                  "\"min\": 0, \"max\": 100, \"step\": 1},\r\n"
                  "  \"restoreDefaults\": {\"type\": \"button\", \"value\": \"Restore defaults\", "
                  "\"text\": \"Settings\"}\r\n"
                  "}\r\n";
}

} // namespace wallpaper
