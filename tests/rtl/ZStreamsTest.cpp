#include <gtest/gtest.h>

#include <random>

#include "TestFiles.h"
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
