#pragma once

#include <cstdint>
#include <vector>

namespace core {

// The directory of a packed stream container, read from bytes already in memory, which the
// caller keeps alive; nothing is copied. Everything in it is untrusted: an entry whose stored
// bytes would lie outside the data raises EReadError ("Stream read error").
class TContainerDirectory {
public:
    struct TEntry {
        int64_t Offset; // from the container's first byte
        int32_t SourceSize;
        int32_t StoredSize;
    };

    // No entries.
    TContainerDirectory() = default;
    // data[0, size) is the whole container. A count of 0 or below gives no entries.
    TContainerDirectory(const uint8_t* data, int64_t size);

    // Where a container appended to a program file ends: the file's end, or, in a file signed
    // after the container was appended, the start of its certificate table less the padding
    // that signing tools put before it.
    static int64_t ContainerEnd(const uint8_t* file, int64_t size);
    // Where the container that ends at end starts: at 0 (an installer, a project), or where the
    // program ends in a program file that carries a container behind its program (the stub
    // with its web player); the start from which the entries fill every byte before the
    // directory is taken, else 0.
    static int64_t ContainerStart(const uint8_t* file, int64_t end);

    // Whether a compressed entry of stored bytes could inflate to source bytes: deflate
    // expands at most about 1032 to 1, so a larger source size cannot be genuine and must not
    // be allocated.
    static bool CanInflate(int64_t stored, int64_t source);

    int32_t Count() const { return static_cast<int32_t>(entries_.size()); }
    // Raises EStringListError for an index out of range.
    const TEntry& Entry(int32_t index) const;

private:
    std::vector<TEntry> entries_;
};

} // namespace core
