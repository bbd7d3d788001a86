#pragma once

#include <cstdint>
#include <vector>

#include "rtl/Streams.h"

namespace core {

// Builds a packed stream container in memory: the entries' stored bytes back to back, then
// for each entry its source and stored size, then the entry count, all 32-bit signed
// little-endian. Entry sizes are signed 32-bit, so an entry must stay below 2 GiB.
class TCompileStream {
public:
    TCompileStream() = default;

    // Appends the whole source, from its byte 0, raw or as one zlib stream (level 9);
    // the source is left at its end.
    void AddStream(rtl::TStream& source, bool compress);
    // Appends the directory and count at Data's position and returns Data, still owned here,
    // positioned at its end.
    rtl::TMemoryStream& Compile();

    int32_t EntryCount() const { return EntryCount_; }

private:
    int32_t EntryCount_ = 0;
    rtl::TMemoryStream Data;
    std::vector<int32_t> SourceSizes;
    std::vector<int32_t> StoredSizes;
};

} // namespace core
