#pragma once

#include <string>

namespace sys {

// Text in the system code page, as the A functions and the project hold it, in UTF-8, as web
// pages and JSON need it, and back.
std::string AnsiToUtf8(const std::string& text);
std::string Utf8ToAnsi(const std::string& text);
// Text in the Windows code page of that number in UTF-8.
std::string ToUtf8(const std::string& text, unsigned codePage);

} // namespace sys
