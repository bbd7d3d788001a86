// Writes the inputs of the fuzz targets that muravel-cli and ffmpeg cannot make: a small stub
// with a web player for muravel-cli to build installers on, an uninstaller of it and its
// record, a zlib-compressed copy of ffmpeg's movie.swf (ffmpeg writes them uncompressed) and
// the regression inputs of faults found by fuzzing.
//     make-fuzz-seeds WORK_FOLDER REGRESSIONS_FOLDER
#include <zlib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/CompileUnit.h"
#include "rtl/Errors.h"
#include "rtl/Paths.h"
#include "rtl/Streams.h"
#include "rtl/TextUtils.h"
#include "stub/UninstallRecord.h"

namespace {

void PutLe(std::string& bytes, size_t at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes[at + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
}

// The least a 64-bit program's headers hold for the stub's readers: one section of code.
std::string SmallProgram() {
    constexpr size_t pe = 0x40, optional = pe + 24, optionalSize = 240;
    constexpr size_t section = optional + optionalSize, code = 0x200;
    std::string image(code + 0x40, '\0');
    image.replace(0, 2, "MZ");
    PutLe(image, 0x3C, pe, 4);
    image.replace(pe, 4, std::string("PE\0\0", 4));
    PutLe(image, pe + 4, 0x8664, 2);
    PutLe(image, pe + 6, 1, 2);
    PutLe(image, pe + 20, optionalSize, 2);
    PutLe(image, optional, 0x20B, 2);
    PutLe(image, optional + 108, 16, 4);
    image.replace(section, 5, ".text");
    PutLe(image, section + 16, 0x40, 4);
    PutLe(image, section + 20, code, 4);
    image[code] = '\xC3';
    return image;
}

std::string Packed(const std::vector<std::string>& entries, bool firstRaw) {
    core::TCompileStream writer;
    for (size_t i = 0; i < entries.size(); ++i) {
        rtl::TMemoryView entry(reinterpret_cast<const uint8_t*>(entries[i].data()),
                               static_cast<int64_t>(entries[i].size()));
        writer.AddStream(entry, !(firstRaw && i == 0));
    }
    return writer.Compile().ToString();
}

void Write(const std::string& path, const std::string& bytes) {
    rtl::TFileStream file(path, rtl::FileMode::Create);
    file.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

std::string Read(const std::string& path) {
    rtl::TMemoryStream file;
    file.LoadFromFile(path);
    return file.ToString();
}

// A CWS movie: the FWS movie's first 8 bytes with the signature changed, then the rest packed.
std::string ZlibMovie(const std::string& movie) {
    if (movie.size() < 8)
        throw rtl::Exception("movie.swf has no header");
    uLongf size = compressBound(static_cast<uLong>(movie.size() - 8));
    std::string packed(size, '\0');
    if (compress(reinterpret_cast<Bytef*>(packed.data()), &size,
                 reinterpret_cast<const Bytef*>(movie.data() + 8), movie.size() - 8) != Z_OK)
        throw rtl::Exception("movie.swf cannot be compressed");
    packed.resize(size);
    return "C" + movie.substr(1, 7) + packed;
}

void WriteSeeds(const std::string& work, const std::string& regressions) {
    const std::string stub =
        SmallProgram() + Packed({"wallpaper.js\nruffle.js\nplayer.js\tplayer.wasm\tapplication/"
                                 "wasm\tgzip\n",
                                 "/* page */", "/* player */", std::string("\0asm", 4)},
                                false);
    Write(work + "stub.dat", stub);
    Write(work + "movie-zlib.swf", ZlibMovie(Read(work + "movie.swf")));
    stub::TUninstallRecord record;
    record.Title = "Blue Lagoon";
    record.Key = "{00000000-1111-2222-3333-444444444444}";
    record.Folder = "C:\\Wallpapers\\Blue Lagoon";
    record.Files = {"wallpaper.html", "wallpaper.js", "ruffle.js", "Blue Lagoon.swf",
                    "uninstall.exe"};
    record.Copies = {"C:\\Users\\me\\Lively\\wallpapers\\" + record.Key};
    Write(work + "record.txt", record.ToText());
    Write(work + "uninstall.exe",
          stub::UninstallerImage(reinterpret_cast<const uint8_t*>(stub.data()),
                                 static_cast<int64_t>(stub.size()), record));

    // A movie count of 2^20 and 500 other keys once took a minute to load.
    std::string many = "[FlashFiles]\r\nCount=1048576\r\n";
    for (int i = 0; i < 500; ++i)
        many += "K" + rtl::IntToStr(i) + "=" + rtl::IntToStr(i) + "\r\n";
    Write(regressions + "project_ini/many-movies.ini", many);
    Write(regressions + "project/many-movies.zvrk", Packed({many, "", ""}, false));

    // 10,000 distinct keys once took seconds to read.
    std::string keys = "[S]\n";
    for (int i = 0; i < 10000; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "%x=\n", i);
        keys += name;
    }
    Write(regressions + "ini/ten-thousand-keys.ini", keys);

    // An uninstaller whose record claims a 2 GiB source for 8 stored bytes once made the stub
    // allocate that much before reading a byte.
    std::string claims = "MZstub" + std::string("\x78\x9c\x03\x00\x00\x00\x00\x01", 8);
    claims += std::string(16 + 4, '\0');
    PutLe(claims, 14, 6, 4);
    PutLe(claims, 18, 6, 4);
    PutLe(claims, 22, 0x7FFFFFFF, 4);
    PutLe(claims, 26, 8, 4);
    PutLe(claims, 30, 2, 4);
    Write(regressions + "stub_package/claims-2gib.exe", claims);

    // A name of the length limit starting with a device name once cleaned to one over it.
    Write(regressions + "stub_text/device-name-at-the-limit.txt",
          "aux." + std::string(116, 'x') + "\n" + "CON." + std::string(113, 'y') + ".swf");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-fuzz-seeds WORK_FOLDER REGRESSIONS_FOLDER\n");
        return 2;
    }
    try {
        WriteSeeds(rtl::IncludeTrailingDelimiter(argv[1]), rtl::IncludeTrailingDelimiter(argv[2]));
    } catch (const rtl::Exception& error) {
        std::fprintf(stderr, "make-fuzz-seeds: %s\n", error.what());
        return 1;
    }
    return 0;
}
