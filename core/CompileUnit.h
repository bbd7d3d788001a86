#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "rtl/Streams.h"
#include "rtl/ZStreams.h"

namespace core {

// Builds a packed stream container: the entries' stored bytes back to back, then for each
// entry its source and stored size, then the entry count, all 32-bit signed little-endian.
// Entry sizes are signed 32-bit, so an entry must stay below 2 GiB.
class TCompileStream {
public:
    // How a compressed entry is deflated: rtl::Deflate, on every core when large, unless the
    // program gives rtl::DeflateWhole, as the installer does, which then carries no threads.
    using TDeflateFn = void (*)(rtl::TStream& source, int64_t size, rtl::TStream& target,
                                const std::function<void(int64_t done)>& progress);
    static void DeflateOnEveryCore(rtl::TStream& source, int64_t size, rtl::TStream& target,
                                   const std::function<void(int64_t done)>& progress) {
        rtl::Deflate(source, size, target, progress);
    }

    // Builds the container in memory.
    explicit TCompileStream(TDeflateFn deflate = DeflateOnEveryCore);
    // Writes the container into target from its position as the entries come, so memory
    // stays small whatever their size.
    explicit TCompileStream(rtl::TStream& target, TDeflateFn deflate = DeflateOnEveryCore);
    TCompileStream(const TCompileStream&) = delete;
    TCompileStream& operator=(const TCompileStream&) = delete;

    // Appends the whole source, from its byte 0, raw or as one zlib stream of level 9; the
    // source is left at its end.
    void AddStream(rtl::TStream& source, bool compress);
    // Appends the directory and count.
    void Finish();
    // Finish for a container in memory; returns it, still owned here, positioned at its end.
    rtl::TMemoryStream& Compile();

    int32_t EntryCount() const { return entryCount_; }

    // Called as AddStream takes in a source: the bytes taken so far and the source's size.
    std::function<void(int64_t done, int64_t total)> OnProgress;

private:
    int32_t entryCount_ = 0;
    rtl::TMemoryStream data_;
    rtl::TStream& target_;
    TDeflateFn deflate_;
    int64_t written_ = 0;
    std::vector<int32_t> sourceSizes_;
    std::vector<int32_t> storedSizes_;
};

} // namespace core
