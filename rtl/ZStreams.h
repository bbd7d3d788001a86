#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "Streams.h"

namespace rtl {

// Buffer size on the zlib side of both streams.
constexpr int ZBufferSize = 65536;

// Sources of this size and more are deflated in blocks of it, on every core.
constexpr int64_t DeflateBlockSize = int64_t(1) << 20;

// Deflates size bytes read from source's position into target as one zlib stream of level 9,
// as any inflater reads it. A source of DeflateBlockSize or more is deflated in blocks of that
// size on threads workers at once (0: one per core), the way pigz does it: each block raw
// deflate of level 9 with the default window, primed with the 32 KiB of input before it and
// ended with a sync flush (the last one finished), behind the zlib header of level 9 and under
// the Adler-32 of the whole. The blocks' size is fixed, so the bytes are the same for any
// number of threads on any machine. A smaller source is one plain stream, as
// TCompressionStream writes it. progress receives the bytes taken so far. Memory stays at a
// few blocks per worker, whatever the size.
void Deflate(TStream& source, int64_t size, TStream& target,
             const std::function<void(int64_t done)>& progress, unsigned threads = 0);

// The same as one plain stream on this thread, as Deflate writes a source under
// DeflateBlockSize: for programs that deflate only small data and should carry no threads.
void DeflateWhole(TStream& source, int64_t size, TStream& target,
                  const std::function<void(int64_t done)>& progress);

// Write-only: deflates what is written (level 9, default window and memory level) and hands
// zlib's output to the target in pieces of at most ZBufferSize bytes. Finish ends the zlib
// stream, trailer included, and raises when that fails; a stream destroyed without Finish is
// left unfinished in the target. With raw set it writes bare deflate data, without the zlib
// header and trailer, as .zip entries hold it.
class TCompressionStream : public TStream {
public:
    explicit TCompressionStream(TStream& target, bool raw = false);
    ~TCompressionStream() override;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    void Finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Read-only: inflates a zlib stream read from the source's position, in pieces of at most
// ZBufferSize bytes. Rejected data raises ECompressionError; a stream that ends early gives a
// short read (EReadError in ReadBuffer). The one inflate loop of the system.
class TDecompressionStream : public TStream {
public:
    explicit TDecompressionStream(TStream& source);
    // Inflates size bytes held in memory, read in place.
    TDecompressionStream(const uint8_t* data, int64_t size);
    ~TDecompressionStream() override;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    // Reads on to the end of the zlib stream so that its Adler-32 is checked, dropping any
    // further output: ECompressionError for a wrong checksum, EReadError when the stream
    // stops short of its end.
    void CheckEnd();
    // Bytes taken from the source but not part of the stream: after its end, what followed it
    // in the last piece read, or all that followed it in memory.
    int64_t UnusedInput() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace rtl
