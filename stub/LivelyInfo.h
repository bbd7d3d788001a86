#pragma once

#include <string>

namespace stub {

// A JSON string literal, quotes included; the text is UTF-8 and stays so, only the quote,
// the backslash and control characters are escaped.
std::string JsonString(const std::string& text);

// The description that lets a web-wallpaper player import the installed folder as a web
// wallpaper whose page is wallpaper.html; title in UTF-8.
std::string LivelyInfoJson(const std::string& title);

} // namespace stub
