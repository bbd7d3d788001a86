#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "core/CompileUnit.h"
#include "core/ProjectUnit.h"
#include "rtl/Guid.h"
#include "rtl/Streams.h"

namespace stubtest {

// A string's bytes and size as the readers of bytes in memory take them.
inline const uint8_t* Bytes(const std::string& s) {
    return reinterpret_cast<const uint8_t*>(s.data());
}
inline int64_t Size(const std::string& s) {
    return static_cast<int64_t>(s.size());
}

inline std::string RandomBytes(size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

// A container as the generator makes it: entry 0 raw, the others compressed.
inline std::string Container(const std::vector<std::string>& entries) {
    core::TCompileStream writer;
    for (size_t i = 0; i < entries.size(); ++i) {
        rtl::TMemoryView source(reinterpret_cast<const uint8_t*>(entries[i].data()),
                                static_cast<int64_t>(entries[i].size()));
        writer.AddStream(source, i != 0);
    }
    return writer.Compile().ToString();
}

// The bytes of a project file with the values fill gives, made by the project's own code.
inline std::string ProjectFile(const std::function<void(core::TProject&)>& fill) {
    const std::string folder = ::testing::TempDir();
    const std::string path = folder + rtl::NewGuidText() + ".zvrk";
    core::TProject project(folder + rtl::NewGuidText());
    fill(project);
    project.SaveToFile(path);
    const std::string bytes = testfiles::ReadFile(path);
    std::remove(path.c_str());
    return bytes;
}

// A movie path, title and GUID: the least a generated project holds.
inline std::function<void(core::TProject&)>
Basic(const std::string& movie, const std::string& guid = "{00000000-1111-2222-3333-444444444444}",
      const std::string& title = "Blue Lagoon") {
    return [=](core::TProject& p) {
        p.FlashFiles.Add(movie);
        p.GUID = guid;
        p.FileTitle = title;
    };
}

// The bytes a data script hands to the wallpaper page: the base64 text of its comment, decoded.
inline std::string DataScriptBytes(const std::string& script) {
    const size_t start = script.find("/*");
    const size_t end = script.rfind("*/");
    if (start == std::string::npos || end == std::string::npos || end < start)
        return "";
    std::string bytes;
    uint32_t bits = 0;
    int count = 0;
    for (size_t i = start + 2; i < end; ++i) {
        const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        const char* at = std::strchr(digits, script[i]);
        if (script[i] == '=' || at == nullptr)
            break;
        bits = bits << 6 | static_cast<uint32_t>(at - digits);
        if (++count % 4 == 0)
            for (const int shift : {16, 8, 0})
                bytes += static_cast<char>(bits >> shift);
    }
    // The last group's bits past its final whole byte are padding.
    const int left = count % 4;
    for (int i = 0; left > 1 && i < left - 1; ++i)
        bytes += static_cast<char>(bits >> (6 * left - 8 * (i + 1)));
    return bytes;
}

inline void PutLe32(std::string& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
}

// The headers of a PE file as far as the data directories, in a file of total bytes, with the
// security directory set as given and, when sectionSize is not 0, one section's data.
inline std::string FakePe(bool plus, uint32_t tableOffset, uint32_t tableSize, size_t total = 1024,
                          uint32_t directories = 16, uint32_t sectionAt = 0,
                          uint32_t sectionSize = 0) {
    constexpr size_t headerAt = 0x40;
    std::string pe(total, '\0');
    pe[0] = 'M';
    pe[1] = 'Z';
    PutLe32(pe, 0x3C, headerAt);
    pe.replace(headerAt, 4, std::string("PE\0\0", 4));
    const size_t optional = headerAt + 24;
    const uint32_t optionalSize = plus ? 240 : 224;
    pe[headerAt + 20] = static_cast<char>(optionalSize);
    pe[optional] = 0x0B;
    pe[optional + 1] = plus ? 2 : 1;
    PutLe32(pe, optional + (plus ? 108 : 92), directories);
    const size_t entry = optional + (plus ? 112 : 96) + 32;
    PutLe32(pe, entry, tableOffset);
    PutLe32(pe, entry + 4, tableSize);
    if (sectionSize != 0) {
        pe[headerAt + 6] = 1;
        const size_t section = optional + optionalSize;
        PutLe32(pe, section + 16, sectionSize);
        PutLe32(pe, section + 20, sectionAt);
    }
    return pe;
}

// Where a PE file's security directory entry is, found by walking the headers as a signing
// tool does.
inline size_t SecurityEntryAt(const std::string& pe) {
    const size_t header = testfiles::Le32At(pe, 0x3C);
    const size_t optional = header + 24;
    const bool plus = static_cast<uint8_t>(pe[optional]) == 0x0B && pe[optional + 1] == 2;
    return optional + (plus ? 112 : 96) + 4 * 8;
}

// What a signing tool does to a finished file: pads it to 8 bytes, appends a certificate
// table and records it in the security directory.
inline std::string Signed(std::string file, const std::string& certificate) {
    while (file.size() % 8 != 0)
        file += '\0';
    const size_t entry = SecurityEntryAt(file);
    std::string table = testfiles::Le32(static_cast<int64_t>(8 + certificate.size())) +
                        std::string("\x00\x02\x02\x00", 4) + certificate;
    while (table.size() % 8 != 0)
        table += '\0';
    PutLe32(file, entry, static_cast<uint32_t>(file.size()));
    PutLe32(file, entry + 4, static_cast<uint32_t>(table.size()));
    return file + table;
}

// A program of 0x400 bytes with the web player appended: the list, then one entry per file.
inline std::string StubWith(const std::string& list, const std::vector<std::string>& files) {
    std::vector<std::string> entries{list};
    entries.insert(entries.end(), files.begin(), files.end());
    core::TCompileStream writer;
    for (const std::string& entry : entries) {
        rtl::TMemoryView view(reinterpret_cast<const uint8_t*>(entry.data()),
                              static_cast<int64_t>(entry.size()));
        writer.AddStream(view, true);
    }
    return FakePe(false, 0, 0, 0x400, 16, 0x200, 0x200) + writer.Compile().ToString();
}
inline std::string StubWith(const std::string& list, size_t files) {
    std::vector<std::string> contents;
    for (size_t i = 0; i < files; ++i)
        contents.push_back("content " + std::to_string(i));
    return StubWith(list, contents);
}

} // namespace stubtest
