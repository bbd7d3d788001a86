// The LZMA decoder against streams other encoders made: Debian's xz and Python's lzma, run on
// the host (not under Wine), as the movie tests run ffmpeg.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "../TestFiles.h"
#include "rtl/Errors.h"
#include "rtl/Lzma.h"
#include "rtl/Streams.h"

namespace {

class LzmaStreams : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "xz and python3 are run on the host only";
#else
        if (std::system("xz --version >/dev/null 2>&1 && python3 -c 'import lzma'") != 0)
            GTEST_SKIP() << "xz or python3 is not on PATH";
#endif
    }

    // data encoded by command, which reads the file "in" and writes "out".
    std::string Encoded(const std::string& data, const std::string& command) {
        const std::string in = folder_ / "in";
        const std::string out = folder_ / "out";
        std::ofstream(in, std::ios::binary) << data;
        const std::string line = "cd '" + folder_.Path() + "' && " + command;
        EXPECT_EQ(0, std::system(line.c_str())) << line;
        std::ifstream file(out, std::ios::binary);
        std::stringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    }

    testfiles::TempFolder folder_;
};

const char* const XzAlone = "xz --format=lzma -9e -c in > out";
const char* const XzOddModel = "xz --format=lzma --lzma1=preset=6,lc=0,lp=2,pb=0 -c in > out";
// A window far smaller than the data, which goes round it many times.
const char* const XzSmallWindow = "xz --format=lzma --lzma1=preset=6,dict=4KiB -c in > out";
const char* const PythonAlone =
    "python3 -c \"import lzma; open('out','wb').write(lzma.compress(open('in','rb').read(), "
    "format=lzma.FORMAT_ALONE, preset=9 | lzma.PRESET_EXTREME))\"";

// A .lzma file: the properties, the size (all ones when unknown), then the data.
std::string Decoded(const std::string& file, size_t piece = 7777) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(file.data());
    int64_t size = 0;
    for (int i = 7; i >= 0; --i)
        size = size << 8 | bytes[5 + i];
    rtl::TLzmaDecompressionStream lzma(bytes + 13, static_cast<int64_t>(file.size()) - 13, bytes,
                                       size);
    std::string out;
    std::string buffer(piece, '\0');
    for (int64_t n; (n = lzma.Read(buffer.data(), static_cast<int64_t>(piece))) > 0;)
        out.append(buffer.data(), static_cast<size_t>(n));
    lzma.CheckEnd();
    return out;
}

std::string Samples(size_t size) {
    std::mt19937 random(7);
    std::string text;
    // Words from a small vocabulary make every kind of match; runs of noise make literals.
    const char* const words[] = {"wallpaper ", "movie ", "stage ", "frame ", "\x00\x01\x02", "z"};
    while (text.size() < size) {
        if (random() % 8 == 0)
            for (int i = 0; i < 50; ++i)
                text += static_cast<char>(random());
        else
            text += words[random() % 6];
    }
    return text.substr(0, size);
}

} // namespace

TEST_F(LzmaStreams, DecodesWhatXzAndPythonWrite) {
    const std::string inputs[] = {"", "a", Samples(300000), std::string(100000, 'x')};
    for (const char* command : {XzAlone, XzOddModel, XzSmallWindow, PythonAlone})
        for (const std::string& input : inputs)
            EXPECT_EQ(Decoded(Encoded(input, command)), input)
                << command << ", " << input.size() << " bytes";
    // Read in pieces smaller than a match, and in one.
    const std::string input = Samples(50000);
    const std::string file = Encoded(input, XzAlone);
    EXPECT_EQ(Decoded(file, 1), input);
    EXPECT_EQ(Decoded(file, 1 << 20), input);
}

TEST_F(LzmaStreams, EachDamageIsAClearError) {
    const std::string good = Encoded(Samples(20000), XzAlone);
    const auto with = [&](size_t at, char byte) {
        std::string damaged = good;
        damaged[at] = byte;
        return damaged;
    };
    std::string known = good; // the size given, 1 byte more than the data holds
    for (int i = 0; i < 8; ++i)
        known[5 + size_t(i)] = static_cast<char>((uint64_t(20001) >> (8 * i)) & 0xFF);
    const struct {
        const char* name;
        std::string file;
        bool cutOff; // EReadError, else ECompressionError
    } cases[] = {
        {"no LZMA's properties", with(0, char(225)), false},
        {"a dictionary of 2 GiB", with(4, char(0x80)), false},
        {"a first byte that is not 0", with(13, 1), false},
        {"cut off in the middle", good.substr(0, good.size() / 2), true},
        {"cut off before its last byte", good.substr(0, good.size() - 1), true},
        {"its end marker before the size given", known, true},
    };
    for (const auto& c : cases) {
        try {
            Decoded(c.file);
            ADD_FAILURE() << c.name << ": decoded";
        } catch (const rtl::EReadError&) {
            EXPECT_TRUE(c.cutOff) << c.name;
        } catch (const rtl::ECompressionError&) {
            EXPECT_FALSE(c.cutOff) << c.name;
        }
    }
}
