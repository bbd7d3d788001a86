#include "Png.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>

#include "Errors.h"

namespace rtl {

namespace {

const uint8_t Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

void PutBe32(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutBe32(out, static_cast<uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    out += body;
    PutBe32(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                             static_cast<uInt>(body.size()))));
}

int Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Filter type's predictor of the byte at i of a row, bpp bytes a pixel, prior the row above
// (zeros for the first).
int Predicted(int type, const uint8_t* row, const uint8_t* prior, size_t i, size_t bpp) {
    const int a = i >= bpp ? row[i - bpp] : 0;
    const int b = prior[i];
    const int c = i >= bpp ? prior[i - bpp] : 0;
    switch (type) {
    case 1:
        return a;
    case 2:
        return b;
    case 3:
        return (a + b) / 2;
    case 4:
        return Paeth(a, b, c);
    default:
        return 0;
    }
}

} // namespace

TPicture SolidPicture(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
    TPicture picture{width, height, {}};
    picture.Rgb.reserve(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (int64_t i = 0; i < int64_t(width) * height; ++i)
        picture.Rgb.insert(picture.Rgb.end(), {r, g, b});
    return picture;
}

std::string EncodePng(const TPicture& picture) {
    const size_t stride = static_cast<size_t>(picture.Width) * 3;
    std::vector<uint8_t> zeros(stride, 0);
    std::string rows;
    rows.reserve(static_cast<size_t>(picture.Height) * (stride + 1));
    std::vector<uint8_t> best(stride + 1);
    std::vector<uint8_t> trial(stride + 1);
    for (int y = 0; y < picture.Height; ++y) {
        const uint8_t* row = picture.Rgb.data() + static_cast<size_t>(y) * stride;
        const uint8_t* prior = y == 0 ? zeros.data() : row - stride;
        // The filter whose output has the smallest sum of magnitudes, the usual guess at what
        // deflates best.
        long bestScore = -1;
        for (int type = 0; type <= 4; ++type) {
            trial[0] = static_cast<uint8_t>(type);
            long score = 0;
            for (size_t i = 0; i < stride; ++i) {
                const auto value = static_cast<uint8_t>(row[i] - Predicted(type, row, prior, i, 3));
                trial[i + 1] = value;
                score += value < 128 ? value : 256 - value;
            }
            if (bestScore < 0 || score < bestScore) {
                bestScore = score;
                best.swap(trial);
            }
        }
        rows.append(best.begin(), best.end());
    }
    // zlib's one-shot calls, not the stream classes: the wallpaper host carries this code and
    // nothing of those.
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef*>(rows.data()), static_cast<uLong>(rows.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        throw Exception("The picture cannot be compressed: out of memory.");
    packed.resize(packedSize);

    std::string header;
    PutBe32(header, static_cast<uint32_t>(picture.Width));
    PutBe32(header, static_cast<uint32_t>(picture.Height));
    header += std::string("\x08\x02\x00\x00\x00", 5); // 8-bit RGB, deflate, no interlace
    std::string out(reinterpret_cast<const char*>(Signature), sizeof Signature);
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", "");
    return out;
}

} // namespace rtl
