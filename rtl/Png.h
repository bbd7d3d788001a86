#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rtl {

// An opaque picture: Rgb holds Height rows of Width pixels, top row first, three bytes each.
struct TPicture {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Rgb;
};

// A picture of width by height pixels in one colour, r, g and b from 0 to 255.
TPicture SolidPicture(int width, int height, uint8_t r, uint8_t g, uint8_t b);

// The picture as a PNG file: 8-bit RGB, each row under the filter that suits it best, one
// zlib stream of level 9. The same picture always gives the same bytes.
std::string EncodePng(const TPicture& picture);

} // namespace rtl
