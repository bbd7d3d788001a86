#pragma once

#include <optional>
#include <string>

namespace stub {

// A JSON string literal, quotes included; the text is UTF-8 and stays so, only the quote,
// the backslash and control characters are escaped.
std::string JsonString(const std::string& text);

// The string value of key in the top level of a JSON object, in UTF-8, its escapes undone;
// nothing when the text has no such key or its value is not a string.
std::optional<std::string> JsonStringValue(const std::string& json, const std::string& key);

// What a web-wallpaper player (Lively Wallpaper) reads of a wallpaper: all text in UTF-8,
// empty for none.
struct TLivelyInfo {
    std::string Title;
    std::string Description; // the website text
    std::string License;     // the licence text
    std::string Contact;     // the website link, when the page makes it a link
};

// The LivelyInfo.json that lets the player import the installed folder as a web wallpaper
// whose page is wallpaper.html.
std::string LivelyInfoJson(const TLivelyInfo& info);

} // namespace stub
