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

// The picture a PNG file holds, of the kinds web browsers write: 8-bit grey, RGB, grey with
// alpha or RGBA, not interlaced; alpha is laid over black. Every chunk's length and CRC are
// checked, and a picture of more than MaxPngPixels is refused before anything is unpacked:
// a damaged, cut-off or other file raises EReadError saying what is wrong with it.
TPicture DecodePng(const uint8_t* data, size_t size);
constexpr int64_t MaxPngPixels = int64_t(1) << 25;

// The picture made at most maxWidth pixels wide, its aspect kept, each pixel the average of
// the ones it covers; a picture no wider comes back as it is.
TPicture Shrunk(const TPicture& picture, int maxWidth);

} // namespace rtl
