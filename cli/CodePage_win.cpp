#include "CodePage.h"

#include "system/CodePages.h"

namespace cli {

// The ANSI functions hand the tool its text in the system code page, as projects hold it.
TCodePage::TCodePage(int number) : number_(number) {}

std::string TCodePage::FromNative(const std::string& text) const {
    return text;
}

std::string TCodePage::ToNative(const std::string& text) const {
    return text;
}

std::string TCodePage::ToUtf8(const std::string& text) const {
    return sys::ToUtf8(text, static_cast<unsigned>(number_));
}

} // namespace cli
