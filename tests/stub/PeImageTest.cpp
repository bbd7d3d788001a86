#include <gtest/gtest.h>

#include "StubTestSupport.h"
#include "stub/PeImage.h"

using stubtest::FakePe;
using stubtest::PutLe32;

namespace {

const uint8_t* Bytes(const std::string& s) {
    return reinterpret_cast<const uint8_t*>(s.data());
}

int64_t Size(const std::string& s) {
    return static_cast<int64_t>(s.size());
}

} // namespace

TEST(PeImage, TableEndingAtFileEndIsFoundInBothHeaderKinds) {
    for (const bool plus : {false, true}) {
        const std::string pe = FakePe(plus, 1000, 24);
        const auto table = stub::FindCertificateTable(Bytes(pe), Size(pe));
        ASSERT_TRUE(table.has_value()) << "plus " << plus;
        EXPECT_EQ(table->Offset, 1000);
        EXPECT_EQ(table->Size, 24);
    }
}

TEST(PeImage, OnlyATableThatEndsTheFileCounts) {
    struct Case {
        const char* what;
        std::string image;
    } cases[] = {
        {"no table", FakePe(false, 0, 0)},
        {"table ends before the file does (the stub's own, inside entry 0)",
         FakePe(false, 900, 24)},
        {"table runs past the end", FakePe(false, 1000, 48)},
        {"table overlaps the headers", FakePe(false, 8, 1016)},
        {"table too small for a certificate header", FakePe(false, 1020, 4)},
        {"too few data directories", FakePe(false, 1000, 24, 1024, 4)},
        {"not MZ", std::string("XY") + FakePe(false, 1002, 24).substr(2)},
        {"header pointer beyond the file",
         [] {
             std::string pe = FakePe(false, 1000, 24);
             PutLe32(pe, 0x3C, 0xFFFFFFF0u);
             return pe;
         }()},
        {"shorter than a DOS header", "MZ"},
        {"empty", ""},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(stub::FindCertificateTable(Bytes(c.image), Size(c.image))) << c.what;
        EXPECT_EQ(stub::ContainerEnd(Bytes(c.image), Size(c.image)), Size(c.image)) << c.what;
    }
}

TEST(PeImage, ContainerEndSkipsTheAlignmentPaddingBeforeTheTable) {
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
        EXPECT_EQ(stub::ContainerEnd(Bytes(file), Size(file)), Size(container))
            << "padding " << padding;
    }
}

TEST(PeImage, SignedLikeASigningToolLeavesTheContainerIntact) {
    const std::string container =
        stubtest::Container({FakePe(false, 0, 0, 700), "settings", "a movie of odd length"});
    const std::string file = stubtest::Signed(container, std::string(300, 's'));
    EXPECT_EQ(stub::ContainerEnd(Bytes(file), Size(file)), Size(container));
}

TEST(PeImage, ForeignTableIsClearedInACopyButOwnTableStays) {
    std::string copy = FakePe(false, 2000, 64);
    EXPECT_TRUE(stub::ClearForeignCertificate(reinterpret_cast<uint8_t*>(&copy[0]), Size(copy)));
    EXPECT_EQ(copy, FakePe(false, 0, 0));

    std::string own = FakePe(false, 1000, 24);
    EXPECT_FALSE(stub::ClearForeignCertificate(reinterpret_cast<uint8_t*>(&own[0]), Size(own)));
    EXPECT_EQ(own, FakePe(false, 1000, 24));

    std::string none = FakePe(false, 0, 0);
    EXPECT_FALSE(stub::ClearForeignCertificate(reinterpret_cast<uint8_t*>(&none[0]), Size(none)));
}

TEST(PeImage, TheProgramEndsWithItsLastSectionsData) {
    for (const bool plus : {false, true}) {
        SCOPED_TRACE(plus);
        // One section at 0x200 of 0x180 bytes, then appended data to 1024.
        const std::string pe = FakePe(plus, 0, 0, 1024, 16, 0x200, 0x180);
        EXPECT_EQ(stub::ProgramEnd(Bytes(pe), Size(pe)), 0x380);
        EXPECT_EQ(stub::ProgramEnd(Bytes(pe), 0x37F), std::nullopt) << "cut inside the section";
        const std::string bare = FakePe(plus, 0, 0, 1024);
        EXPECT_EQ(stub::ProgramEnd(Bytes(bare), Size(bare)), 0x40 + 24 + (plus ? 240 : 224))
            << "no section: the headers alone";
    }
    EXPECT_EQ(stub::ProgramEnd(Bytes("MZ not a program"), 16), std::nullopt);
}
