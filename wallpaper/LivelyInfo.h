#pragma once

#include <optional>
#include <string>
#include <vector>

namespace wallpaper {

// A JSON string literal, quotes included; the text is UTF-8 and stays so, only the quote,
// the backslash and control characters are escaped.
std::string JsonString(const std::string& text);

// The string value of key in the top level of a JSON object, in UTF-8, its escapes undone;
// nothing when the text has no such key or its value is not a string.
std::optional<std::string> JsonStringValue(const std::string& json, const std::string& key);
// The text of key's value, of any kind, in the top level of a JSON object; nothing when the
// text is no object or has no such key.
std::optional<std::string> JsonMember(const std::string& json, const std::string& key);
// The texts of the values of a JSON array; empty when the text is no array.
std::vector<std::string> JsonItems(const std::string& json);

// What a web-wallpaper player (Lively Wallpaper) reads of a wallpaper: all text in UTF-8,
// empty for none.
struct TLivelyInfo {
    std::string Title;
    std::string Description; // the website text
    std::string License;     // the licence text
    std::string Contact;     // the website link, when the page makes it a link
};

// The LivelyInfo.json that lets the player import the installed folder as a web wallpaper
// whose page is wallpaper.html, and tell the page when it pauses the wallpaper.
std::string LivelyInfoJson(const TLivelyInfo& info);

// What the player's Customise panel offers of a wallpaper; the page takes the same settings,
// under the same names, with the same defaults.
struct TLivelyProperties {
    // The page's background as "#rrggbb"; empty when the movie keeps its own or the background
    // is transparent, and then not offered.
    std::string Background;
    // Whether the page shows the website text, and so offers to hide it.
    bool HasText = false;
};

// The LivelyProperties.json beside LivelyInfo.json: the background colour, the text, how the
// movie fits the screen, the sound's volume (silent by default) and a button that restores
// the defaults.
std::string LivelyPropertiesJson(const TLivelyProperties& properties);

} // namespace wallpaper
