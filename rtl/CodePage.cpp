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

std::string TCodePage::Held(const std::string& text, std::vector<std::string>& lacking) const {
    std::string held = text;
    for (;;) {
        try {
            FromNative(held);
            return held;
        } catch (const ELacksCharacter& refusal) {
            // Every occurrence of a character the code page lacks goes at once.
            const size_t first = held.find(refusal.Character);
            if (refusal.Character.empty() || first == std::string::npos)
                throw;
            lacking.push_back(refusal.Character);
            for (size_t at = first; at != std::string::npos; at = held.find(refusal.Character, at))
                held.erase(at, refusal.Character.size());
        }
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
      Text(text), Character(std::move(character)) {}

} // namespace rtl
