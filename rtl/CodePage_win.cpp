#include "CodePage.h"

#include <windows.h>

#include <vector>

#include "Errors.h"

namespace rtl {

namespace {

// A vector rather than a std::wstring, which would bring the library's wide strings into
// every installer.
using TUtf16 = std::vector<wchar_t>;

TUtf16 Wide(const std::string& text, UINT codePage) {
    if (text.empty())
        return {};
    const int n = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(codePage, 0, text.data(), n, nullptr, 0);
    TUtf16 out(static_cast<size_t>(wide));
    MultiByteToWideChar(codePage, 0, text.data(), n, out.data(), wide);
    return out;
}

// UTF-16 in a code page; lossy tells whether a character had no form there.
std::string Narrow(const TUtf16& text, UINT codePage, bool* lossy = nullptr) {
    if (text.empty())
        return {};
    // The UTF code pages take no flags and no default character; they lose nothing.
    const bool utf = codePage == CP_UTF8 || codePage == CP_UTF7;
    const DWORD flags = utf ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* used = utf || lossy == nullptr ? nullptr : &usedDefault;
    const int n = static_cast<int>(text.size());
    const int bytes =
        WideCharToMultiByte(codePage, flags, text.data(), n, nullptr, 0, nullptr, used);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), n, out.data(), bytes, nullptr, used);
    if (lossy != nullptr)
        *lossy = usedDefault != FALSE;
    return out;
}

std::string Recoded(const std::string& text, UINT from, UINT to) {
    return from == to ? text : Narrow(Wide(text, from), to);
}

UINT Native() {
    return GetACP();
}

} // namespace

std::string NativeToUtf8(const std::string& text) {
    return Recoded(text, Native(), CP_UTF8);
}

std::string Utf8ToNative(const std::string& text) {
    return Recoded(text, CP_UTF8, Native());
}

TCodePage::TCodePage(int number) : number_(number) {
    if (number <= 0 || IsValidCodePage(static_cast<UINT>(number)) == 0)
        throw Exception("Code page " + std::to_string(number) +
                        " is not one this system converts to.");
}

TCodePage TCodePage::System() {
    // The process's own code page is UTF-8 through the manifest; the locale keeps the one that
    // the system's 8-bit programs use.
    DWORD number = 0;
    if (GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                       reinterpret_cast<char*>(&number), sizeof number / sizeof(char)) == 0 ||
        number == 0)
        number = 1252;
    return TCodePage(static_cast<int>(number));
}

std::string TCodePage::FromNative(const std::string& text) const {
    const UINT codePage = static_cast<UINT>(number_);
    const TUtf16 wide = Wide(text, Native());
    bool lossy = false;
    std::string out = Narrow(wide, codePage, &lossy);
    if (!lossy)
        return out;
    // Name the first character, a surrogate pair taken whole, that has no form in the code page.
    for (size_t at = 0; at < wide.size();) {
        const size_t length = IS_HIGH_SURROGATE(wide[at]) && at + 1 < wide.size() ? 2 : 1;
        const TUtf16 character(wide.begin() + static_cast<ptrdiff_t>(at),
                               wide.begin() + static_cast<ptrdiff_t>(at + length));
        Narrow(character, codePage, &lossy);
        if (lossy)
            throw ELacksCharacter(text, Narrow(character, Native()), number_);
        at += length;
    }
    return out;
}

std::string TCodePage::ToNative(const std::string& text) const {
    return Recoded(text, static_cast<UINT>(number_), Native());
}

std::string TCodePage::ToUtf8(const std::string& text) const {
    return Recoded(text, static_cast<UINT>(number_), CP_UTF8);
}

} // namespace rtl
