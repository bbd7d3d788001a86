#include "DataScript.h"

#include "LivelyInfo.h"

namespace wallpaper {

namespace {

const char* const Tail = "*/});\n";
const char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
// Encoded text is handed on in pieces of about this size.
constexpr size_t Piece = 65536;

void Encode(const uint8_t* in, size_t count, std::string& out) {
    const uint32_t bits = static_cast<uint32_t>(in[0]) << 16 |
                          (count > 1 ? static_cast<uint32_t>(in[1]) << 8 : 0) |
                          (count > 2 ? in[2] : 0);
    out += Alphabet[bits >> 18 & 63];
    out += Alphabet[bits >> 12 & 63];
    out += count > 1 ? Alphabet[bits >> 6 & 63] : '=';
    out += count > 2 ? Alphabet[bits & 63] : '=';
}

} // namespace

TDataScript::TDataScript(const std::string& url, const std::string& type, bool gzip)
    : head_("MuravelData(" + JsonString(url) + ", " + JsonString(type) + ", " +
            (gzip ? "true" : "false") + ", function () {/*") {}

int64_t TDataScript::Size(int64_t contentSize) const {
    return static_cast<int64_t>(head_.size()) + (contentSize + 2) / 3 * 4 +
           static_cast<int64_t>(std::char_traits<char>::length(Tail));
}

void TDataScript::Begin(const TTextSink& sink) {
    sink_ = sink;
    carried_ = 0;
    out_ = head_;
}

void TDataScript::Write(const uint8_t* data, size_t size) {
    while (size > 0 && carried_ > 0 && carried_ < 3) {
        carry_[carried_++] = *data++;
        --size;
    }
    if (carried_ == 3) {
        Encode(carry_, 3, out_);
        carried_ = 0;
    }
    for (; size >= 3; data += 3, size -= 3) {
        Encode(data, 3, out_);
        if (out_.size() >= Piece)
            Flush();
    }
    while (size > 0) {
        carry_[carried_++] = *data++;
        --size;
    }
}

void TDataScript::Finish() {
    if (carried_ > 0)
        Encode(carry_, carried_, out_);
    carried_ = 0;
    out_ += Tail;
    Flush();
}

void TDataScript::Flush() {
    sink_(out_.data(), out_.size());
    out_.clear();
}

} // namespace wallpaper
