#pragma once

#include <cstdint>
#include <memory>

#include "ContainerDirectory.h"
#include "rtl/Streams.h"

namespace core {

// Takes a whole packed stream container into memory and hands out its entries by index.
// Everything read from the container is untrusted: a directory that does not fit the data
// raises EReadError ("Stream read error") instead of reading outside it.
class TDecompileStream {
public:
    TDecompileStream() = default;

    // Copies the whole source, from its byte 0, and reads the directory at its end.
    void Decompile(rtl::TStream& source);

    // A new stream with the content of entry index, positioned at its end. An index at or
    // beyond the count gives an empty stream; a negative one raises EStringListError.
    // Sizes that differ, or force, mean the entry is inflated.
    std::unique_ptr<rtl::TMemoryStream> GetStream(int32_t index, bool force);

    int32_t EntryCount() const { return directory_.Count(); }
    // The sizes and place of entry index; EStringListError for an index out of range.
    int32_t SourceSize(int32_t index) const { return directory_.Entry(index).SourceSize; }
    int32_t StoredSize(int32_t index) const { return directory_.Entry(index).StoredSize; }
    // Where entry index's stored bytes start, counted from the container's first byte.
    int64_t Offset(int32_t index) const { return directory_.Entry(index).Offset; }

private:
    rtl::TMemoryStream data_;
    TContainerDirectory directory_;
};

} // namespace core
