#include <gtest/gtest.h>

#include <random>

#include "TestFiles.h"
#include "core/CompileUnit.h"
#include "core/DecompileUnit.h"
#include "rtl/Errors.h"
#include "rtl/ZStreams.h"

using testfiles::Hex;
using testfiles::MessageOf;

namespace {

std::string Deflate(const std::string& bytes) {
    rtl::TMemoryStream target;
    {
        rtl::TCompressionStream zipper(target);
        zipper.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        zipper.Finish();
    }
    return target.ToString();
}

std::string Inflate(const std::string& zlibBytes, int64_t size) {
    rtl::TMemoryView source(reinterpret_cast<const uint8_t*>(zlibBytes.data()),
                            static_cast<int64_t>(zlibBytes.size()));
    rtl::TDecompressionStream inflater(source);
    std::string out(static_cast<size_t>(size), '\0');
    inflater.ReadBuffer(&out[0], size);
    return out;
}

std::string Sample(size_t size, bool compressible) {
    std::mt19937 random(42);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = compressible ? "wallpaper "[random() % 10] : static_cast<char>(random());
    return bytes;
}

TEST(ZStreams, RoundTripThroughPlainZlib) {
    for (const std::string& data :
         {std::string(), std::string("a"), Sample(200000, true), Sample(300000, false)}) {
        const std::string packed = Deflate(data);
        EXPECT_EQ(packed.substr(0, 2), Hex("78 da")) << "level 9, default window";
        EXPECT_EQ(testfiles::Uncompress(packed, data.size()), data);
        EXPECT_EQ(Inflate(packed + "trailing junk", static_cast<int64_t>(data.size())), data);
    }
    EXPECT_EQ(Deflate(""), Hex("78 da 03 00 00 00 00 01"));
}

TEST(ZStreamsCorruption, EachDamageGivesItsError) {
    const std::string hello = Deflate("hello, hello, hello");
    std::string badCheck = hello;
    badCheck.back() = static_cast<char>(badCheck.back() ^ 1);
    const struct {
        const char* failure;
        std::string bytes;
        int64_t size;
        bool rejected; // else the output runs short
    } cases[] = {
        {"NoInput", "", 1, false},
        {"HeaderOnly", Hex("78 9c"), 1, false},
        {"BadMethod", Hex("77 85 00 00"), 1, true},
        {"BadHeaderCheck", Hex("78 9d 00 00"), 1, true},
        {"NeedsADictionary", Hex("78 bb 00 00 00 01 4b 04 00"), 1, true},
        {"InvalidBlockType", Hex("78 9c 07 00"), 1, true},
        {"BadAdler32", badCheck, 19, true},
        {"DeflateDataCut", hello.substr(0, hello.size() - 8), 19, false},
        {"StreamEndsBeforeTheSize", hello, 20, false},
        {"NotZlibAtAll", "plain text entry", 16, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        if (c.rejected)
            EXPECT_EQ(MessageOf<rtl::ECompressionError>([&] { Inflate(c.bytes, c.size); }),
                      "Error");
        else
            EXPECT_EQ(MessageOf<rtl::EReadError>([&] { Inflate(c.bytes, c.size); }),
                      "Stream read error");
    }
}

} // namespace

TEST(ZStreamsBlocks, EverySizeInflatesWithPlainZlibAndTheThreadsChangeNoByte) {
    constexpr size_t Block = static_cast<size_t>(rtl::DeflateBlockSize);
    for (const size_t size :
         {size_t{0}, size_t{1}, Block - 1, Block, Block + 1, 5 * Block + 12345}) {
        SCOPED_TRACE(size);
        const std::string data = Sample(size / 2, true) + Sample(size - size / 2, false);
        std::string first;
        for (const unsigned threads : {1u, 2u, 8u}) {
            rtl::TMemoryView source(reinterpret_cast<const uint8_t*>(data.data()),
                                    static_cast<int64_t>(data.size()));
            rtl::TMemoryStream target;
            int64_t reported = 0;
            rtl::Deflate(
                source, static_cast<int64_t>(data.size()), target,
                [&](int64_t done) { reported = done; }, threads);
            const std::string packed = target.ToString();
            EXPECT_EQ(reported, static_cast<int64_t>(size));
            if (threads == 1) {
                first = packed;
                EXPECT_EQ(packed.substr(0, 2), Hex("78 da"));
                EXPECT_EQ(testfiles::Uncompress(packed, data.size()), data);
            }
            EXPECT_EQ(packed, first) << threads << " threads";
        }
    }
}

TEST(ZStreamsBlocks, ADamagedBlockIsRefusedByTheContainerReader) {
    const std::string data = Sample(3 * rtl::DeflateBlockSize, false);
    core::TCompileStream writer;
    rtl::TMemoryView source(reinterpret_cast<const uint8_t*>(data.data()),
                            static_cast<int64_t>(data.size()));
    writer.AddStream(source, true);
    std::string container = writer.Compile().ToString();
    // Inside the second block.
    container[container.size() / 2] = static_cast<char>(container[container.size() / 2] ^ 0x10);
    rtl::TMemoryView damaged(reinterpret_cast<const uint8_t*>(container.data()),
                             static_cast<int64_t>(container.size()));
    core::TDecompileStream reader;
    reader.Decompile(damaged);
    EXPECT_EQ(MessageOf<rtl::ECompressionError>([&] { reader.GetStream(0, false); }), "Error");
}
