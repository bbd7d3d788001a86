#include "CodePages.h"

#include <windows.h>

namespace sys {

namespace {

// Text from one code page into another, through UTF-16.
std::string Recoded(const std::string& text, UINT from, UINT to) {
    if (text.empty())
        return text;
    const int wide =
        MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring utf16(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), &utf16[0], wide);
    const int bytes = WideCharToMultiByte(to, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(to, 0, utf16.data(), wide, &out[0], bytes, nullptr, nullptr);
    return out;
}

} // namespace

std::string AnsiToUtf8(const std::string& text) {
    return Recoded(text, CP_ACP, CP_UTF8);
}

std::string ToUtf8(const std::string& text, unsigned codePage) {
    return Recoded(text, codePage, CP_UTF8);
}

std::string Utf8ToAnsi(const std::string& text) {
    return Recoded(text, CP_UTF8, CP_ACP);
}

} // namespace sys
