#include <gtest/gtest.h>

#include <random>

#include "TestFiles.h"
#include "core/CompileUnit.h"
#include "core/DecompileUnit.h"
#include "rtl/Errors.h"

using testfiles::Compress9;
using testfiles::Hex;
using testfiles::Le32;
using testfiles::MessageOf;

namespace {

struct Entry {
    std::string stored;
    int64_t sourceSize;
};

// A container assembled byte by byte, so its directory can say anything.
std::string Container(const std::vector<Entry>& entries) {
    std::string bytes;
    for (const Entry& e : entries)
        bytes += e.stored;
    for (const Entry& e : entries)
        bytes += Le32(e.sourceSize) + Le32(static_cast<int64_t>(e.stored.size()));
    return bytes + Le32(static_cast<int64_t>(entries.size()));
}

std::unique_ptr<core::TDecompileStream> Read(const std::string& bytes) {
    auto reader = std::make_unique<core::TDecompileStream>();
    rtl::TMemoryView source(reinterpret_cast<const uint8_t*>(bytes.data()),
                            static_cast<int64_t>(bytes.size()));
    reader->Decompile(source);
    return reader;
}

// Reads every entry; a successful read always gives exactly the entry's source size.
void ReadAll(const std::string& bytes, bool force) {
    auto reader = Read(bytes);
    for (int32_t i = 0; i < reader->EntryCount(); ++i) {
        auto entry = reader->GetStream(i, force);
        ASSERT_EQ(entry->Size(), reader->SourceSize(i)) << "entry " << i;
    }
}

// Whether reading every entry raised one of the two errors a damaged container may give.
bool Rejects(const std::string& bytes, bool force) {
    try {
        ReadAll(bytes, force);
        return false;
    } catch (const rtl::EReadError&) {
    } catch (const rtl::ECompressionError&) {
    }
    return true;
}

// Damaged bytes that are not rejected must read as entries that lie one after the other in the
// bytes before the directory, so nothing was read from outside them.
void ExpectRejectedOrWithinBounds(const std::string& bytes, bool force) {
    if (Rejects(bytes, force))
        return;
    const auto reader = Read(bytes);
    const int64_t data = static_cast<int64_t>(bytes.size()) - 4 - 8 * int64_t{reader->EntryCount()};
    int64_t end = 0;
    for (int32_t i = 0; i < reader->EntryCount(); ++i) {
        EXPECT_EQ(reader->Offset(i), end) << "entry " << i;
        EXPECT_GE(reader->StoredSize(i), 0) << "entry " << i;
        EXPECT_GE(reader->SourceSize(i), 0) << "entry " << i;
        end = reader->Offset(i) + reader->StoredSize(i);
    }
    EXPECT_LE(end, data);
}

TEST(DecompileStream, ReadsBackWhatTheWriterPacked) {
    core::TCompileStream writer;
    rtl::TMemoryStream stub, movie;
    std::mt19937 random(1);
    std::string stubBytes(5000, '\0');
    for (char& c : stubBytes)
        c = static_cast<char>(random());
    const std::string movieBytes(70000, 'F');
    stub.WriteBuffer(stubBytes.data(), 5000);
    movie.WriteBuffer(movieBytes.data(), 70000);
    writer.AddStream(stub, false);
    writer.AddStream(movie, true);

    auto reader = Read(writer.Compile().ToString());
    ASSERT_EQ(reader->EntryCount(), 2);
    EXPECT_EQ(reader->Offset(1), 5000);
    EXPECT_EQ(reader->GetStream(0, false)->ToString(), stubBytes);
    for (bool force : {false, true}) {
        auto entry = reader->GetStream(1, force);
        EXPECT_EQ(entry->ToString(), movieBytes);
        EXPECT_EQ(entry->Position(), entry->Size());
    }
    EXPECT_EQ(MessageOf<rtl::ECompressionError>([&] { reader->GetStream(0, true); }), "Error");
    EXPECT_EQ(reader->GetStream(0, false)->ToString(), stubBytes) << "the reader is unharmed";
}

TEST(DecompileStream, IndexesOutsideTheEntries) {
    auto reader = Read(Container({{"abc", 3}}));
    EXPECT_EQ(reader->GetStream(1, false)->Size(), 0);
    EXPECT_EQ(reader->GetStream(INT32_MAX, true)->Size(), 0);
    EXPECT_EQ(MessageOf<rtl::EStringListError>([&] { reader->GetStream(-1, false); }),
              "List index out of bounds (-1)");
    EXPECT_EQ(MessageOf<rtl::EStringListError>([&] { reader->GetStream(INT32_MIN, false); }),
              "List index out of bounds (-2147483648)");
}

TEST(DecompileStream, EmptyContainersAndEntries) {
    for (const std::string& bytes :
         {Hex("00 00 00 00"), Hex("ff ff ff ff"), Hex("00 00 00 80"), "some bytes" + Le32(-5)}) {
        auto reader = Read(bytes);
        EXPECT_EQ(reader->EntryCount(), 0);
        EXPECT_EQ(reader->GetStream(0, true)->Size(), 0);
    }
    auto reader = Read(Container({{"", 0}, {Hex("78 da 03 00 00 00 00 01"), 0}}));
    for (bool force : {false, true}) {
        EXPECT_EQ(reader->GetStream(0, force)->Size(), 0);
        EXPECT_EQ(reader->GetStream(1, force)->Size(), 0);
    }
}

// zlib bytes exactly as long as their content look like a raw entry; only force inflates them.
TEST(DecompileStream, CompressedEntryAsLongAsItsSourceNeedsForce) {
    std::mt19937 random(3);
    std::string content(64, '\0');
    for (char& c : content)
        c = static_cast<char>(random());
    std::string packed = Compress9(content);
    while (packed.size() > content.size()) {
        content += '\0';
        packed = Compress9(content);
    }
    ASSERT_EQ(packed.size(), content.size());
    auto reader = Read(Container({{packed, static_cast<int64_t>(content.size())}}));
    EXPECT_EQ(reader->GetStream(0, false)->ToString(), packed);
    EXPECT_EQ(reader->GetStream(0, true)->ToString(), content);
}

TEST(ContainerCorruption, EachDamageGivesItsError) {
    const std::string hello = Compress9("hello, hello");
    std::string badHeader = hello, badCheck = hello;
    badHeader[0] = 0x77;
    badCheck.back() = static_cast<char>(badCheck.back() ^ 1);
    // Long enough that inflate hands out all the content before it meets the checksum.
    std::string longContent;
    for (int i = 0; i < 20000; ++i)
        longContent += std::to_string(i * 7919 % 10007);
    const std::string longStream = Compress9(longContent);
    std::string longBadCheck = longStream;
    longBadCheck.back() = static_cast<char>(longBadCheck.back() ^ 1);
    const auto longSize = static_cast<int64_t>(longContent.size());
    enum Kind { Overrun, Rejected }; // a read past the data; inflate refusing the bytes
    const struct {
        const char* failure;
        std::string bytes;
        Kind kind;
    } cases[] = {
        {"EmptyFile", "", Overrun},
        {"ShorterThanTheCount", Hex("00 00 00"), Overrun},
        {"CountTheFileCannotHold", Hex("01 00 00 00"), Overrun},
        {"CountOneTooMany", Container({{"abc", 3}}).substr(0, 15) + Le32(2), Overrun},
        {"HugeCount", "abcdefgh" + Le32(INT32_MAX), Overrun},
        {"NegativeSourceSize", "abc" + Le32(-1) + Le32(3) + Le32(1), Overrun},
        {"NegativeStoredSize", "abc" + Le32(3) + Le32(-1) + Le32(1), Overrun},
        {"StoredSizePastTheData", "abc" + Le32(4) + Le32(4) + Le32(1), Overrun},
        {"HugeStoredSize", "abc" + Le32(3) + Le32(INT32_MAX) + Le32(1), Overrun},
        {"OffsetsOverflow32Bits",
         "abc" + Le32(INT32_MAX) + Le32(INT32_MAX) + Le32(INT32_MAX) + Le32(INT32_MAX) + Le32(2) +
             Le32(2) + Le32(3) + Le32(3) + Le32(4),
         Overrun},
        {"HugeSourceSize", Container({{hello, INT32_MAX}}), Overrun},
        {"SourceSizeLargerThanTheStream", Container({{hello, 13}}), Overrun},
        {"ZlibStreamCut", Container({{hello.substr(0, hello.size() - 6), 12}}), Overrun},
        {"BadZlibHeader", Container({{badHeader, 12}}), Rejected},
        {"BadAdler32", Container({{badCheck, 12}}), Rejected},
        {"BadAdler32AfterAllTheContent", Container({{longBadCheck, longSize}}), Rejected},
        {"Adler32CutOff", Container({{longStream.substr(0, longStream.size() - 4), longSize}}),
         Overrun},
        {"NotZlib", Container({{"abc", 4}}), Rejected},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        if (c.kind == Rejected)
            EXPECT_EQ(MessageOf<rtl::ECompressionError>([&] { ReadAll(c.bytes, false); }), "Error");
        else
            EXPECT_EQ(MessageOf<rtl::EReadError>([&] { ReadAll(c.bytes, false); }),
                      "Stream read error");
    }
}

TEST(ContainerCorruption, SourceSizeSmallerThanTheStreamGivesThatManyBytes) {
    auto reader = Read(Container({{Compress9("hello, hello"), 5}}));
    EXPECT_EQ(reader->GetStream(0, false)->ToString(), "hello");
}

// Cutting a container anywhere either leaves a count of zero or less (no entries) or must
// raise a read or zlib error.
TEST(ContainerCorruption, TruncatedAtEveryLength) {
    const std::string whole = Container({{"stub", 4}, {Compress9("hello"), 5}, {Compress9(""), 0}});
    for (size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE(length);
        const std::string cut = whole.substr(0, length);
        const bool noEntries = length >= 4 && (static_cast<int8_t>(cut[length - 1]) < 0 ||
                                               cut.substr(length - 4) == Le32(0));
        for (bool force : {false, true})
            EXPECT_TRUE(Rejects(cut, force) || noEntries);
    }
}

TEST(ContainerCorruption, RandomBytes) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 64, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        for (bool force : {false, true})
            ExpectRejectedOrWithinBounds(bytes, force);
        // A small count and small sizes reach the entries, not just the directory check.
        const int count = 1 + static_cast<int>(random() % 3);
        std::string directory;
        for (int i = 0; i < 2 * count; ++i)
            directory += Le32(static_cast<int32_t>(random() % 40) - 2);
        bytes += directory + Le32(count);
        for (bool force : {false, true})
            ExpectRejectedOrWithinBounds(bytes, force);
    }
}

TEST(ContainerCorruption, RandomlyFlippedBytes) {
    const std::string whole =
        Container({{"stub", 4}, {Compress9(std::string(3000, 'w') + "allpaper"), 3008}});
    std::mt19937 random(99);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes = whole;
        bytes[random() % bytes.size()] ^= static_cast<char>(1 + random() % 255);
        for (bool force : {false, true})
            ExpectRejectedOrWithinBounds(bytes, force);
    }
}

} // namespace
