#include <gtest/gtest.h>

#include "core/ContainerDirectory.h"
#include "core/PeImage.h"
#include "stub/StubTestSupport.h"

using stubtest::Bytes;
using stubtest::FakePe;
using stubtest::PutLe32;
using stubtest::Size;

TEST(PeImage, TableEndingAtFileEndIsFoundInBothHeaderKinds) {
    for (const bool plus : {false, true}) {
        const std::string pe = FakePe(plus, 1000, 24);
        const auto table = core::FindCertificateTable(Bytes(pe), Size(pe));
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
        EXPECT_FALSE(core::FindCertificateTable(Bytes(c.image), Size(c.image))) << c.what;
        EXPECT_EQ(core::TContainerDirectory::ContainerEnd(Bytes(c.image), Size(c.image)),
                  Size(c.image))
            << c.what;
    }
}

TEST(PeImage, ForeignTableIsClearedInACopyButOwnTableStays) {
    std::string copy = FakePe(false, 2000, 64);
    EXPECT_TRUE(core::ClearForeignCertificate(reinterpret_cast<uint8_t*>(&copy[0]), Size(copy)));
    EXPECT_EQ(copy, FakePe(false, 0, 0));

    std::string own = FakePe(false, 1000, 24);
    EXPECT_FALSE(core::ClearForeignCertificate(reinterpret_cast<uint8_t*>(&own[0]), Size(own)));
    EXPECT_EQ(own, FakePe(false, 1000, 24));

    std::string none = FakePe(false, 0, 0);
    EXPECT_FALSE(core::ClearForeignCertificate(reinterpret_cast<uint8_t*>(&none[0]), Size(none)));
}

TEST(PeImage, TheProgramEndsWithItsLastSectionsData) {
    for (const bool plus : {false, true}) {
        SCOPED_TRACE(plus);
        // One section at 0x200 of 0x180 bytes, then appended data to 1024.
        const std::string pe = FakePe(plus, 0, 0, 1024, 16, 0x200, 0x180);
        EXPECT_EQ(core::ProgramEnd(Bytes(pe), Size(pe)), 0x380);
        EXPECT_EQ(core::ProgramEnd(Bytes(pe), 0x37F), std::nullopt) << "cut inside the section";
        const std::string bare = FakePe(plus, 0, 0, 1024);
        EXPECT_EQ(core::ProgramEnd(Bytes(bare), Size(bare)), 0x40 + 24 + (plus ? 240 : 224))
            << "no section: the headers alone";
    }
    EXPECT_EQ(core::ProgramEnd(Bytes("MZ not a program"), 16), std::nullopt);
}
