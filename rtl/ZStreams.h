#pragma once

#include <memory>

#include "Streams.h"

namespace rtl {

// Buffer size on the zlib side of both streams.
constexpr int ZBufferSize = 65536;

// Write-only: deflates what is written (level 9, default window and memory level) and hands
// zlib's output to the target in pieces of at most ZBufferSize bytes. Finish ends the zlib
// stream, trailer included, and raises when that fails; a stream destroyed without Finish is
// left unfinished in the target.
class TCompressionStream : public TStream {
public:
    explicit TCompressionStream(TStream& target);
    ~TCompressionStream() override;
    TCompressionStream(const TCompressionStream&) = delete;
    TCompressionStream& operator=(const TCompressionStream&) = delete;

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
    ~TDecompressionStream() override;
    TDecompressionStream(const TDecompressionStream&) = delete;
    TDecompressionStream& operator=(const TDecompressionStream&) = delete;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    // Reads on to the end of the zlib stream so that its Adler-32 is checked, dropping any
    // further output: ECompressionError for a wrong checksum, EReadError when the stream
    // stops short of its end.
    void CheckEnd();
    // Bytes taken from the source but not part of the stream: after its end, what followed it
    // in the last piece read.
    int64_t UnusedInput() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace rtl
