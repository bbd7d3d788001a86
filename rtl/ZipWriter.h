#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Streams.h"

namespace rtl {

// A .zip archive written into a stream that can seek back: each file one entry deflated at
// level 9 under its CRC-32, named in UTF-8 with "/" between folders, dated 1980-01-01 so the
// same files always make the same bytes; then the central directory. Without Zip64: a file
// or the archive of 4 GiB or more, or 65,535 files or more, raise Exception.
class TZipWriter {
public:
    using TWriteFn = std::function<void(const char* data, size_t size)>;

    // Writes from out's position on.
    explicit TZipWriter(TStream& out);

    // Adds the file name with what content hands to the function it is given.
    void Add(const std::string& name, const std::function<void(const TWriteFn& write)>& content);
    // Writes the central directory, which ends the archive.
    void Finish();

private:
    struct TEntry {
        std::string Name;
        uint32_t Crc;
        uint32_t Compressed;
        uint32_t Size;
        uint32_t Offset;
    };

    TStream& out_;
    int64_t start_;
    std::vector<TEntry> entries_;
};

} // namespace rtl
