#include "Png.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "Errors.h"

namespace rtl {

namespace {

const uint8_t Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t Be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

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

void Fail(const std::string& why) {
    throw EReadError("The picture is not a PNG file this program reads: " + why + ".");
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

TPicture DecodePng(const uint8_t* data, size_t size) {
    if (size < sizeof Signature || std::memcmp(data, Signature, sizeof Signature) != 0)
        Fail("it does not start as one");
    size_t at = sizeof Signature;
    TPicture picture;
    int channels = 0;
    std::string idat;
    bool ended = false;
    while (!ended) {
        if (size - at < 12)
            Fail("it is cut off");
        const uint32_t length = Be32(data + at);
        if (length > size - at - 12)
            Fail("it is cut off");
        const uint8_t* type = data + at + 4;
        const uint8_t* body = data + at + 8;
        if (crc32(0, type, length + 4) != Be32(body + length))
            Fail("a chunk's CRC is wrong");
        at += 12 + size_t(length);
        const bool first = channels == 0;
        if (std::memcmp(type, "IHDR", 4) == 0) {
            if (!first || length != 13)
                Fail("its header is damaged");
            const uint32_t width = Be32(body);
            const uint32_t height = Be32(body + 4);
            const uint8_t colour = body[9];
            channels = colour == 0 ? 1 : colour == 2 ? 3 : colour == 4 ? 2 : colour == 6 ? 4 : 0;
            if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
                Fail("its size is damaged");
            if (int64_t(width) * height > MaxPngPixels)
                Fail("it is too large");
            if (body[8] != 8 || channels == 0 || body[10] != 0 || body[11] != 0 || body[12] != 0)
                Fail("it is of a kind other than 8-bit and not interlaced");
            picture.Width = static_cast<int>(width);
            picture.Height = static_cast<int>(height);
        } else if (first) {
            Fail("its header is missing");
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            idat.append(reinterpret_cast<const char*>(body), length);
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            ended = true;
        } else if ((type[0] & 0x20) == 0 && std::memcmp(type, "PLTE", 4) != 0) {
            Fail("it needs a chunk this program does not know");
        }
    }

    const size_t bpp = static_cast<size_t>(channels);
    const size_t stride = static_cast<size_t>(picture.Width) * bpp;
    std::vector<uint8_t> rows(static_cast<size_t>(picture.Height) * (stride + 1));
    uLongf unpacked = static_cast<uLongf>(rows.size());
    uLong taken = static_cast<uLong>(idat.size());
    const int result =
        uncompress2(rows.data(), &unpacked, reinterpret_cast<const Bytef*>(idat.data()), &taken);
    if (result != Z_OK || unpacked != rows.size())
        Fail("its picture data is damaged or cut off");

    std::vector<uint8_t> prior(stride, 0);
    picture.Rgb.resize(static_cast<size_t>(picture.Width) * static_cast<size_t>(picture.Height) *
                       3);
    uint8_t* out = picture.Rgb.data();
    for (int y = 0; y < picture.Height; ++y) {
        uint8_t* row = rows.data() + static_cast<size_t>(y) * (stride + 1);
        const int type = row[0];
        if (type > 4)
            Fail("a row's filter is damaged");
        ++row;
        for (size_t i = 0; i < stride; ++i)
            row[i] = static_cast<uint8_t>(row[i] + Predicted(type, row, prior.data(), i, bpp));
        for (size_t i = 0; i < stride; i += bpp) {
            const int alpha = channels == 2 || channels == 4 ? row[i + bpp - 1] : 255;
            for (int c = 0; c < 3; ++c) {
                const int value = row[i + (channels < 3 ? 0 : size_t(c))];
                *out++ = static_cast<uint8_t>(value * alpha / 255);
            }
        }
        std::memcpy(prior.data(), row, stride);
    }
    return picture;
}

TPicture Shrunk(const TPicture& picture, int maxWidth) {
    if (picture.Width <= maxWidth)
        return picture;
    const int width = maxWidth;
    const int height = std::max(
        1, static_cast<int>((int64_t(picture.Height) * width + picture.Width / 2) / picture.Width));
    TPicture result{width, height, std::vector<uint8_t>(size_t(width) * size_t(height) * 3)};
    for (int y = 0; y < height; ++y) {
        const int64_t y0 = int64_t(y) * picture.Height / height;
        const int64_t y1 = std::max(y0 + 1, int64_t(y + 1) * picture.Height / height);
        for (int x = 0; x < width; ++x) {
            const int64_t x0 = int64_t(x) * picture.Width / width;
            const int64_t x1 = std::max(x0 + 1, int64_t(x + 1) * picture.Width / width);
            uint64_t sum[3] = {};
            for (int64_t sy = y0; sy < y1; ++sy)
                for (int64_t sx = x0; sx < x1; ++sx)
                    for (int c = 0; c < 3; ++c)
                        sum[c] += picture.Rgb[size_t((sy * picture.Width + sx) * 3 + c)];
            const uint64_t count = uint64_t((y1 - y0) * (x1 - x0));
            for (int c = 0; c < 3; ++c)
                result.Rgb[(size_t(y) * size_t(width) + size_t(x)) * 3 + size_t(c)] =
                    static_cast<uint8_t>((sum[c] + count / 2) / count);
        }
    }
    return result;
}

} // namespace rtl
