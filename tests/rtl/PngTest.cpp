#include <gtest/gtest.h>

#include <string>

#include "../PngReader.h"
#include "rtl/Png.h"

namespace {

// A picture whose every pixel differs, so each filter is tried on real data.
rtl::TPicture Gradient(int width, int height) {
    rtl::TPicture picture{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.Rgb.insert(picture.Rgb.end(),
                               {uint8_t(x * 7), uint8_t(y * 13), uint8_t(x ^ y)});
    return picture;
}

} // namespace

TEST(Png, EncodedPicturesDecodeToTheSamePixels) {
    for (const rtl::TPicture& picture : {Gradient(37, 11), rtl::SolidPicture(480, 270, 1, 2, 3)}) {
        const std::string png = rtl::EncodePng(picture);
        const rtl::TPicture back = testfiles::DecodePng(png);
        EXPECT_EQ(back.Width, picture.Width);
        EXPECT_EQ(back.Height, picture.Height);
        EXPECT_EQ(back.Rgb, picture.Rgb);
        EXPECT_EQ(rtl::EncodePng(picture), png) << "the same bytes every time";
    }
    EXPECT_LT(rtl::EncodePng(rtl::SolidPicture(480, 270, 1, 2, 3)).size(), 1024u);
}
