#include "DataScript.h"

#include <algorithm>

#include "LivelyInfo.h"

namespace wallpaper {

namespace {

const char* const Tail = "*/});\n";
const char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
// Encoded text is handed on in pieces of this size.
constexpr size_t Piece = 65536;

// Four characters for count (1 to 3) bytes, padded with "=".
char* Encode(const uint8_t* in, size_t count, char* out) {
    const uint32_t bits = static_cast<uint32_t>(in[0]) << 16 |
                          (count > 1 ? static_cast<uint32_t>(in[1]) << 8 : 0) |
                          (count > 2 ? in[2] : 0);
    out[0] = Alphabet[bits >> 18 & 63];
    out[1] = Alphabet[bits >> 12 & 63];
    out[2] = count > 1 ? Alphabet[bits >> 6 & 63] : '=';
    out[3] = count > 2 ? Alphabet[bits & 63] : '=';
    return out + 4;
}

} // namespace

TDataScript::TDataScript(const std::string& url, const std::string& type, bool gzip)
    : head_("MuravelData(" + JsonString(url) + ", " + JsonString(type) + ", " +
            (gzip ? "true" : "false") + ", function () {/*"),
      buffer_(new char[Piece]) {}

int64_t TDataScript::Size(int64_t contentSize) const {
    return static_cast<int64_t>(head_.size()) + (contentSize + 2) / 3 * 4 +
           static_cast<int64_t>(std::char_traits<char>::length(Tail));
}

void TDataScript::Begin(const TTextSink& sink) {
    sink_ = sink;
    carried_ = 0;
    used_ = 0;
    sink_(head_.data(), head_.size());
}

void TDataScript::Write(const uint8_t* data, size_t size) {
    while (size > 0 && carried_ > 0 && carried_ < 3) {
        carry_[carried_++] = *data++;
        --size;
    }
    if (carried_ == 3) {
        Room(4);
        Encode(carry_, 3, buffer_.get() + used_);
        used_ += 4;
        carried_ = 0;
    }
    // Whole groups straight into the buffer, as many as it has room for at a time.
    while (size >= 3) {
        Room(4);
        const size_t groups = std::min(size / 3, (Piece - used_) / 4);
        char* out = buffer_.get() + used_;
        // Written out rather than through Encode: this loop carries the whole movie.
        for (size_t i = 0; i < groups; ++i, data += 3, out += 4) {
            const uint32_t bits = static_cast<uint32_t>(data[0]) << 16 |
                                  static_cast<uint32_t>(data[1]) << 8 | data[2];
            out[0] = Alphabet[bits >> 18];
            out[1] = Alphabet[bits >> 12 & 63];
            out[2] = Alphabet[bits >> 6 & 63];
            out[3] = Alphabet[bits & 63];
        }
        used_ += groups * 4;
        size -= groups * 3;
    }
    while (size > 0) {
        carry_[carried_++] = *data++;
        --size;
    }
}

void TDataScript::Finish() {
    const size_t tail = std::char_traits<char>::length(Tail);
    Room(4 + tail);
    if (carried_ > 0)
        used_ =
            static_cast<size_t>(Encode(carry_, carried_, buffer_.get() + used_) - buffer_.get());
    carried_ = 0;
    std::char_traits<char>::copy(buffer_.get() + used_, Tail, tail);
    used_ += tail;
    Flush();
}

void TDataScript::Room(size_t count) {
    if (used_ + count > Piece)
        Flush();
}

void TDataScript::Flush() {
    sink_(buffer_.get(), used_);
    used_ = 0;
}

} // namespace wallpaper
