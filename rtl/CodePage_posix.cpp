#include "CodePage.h"

#include <iconv.h>

#include "Errors.h"

namespace rtl {

namespace {

std::string Name(int number) {
    return "CP" + std::to_string(number);
}

// Converts all of text, or stops at the first character the target lacks and returns its
// offset there.
size_t Convert(iconv_t converter, const std::string& text, std::string& out) {
    std::string input = text;
    char* in = input.data();
    size_t inLeft = input.size();
    out.assign(text.size() * 4 + 4, '\0');
    char* next = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(converter, &in, &inLeft, &next, &outLeft) == static_cast<size_t>(-1)) {
            out.resize(out.size() - outLeft);
            return static_cast<size_t>(in - input.data());
        }
    }
    out.resize(out.size() - outLeft);
    return std::string::npos;
}

// The length of the well-formed UTF-8 character at text[at], or 0.
size_t Utf8Length(const std::string& text, size_t at) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const size_t length = lead < 0x80    ? 1
                          : lead >= 0xF5 ? 0
                          : lead >= 0xF0 ? 4
                          : lead >= 0xE0 ? 3
                          : lead >= 0xC2 ? 2
                                         : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80)
            return 0;
    return length;
}

class TConverter {
public:
    TConverter(const std::string& to, const std::string& from)
        : converter_(iconv_open(to.c_str(), from.c_str())) {}
    ~TConverter() {
        if (Valid())
            iconv_close(converter_);
    }
    TConverter(const TConverter&) = delete;
    TConverter& operator=(const TConverter&) = delete;
    bool Valid() const { return converter_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return converter_; }

private:
    iconv_t converter_;
};

} // namespace

// Elsewhere the program's own text is UTF-8 always.
std::string NativeToUtf8(const std::string& text) {
    return text;
}

std::string Utf8ToNative(const std::string& text) {
    return text;
}

TCodePage TCodePage::System() {
    return TCodePage(1252);
}

TCodePage::TCodePage(int number) : number_(number) {
    if (!TConverter(Name(number), "UTF-8").Valid())
        throw Exception("Code page " + std::to_string(number) +
                        " is not one this system "
                        "converts to.");
}

std::string TCodePage::FromNative(const std::string& text) const {
    const TConverter converter(Name(number_), "UTF-8");
    std::string out;
    const size_t stop = Convert(converter.Get(), text, out);
    if (stop == std::string::npos)
        return out;
    const size_t length = Utf8Length(text, stop);
    if (length == 0)
        throw Exception("\"" + text + "\" is not UTF-8 text.");
    throw ELacksCharacter(text, text.substr(stop, length), number_);
}

std::string TCodePage::ToNative(const std::string& text) const {
    const TConverter converter("UTF-8", Name(number_));
    std::string result;
    for (size_t at = 0; at < text.size();) {
        std::string out;
        const size_t stop = Convert(converter.Get(), text.substr(at), out);
        result += out;
        if (stop == std::string::npos)
            break;
        result += '?';
        at += stop + 1;
    }
    return result;
}

std::string TCodePage::ToUtf8(const std::string& text) const {
    return ToNative(text);
}

} // namespace rtl
