#include <gtest/gtest.h>

#include <cstring>

#include "rtl/Bytes.h"

namespace {

TEST(Bytes, LoadsAndStoresPutTheLowByteFirstWithEveryBitKept) {
    const uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0xFF, 0x80, 0x00, 0xFE};
    const struct {
        size_t at;
        uint16_t le16;
        uint32_t le32;
    } cases[] = {
        {0, 0x0201, 0x04030201},
        {3, 0xFF04, 0x0080FF04},
        {4, 0x80FF, 0xFE0080FF},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rtl::LoadLe16(bytes + c.at), c.le16) << c.at;
        EXPECT_EQ(rtl::LoadLe32(bytes + c.at), c.le32) << c.at;
        uint8_t stored[4];
        rtl::StoreLe32(stored, c.le32);
        EXPECT_EQ(0, std::memcmp(stored, bytes + c.at, 4)) << c.at;
    }
}

} // namespace
