#pragma once

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "rtl/Png.h"

namespace testfiles {

// Reads back the 8-bit RGB or RGBA PNG files that this system and the imaging component write,
// not interlaced, alpha dropped; anything else fails the test with an exception.
inline rtl::TPicture DecodePng(const std::string& png) {
    const auto be32 = [&](size_t at) {
        const auto* p = reinterpret_cast<const uint8_t*>(png.data()) + at;
        return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
    };
    if (png.compare(0, 8, "\x89PNG\r\n\x1A\n") != 0)
        throw std::runtime_error("not a PNG");
    rtl::TPicture picture;
    size_t channels = 0;
    std::string idat;
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = be32(at);
        const std::string type = png.substr(at + 4, 4);
        if (type == "IHDR") {
            picture.Width = static_cast<int>(be32(at + 8));
            picture.Height = static_cast<int>(be32(at + 12));
            const auto colour = static_cast<uint8_t>(png[at + 17]);
            channels = colour == 2 ? 3 : colour == 6 ? 4 : 0;
            if (png[at + 16] != 8 || channels == 0 || png[at + 20] != 0)
                throw std::runtime_error("a PNG of another kind");
        } else if (type == "IDAT") {
            idat += png.substr(at + 8, length);
        }
        at += 12 + size_t(length);
    }
    const size_t stride = size_t(picture.Width) * channels;
    std::string rows(size_t(picture.Height) * (stride + 1), '\0');
    uLongf size = static_cast<uLongf>(rows.size());
    if (uncompress(reinterpret_cast<Bytef*>(rows.data()), &size,
                   reinterpret_cast<const Bytef*>(idat.data()), uLong(idat.size())) != Z_OK ||
        size != rows.size())
        throw std::runtime_error("PNG data that does not unpack");
    std::string prior(stride, '\0');
    for (int y = 0; y < picture.Height; ++y) {
        auto* row = reinterpret_cast<uint8_t*>(&rows[size_t(y) * (stride + 1)]);
        const int filter = *row++;
        const auto* up = reinterpret_cast<const uint8_t*>(prior.data());
        for (size_t i = 0; i < stride; ++i) {
            const int a = i >= channels ? row[i - channels] : 0;
            const int b = up[i];
            const int c = i >= channels ? up[i - channels] : 0;
            const int p = a + b - c;
            const int paeth =
                std::abs(p - a) <= std::abs(p - b) && std::abs(p - a) <= std::abs(p - c) ? a
                : std::abs(p - b) <= std::abs(p - c)                                     ? b
                                                                                         : c;
            const int predicted[] = {0, a, b, (a + b) / 2, paeth};
            row[i] = static_cast<uint8_t>(row[i] + predicted[filter]);
        }
        for (size_t i = 0; i < stride; i += channels)
            picture.Rgb.insert(picture.Rgb.end(), {row[i], row[i + 1], row[i + 2]});
        prior.assign(reinterpret_cast<const char*>(row), stride);
    }
    return picture;
}

} // namespace testfiles
