#include "CodePage.h"

#include "Errors.h"

namespace rtl {

namespace {

const std::string ByteOrderMark = "\xEF\xBB\xBF";

} // namespace

std::string TCodePage::FromNativePath(const std::string& path) const {
    try {
        return FromNative(path);
    } catch (const ELacksCharacter&) {
        return ByteOrderMark + NativeToUtf8(path);
    }
}

std::string TCodePage::ToNativePath(const std::string& stored) const {
    if (stored.compare(0, ByteOrderMark.size(), ByteOrderMark) == 0)
        return Utf8ToNative(stored.substr(ByteOrderMark.size()));
    return ToNative(stored);
}

ELacksCharacter::ELacksCharacter(const std::string& text, std::string character, int codePage)
    : Exception("\"" + text + "\" holds \"" + character + "\", which code page " +
                std::to_string(codePage) + " lacks."),
      Character(std::move(character)) {}

} // namespace rtl
