// The LZMA decoder behind LZMA-compressed movies: the five property bytes, then the data. Read
// whole in one size of piece and in another, it must end the same way, and give the same bytes.
#include "FuzzSupport.h"
#include "rtl/Errors.h"
#include "rtl/Lzma.h"

namespace {

// What decoding gives, up to 256 KiB (a few bytes of data may ask for far more), and how it
// ended: 0 whole, 1 cut off, 2 damaged, 3 cut short here.
std::string Decode(const uint8_t* data, size_t size, int64_t piece, int& end) {
    std::string out;
    end = 0;
    try {
        rtl::TLzmaDecompressionStream lzma(data + 5, static_cast<int64_t>(size) - 5, data, -1);
        std::string buffer(static_cast<size_t>(piece), '\0');
        for (int64_t n; (n = lzma.Read(buffer.data(), piece)) > 0;) {
            out.append(buffer.data(), static_cast<size_t>(n));
            if (out.size() >= (size_t(1) << 18)) {
                end = 3;
                return out.substr(0, size_t(1) << 18);
            }
        }
        lzma.CheckEnd();
    } catch (const rtl::EReadError&) {
        end = 1;
    } catch (const rtl::ECompressionError&) {
        end = 2;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5)
        return 0;
    int wholeEnd = 0;
    int piecesEnd = 0;
    const std::string whole = Decode(data, size, 1 << 16, wholeEnd);
    const std::string pieces = Decode(data, size, 3, piecesEnd);
    // A read that meets damage gives nothing of what it decoded, so only whole and cut-off data
    // must give the same bytes.
    fuzz::Require(wholeEnd == 3 || piecesEnd == 3 ||
                      (wholeEnd == piecesEnd && (wholeEnd == 2 || whole == pieces)),
                  "the same bytes and end in any size of piece");
    return 0;
}
