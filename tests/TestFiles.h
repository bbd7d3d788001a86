#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <typeinfo>
#include <vector>

#include "core/Colors.h"
#include "rtl/Errors.h"
#include "rtl/Guid.h"
#include "rtl/TextUtils.h"

#ifdef _WIN32
#include "system/FileTree.h"
#endif

namespace testfiles {

#ifdef _WIN32
constexpr char Sep = '\\';
#else
constexpr char Sep = '/';
#endif

// A new empty folder under the test temporary directory; it goes, with everything in it,
// when the object does.
class TempFolder {
public:
    TempFolder() {
        std::string base = ::testing::TempDir();
        if (base.empty() || base.back() != Sep)
            base += Sep;
        path_ = base + "muravel-" + rtl::NewGuidText().substr(1, 36) + Sep;
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { RemoveTree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Ends with the separator.
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }

    // A file that holds its own relative name, or a folder; relative may name folders made
    // before. Both give the full path, and fail the test when they cannot make it.
    std::string AddFile(const std::string& relative) const {
        const std::string path = path_ + relative;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << relative;
        if (!out.flush())
            ADD_FAILURE() << "cannot write " << path;
        return path;
    }
    std::string AddFolder(const std::string& relative) const {
        const std::string path = path_ + relative;
        std::error_code error;
        if (!std::filesystem::create_directory(path, error))
            ADD_FAILURE() << "cannot create " << path << ": " << error.message();
        return path;
    }

    // Names of what the folder holds, so tests can see stray files.
    std::vector<std::string> Names() const { return NamesIn(path_); }
    static std::vector<std::string> NamesIn(const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    static void RemoveTree(const std::string& folder) {
#ifdef _WIN32
        // Tests leave read-only files and folder links back to an ancestor here, which
        // std::filesystem::remove_all cannot delete on Windows and would follow round.
        sys::RemoveTree(folder.substr(0, folder.size() - 1));
#else
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
#endif
    }

    std::string path_;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The lines of a text that ends each but its last with CR LF, as windows show lines; a line feed
// without its carriage return fails the test.
inline std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines = rtl::Split(text, '\n');
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].empty() || lines[i].back() != '\r')
            ADD_FAILURE() << "a line feed without a carriage return in \"" << text << "\"";
        else
            lines[i].pop_back();
    }
    return lines;
}

// Stands in for GetSysColor: system colour i resolves to 0x0000ii, with red in the low byte as
// GetSysColor gives it.
inline uint32_t FakeSysColor(int index) {
    return static_cast<uint32_t>(index);
}

// A colour from its 32 bits as a project stores them, the system-colour flag included.
inline core::TColor Color(uint32_t bits) {
    return static_cast<core::TColor>(bits);
}

// "78 da 03" -> the three bytes.
inline std::string Hex(const std::string& text) {
    std::string bytes;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == ' ')
            continue;
        bytes += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
        ++i;
    }
    return bytes;
}

inline std::string Le32(int64_t value) {
    const auto bits = static_cast<uint32_t>(value);
    return std::string{static_cast<char>(bits), static_cast<char>(bits >> 8),
                       static_cast<char>(bits >> 16), static_cast<char>(bits >> 24)};
}

// The little-endian 32-bit value at bytes[at], read without the program's own code.
inline uint32_t Le32At(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<uint8_t>(bytes[at + static_cast<size_t>(i)]);
    return value;
}

// A Flash movie that passes the movie check: a header of 480 x 360 pixels at 24 frames a
// second, then filler in a tag that players skip, a frame and the end; 31 bytes and the filler.
inline std::string SwfMovie(const std::string& filler) {
    // The RECT: 15-bit fields 0, 9600, 0, 7200 after the 5-bit width, 65 bits in 9 bytes.
    const std::string head = Hex("78 00 04 b0 00 00 0e 10 00") + Hex("00 18 01 00");
    const std::string body = head + Hex("ff 3f") + Le32(static_cast<int64_t>(filler.size())) +
                             filler + Hex("40 00 00 00");
    return "FWS\x0a" + Le32(static_cast<int64_t>(8 + body.size())) + body;
}
inline std::string SwfMovie(size_t size = 64, char filler = 'm') {
    return SwfMovie(std::string(size - 31, filler));
}
// SwfMovie with a SetBackgroundColor tag of red, green, blue before its first tag.
inline std::string SwfMovieOn(uint8_t red, uint8_t green, uint8_t blue) {
    const std::string movie = SwfMovie();
    std::string coloured = movie.substr(0, 21) + Hex("43 02") + static_cast<char>(red) +
                           static_cast<char>(green) + static_cast<char>(blue) + movie.substr(21);
    return coloured.replace(4, 4, Le32(static_cast<int64_t>(coloured.size())));
}

// A Flash video that passes the movie check: video only, no metadata, one Sorenson H.263 key
// frame of the filler; 29 bytes and the filler.
inline std::string FlvVideo(const std::string& filler) {
    const auto be = [](size_t value, int bytes) {
        std::string out;
        for (int i = bytes - 1; i >= 0; --i)
            out += static_cast<char>(value >> (8 * i));
        return out;
    };
    const size_t data = 1 + filler.size();
    return std::string("FLV\x01\x01\0\0\0\x09\0\0\0\0\x09", 14) + be(data, 3) +
           std::string(7, '\0') + "\x12" + filler + be(11 + data, 4);
}
inline std::string FlvVideo(size_t size = 64, char filler = 'v') {
    return FlvVideo(std::string(size - 29, filler));
}

// Level 9 with plain zlib, which knows nothing of this system's streams.
inline std::string Compress9(const std::string& bytes) {
    uLongf length = compressBound(static_cast<uLong>(bytes.size()));
    std::string out(length, '\0');
    compress2(reinterpret_cast<Bytef*>(&out[0]), &length,
              reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uLong>(bytes.size()), 9);
    out.resize(length);
    return out;
}

#ifndef _WIN32
// An uncompressed movie made a ZWS one, as Flash writes them, by Python's lzma (on the host):
// the compressed length, the LZMA properties (lc 3, lp 0, pb 2, a 64 KiB dictionary), raw
// LZMA data with its end marker. work is a folder for the files between.
inline std::string LzmaMovie(const std::string& fws, const std::string& work) {
    WriteFile(work + "/fws.swf", fws);
    const std::string command =
        "python3 -c \"import lzma, struct, sys; d = open(sys.argv[1], 'rb').read(); "
        "b = lzma.compress(d[8:], format=lzma.FORMAT_RAW, filters=[{'id': lzma.FILTER_LZMA1, "
        "'dict_size': 65536, 'lc': 3, 'lp': 0, 'pb': 2}]); open(sys.argv[2], 'wb').write(b'ZWS' "
        "+ d[3:8] + struct.pack('<I', len(b)) + bytes([0x5D]) + struct.pack('<I', 65536) + b)\" " +
        work + "/fws.swf " + work + "/zws.swf";
    EXPECT_EQ(0, std::system(command.c_str())) << command;
    return ReadFile(work + "/zws.swf");
}
#endif

// Inflates with plain zlib; a failure fails the test.
inline std::string Uncompress(const std::string& zlibBytes, size_t size) {
    std::string out(size, '\0');
    uLongf length = static_cast<uLongf>(size);
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(&out[0]), &length,
                         reinterpret_cast<const Bytef*>(zlibBytes.data()),
                         static_cast<uLong>(zlibBytes.size())),
              Z_OK);
    out.resize(length);
    return out;
}

// A text and what a function is to make of it.
struct TextCase {
    std::string input;
    std::string output;
};

// Expects f to make each case's input into its output, naming the input of each that it does not.
template <class F> void ExpectEach(const F& f, const std::vector<TextCase>& cases) {
    for (const TextCase& c : cases)
        EXPECT_EQ(f(c.input), c.output) << "from \"" << c.input << "\"";
}

// Expects text to hold every one of present and none of absent, naming each that is not so.
inline void ExpectContains(const std::string& text, const std::vector<std::string>& present,
                           const std::vector<std::string>& absent = {}) {
    for (const std::string& part : present)
        EXPECT_TRUE(text.find(part) != std::string::npos) << "lacks \"" << part << "\"";
    for (const std::string& part : absent)
        EXPECT_TRUE(text.find(part) == std::string::npos) << "holds \"" << part << "\"";
}

// The message of the error that f raises, which must be exactly of kind E (not a kind
// derived from it); a different kind, or no error, fails the test.
template <class E> std::string MessageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const rtl::Exception& error) {
        if (typeid(error) != typeid(E))
            ADD_FAILURE() << "raised " << typeid(error).name() << " \"" << error.Message
                          << "\", expected " << typeid(E).name();
        return error.Message;
    }
    ADD_FAILURE() << "no error raised, expected " << typeid(E).name();
    return "<no error>";
}

} // namespace testfiles
