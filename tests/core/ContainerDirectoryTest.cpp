#include <gtest/gtest.h>

#include "core/ContainerDirectory.h"
#include "stub/StubTestSupport.h"

using stubtest::Bytes;
using stubtest::FakePe;
using stubtest::PutLe32;
using stubtest::Size;

TEST(ContainerDirectory, ReadsInPlaceFromAnyAddress) {
    const std::string container = "xx" + stubtest::Container({"raw entry", "packed entry"});
    const core::TContainerDirectory directory(Bytes(container) + 2, Size(container) - 2);
    ASSERT_EQ(directory.Count(), 2);
    EXPECT_EQ(directory.Entry(0).Offset, 0);
    EXPECT_EQ(directory.Entry(0).SourceSize, 9);
    EXPECT_EQ(directory.Entry(1).Offset, 9);
    EXPECT_EQ(directory.Entry(1).SourceSize, 12);
    EXPECT_THROW(directory.Entry(2), rtl::EStringListError);
}

TEST(ContainerDirectory, ContainerEndSkipsTheAlignmentPaddingBeforeTheTable) {
    const std::string stubBytes = FakePe(true, 0, 0, 512);
    const std::string container = stubtest::Container({stubBytes, "settings", "movie"});
    for (size_t padding = 0; padding <= 7; ++padding) {
        std::string file = container + std::string(padding, '\0');
        const std::string table =
            testfiles::Le32(16) + std::string("\x00\x02\x02\x00", 4) + std::string(8, 'c');
        const size_t entry = stubtest::SecurityEntryAt(file);
        PutLe32(file, entry, static_cast<uint32_t>(file.size()));
        PutLe32(file, entry + 4, static_cast<uint32_t>(table.size()));
        file += table;
        EXPECT_EQ(core::TContainerDirectory::ContainerEnd(Bytes(file), Size(file)), Size(container))
            << "padding " << padding;
    }
}

TEST(ContainerDirectory, SignedLikeASigningToolLeavesTheContainerIntact) {
    const std::string container =
        stubtest::Container({FakePe(false, 0, 0, 700), "settings", "a movie of odd length"});
    const std::string file = stubtest::Signed(container, std::string(300, 's'));
    EXPECT_EQ(core::TContainerDirectory::ContainerEnd(Bytes(file), Size(file)), Size(container));
}
