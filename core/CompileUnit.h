#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "rtl/Streams.h"

namespace core {

// Builds a packed stream container in memory: the entries' stored bytes back to back, then
// for each entry its source and stored size, then the entry count, all 32-bit signed
// little-endian. Entry sizes are signed 32-bit, so an entry must stay below 2 GiB.
class TCompileStream {
public:
    TCompileStream() = default;

    // Appends the whole source, from its byte 0, raw or as one zlib stream (level 9, deflated
    // on every core when large: rtl::Deflate), straight into the container's buffer; the
    // source is left at its end.
    void AddStream(rtl::TStream& source, bool compress);
    // Appends the directory and count at the data's position and returns the data, still owned
    // here, positioned at its end.
    rtl::TMemoryStream& Compile();

    int32_t EntryCount() const { return entryCount_; }

    // Called as AddStream takes in a source: the bytes taken so far and the source's size.
    std::function<void(int64_t done, int64_t total)> OnProgress;

private:
    int32_t entryCount_ = 0;
    rtl::TMemoryStream data_;
    std::vector<int32_t> sourceSizes_;
    std::vector<int32_t> storedSizes_;
};

} // namespace core
