#include <gtest/gtest.h>

#include <zlib.h>

#include <functional>
#include <string>

#include "rtl/Errors.h"
#include "rtl/Png.h"

namespace {

rtl::TPicture Decoded(const std::string& png) {
    return rtl::DecodePng(reinterpret_cast<const uint8_t*>(png.data()), png.size());
}

// A picture whose every pixel differs, so each filter is tried on real data.
rtl::TPicture Gradient(int width, int height) {
    rtl::TPicture picture{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.Rgb.insert(picture.Rgb.end(),
                               {uint8_t(x * 7), uint8_t(y * 13), uint8_t(x ^ y)});
    return picture;
}

// A chunk with its CRC, as a writer of another kind of PNG makes it.
std::string Chunk(const std::string& type, const std::string& data) {
    std::string body = type + data;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()));
    std::string out;
    for (const uint32_t v : {uint32_t(data.size())})
        out += {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    out += body;
    out += {char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)};
    return out;
}

} // namespace

TEST(Png, EncodedPicturesDecodeToTheSamePixels) {
    for (const rtl::TPicture& picture : {Gradient(37, 11), rtl::SolidPicture(480, 270, 1, 2, 3)}) {
        const std::string png = rtl::EncodePng(picture);
        const rtl::TPicture back = Decoded(png);
        EXPECT_EQ(back.Width, picture.Width);
        EXPECT_EQ(back.Height, picture.Height);
        EXPECT_EQ(back.Rgb, picture.Rgb);
        EXPECT_EQ(rtl::EncodePng(picture), png) << "the same bytes every time";
    }
    EXPECT_LT(rtl::EncodePng(rtl::SolidPicture(480, 270, 1, 2, 3)).size(), 1024u);
}

TEST(Png, RgbaIsLaidOverBlack) {
    // Two pixels, 8-bit RGBA: opaque white, half-transparent white.
    std::string rows("\0\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x80", 9);
    std::string packed(64, '\0');
    uLongf packedSize = packed.size();
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
             reinterpret_cast<const Bytef*>(rows.data()), rows.size());
    packed.resize(packedSize);
    const std::string png = std::string("\x89PNG\r\n\x1A\n", 8) +
                            Chunk("IHDR", std::string("\0\0\0\2\0\0\0\1\x08\x06\0\0\0", 13)) +
                            Chunk("IDAT", packed) + Chunk("IEND", "");
    EXPECT_EQ(Decoded(png).Rgb, (std::vector<uint8_t>{255, 255, 255, 128, 128, 128}));
}

TEST(PngCorruption, EachDamageIsAClearError) {
    const std::string good = rtl::EncodePng(Gradient(20, 10));
    const std::string header = good.substr(0, 8 + 25);
    const struct {
        const char* name;
        std::function<std::string()> make;
        const char* why;
    } cases[] = {
        {"not a PNG", [] { return std::string("GIF89a"); }, "it does not start as one"},
        {"cut off in a chunk", [&] { return good.substr(0, good.size() - 20); }, "it is cut off"},
        {"no end chunk", [&] { return good.substr(0, good.size() - 12); }, "it is cut off"},
        {"a flipped bit",
         [&] {
             std::string b = good;
             b[50] ^= 1;
             return b;
         },
         "CRC is wrong"},
        {"interlaced",
         [&] {
             return good.substr(0, 8) +
                    Chunk("IHDR", std::string("\0\0\0\x14\0\0\0\x0A\x08\x02\0\0\1", 13)) +
                    good.substr(8 + 25);
         },
         "other than 8-bit and not interlaced"},
        {"too large",
         [&] {
             return good.substr(0, 8) +
                    Chunk("IHDR", std::string("\0\x01\0\0\0\x01\0\0\x08\x02\0\0\0", 13));
         },
         "too large"},
        {"data ends early", [&] { return header + Chunk("IDAT", "\x78\xDA") + Chunk("IEND", ""); },
         "damaged or cut off"},
        {"an unknown critical chunk", [&] { return header + Chunk("ZZZZ", "") + good.substr(33); },
         "needs a chunk"},
    };
    for (const auto& c : cases) {
        try {
            Decoded(c.make());
            ADD_FAILURE() << c.name << ": decoded";
        } catch (const rtl::EReadError& error) {
            EXPECT_NE(error.Message.find(c.why), std::string::npos)
                << c.name << ": " << error.Message;
        }
    }
}

TEST(Png, ShrunkAveragesTheCoveredPixelsAndKeepsTheAspect) {
    rtl::TPicture stripes{4, 2, {}};
    for (int i = 0; i < 8; ++i) {
        const uint8_t v = i % 2 ? 200 : 100;
        stripes.Rgb.insert(stripes.Rgb.end(), {v, v, v});
    }
    const rtl::TPicture half = rtl::Shrunk(stripes, 2);
    EXPECT_EQ(half.Width, 2);
    EXPECT_EQ(half.Height, 1);
    EXPECT_EQ(half.Rgb, (std::vector<uint8_t>{150, 150, 150, 150, 150, 150}));
    EXPECT_EQ(rtl::Shrunk(stripes, 10).Width, 4) << "no wider: as it is";
}
