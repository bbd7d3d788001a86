#include "ZStreams.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "Errors.h"
#include "ZlibCheck.h"

namespace rtl {

namespace {

// zlib counts in 32-bit units; larger requests are fed in pieces of this size.
constexpr int64_t MaxZCall = int64_t(1) << 30;

} // namespace

struct TCompressionStream::State {
    TStream& target;
    z_stream z{};
    unsigned char buffer[ZBufferSize];
    bool finished = false;
    int64_t written = 0;

    explicit State(TStream& t) : target(t) {}
    void Flush() {
        const int64_t n = ZBufferSize - z.avail_out;
        if (n > 0)
            target.WriteBuffer(buffer, n);
        z.next_out = buffer;
        z.avail_out = ZBufferSize;
    }
};

TCompressionStream::TCompressionStream(TStream& target, bool raw) : state_(new State(target)) {
    Check(deflateInit2(&state_->z, Z_BEST_COMPRESSION, Z_DEFLATED, raw ? -MAX_WBITS : MAX_WBITS, 8,
                       Z_DEFAULT_STRATEGY),
          state_->z);
    state_->z.next_out = state_->buffer;
    state_->z.avail_out = ZBufferSize;
}

TCompressionStream::~TCompressionStream() {
    deflateEnd(&state_->z);
}

int64_t TCompressionStream::Read(void*, int64_t) {
    throw ECompressionError();
}

int64_t TCompressionStream::Write(const void* buffer, int64_t count) {
    State& s = *state_;
    int64_t done = 0;
    while (done < count) {
        const int64_t piece = count - done < MaxZCall ? count - done : MaxZCall;
        s.z.next_in = const_cast<Bytef*>(static_cast<const Bytef*>(buffer) + done);
        s.z.avail_in = static_cast<uInt>(piece);
        while (s.z.avail_in > 0) {
            Check(deflate(&s.z, Z_NO_FLUSH), s.z);
            if (s.z.avail_out == 0)
                s.Flush();
        }
        done += piece;
    }
    s.written += count;
    return count;
}

int64_t TCompressionStream::Seek(int64_t offset, SeekOrigin origin) {
    if (offset == 0 && origin == SeekOrigin::Current)
        return state_->written;
    throw ECompressionError();
}

void TCompressionStream::Finish() {
    State& s = *state_;
    if (s.finished)
        return;
    s.finished = true;
    s.z.next_in = nullptr;
    s.z.avail_in = 0;
    for (;;) {
        const int result = deflate(&s.z, Z_FINISH);
        Check(result, s.z);
        if (s.z.avail_out == 0 || result == Z_STREAM_END)
            s.Flush();
        if (result == Z_STREAM_END)
            break;
    }
}

struct TDecompressionStream::State {
    TStream* source;
    // Input read in place instead of from source.
    const uint8_t* memory = nullptr;
    int64_t memoryLeft = 0;
    z_stream z{};
    unsigned char buffer[ZBufferSize];
    bool ended = false;
    bool complete = false;
    int64_t produced = 0;

    explicit State(TStream* s) : source(s) {}
    void Refill() {
        if (source != nullptr) {
            z.next_in = buffer;
            z.avail_in = static_cast<uInt>(source->Read(buffer, ZBufferSize));
            return;
        }
        const int64_t piece = std::min(memoryLeft, MaxZCall);
        z.next_in = const_cast<Bytef*>(memory);
        z.avail_in = static_cast<uInt>(piece);
        memory += piece;
        memoryLeft -= piece;
    }
};

TDecompressionStream::TDecompressionStream(TStream& source) : state_(new State(&source)) {
    Check(inflateInit(&state_->z), state_->z);
}

TDecompressionStream::TDecompressionStream(const uint8_t* data, int64_t size)
    : state_(new State(nullptr)) {
    state_->memory = data;
    state_->memoryLeft = size;
    Check(inflateInit(&state_->z), state_->z);
}

TDecompressionStream::~TDecompressionStream() {
    inflateEnd(&state_->z);
}

int64_t TDecompressionStream::Read(void* buffer, int64_t count) {
    State& s = *state_;
    int64_t done = 0;
    while (done < count && !s.ended) {
        const int64_t piece = count - done < MaxZCall ? count - done : MaxZCall;
        s.z.next_out = static_cast<Bytef*>(buffer) + done;
        s.z.avail_out = static_cast<uInt>(piece);
        while (s.z.avail_out > 0) {
            if (s.z.avail_in == 0)
                s.Refill();
            const bool sourceEmpty = s.z.avail_in == 0;
            const int result = inflate(&s.z, Z_NO_FLUSH);
            Check(result, s.z);
            if (result == Z_STREAM_END) {
                s.ended = true;
                s.complete = true;
                break;
            }
            // Input ran out before the stream ended: a truncated stream.
            if (sourceEmpty && result == Z_BUF_ERROR) {
                s.ended = true;
                break;
            }
        }
        done += piece - s.z.avail_out;
    }
    s.produced += done;
    return done;
}

void TDecompressionStream::CheckEnd() {
    unsigned char rest[4096];
    while (!state_->ended)
        Read(rest, sizeof rest);
    if (!state_->complete)
        throw EReadError();
}

int64_t TDecompressionStream::UnusedInput() const {
    return state_->z.avail_in + state_->memoryLeft;
}

int64_t TDecompressionStream::Write(const void*, int64_t) {
    throw ECompressionError();
}

int64_t TDecompressionStream::Seek(int64_t offset, SeekOrigin origin) {
    if (offset == 0 && origin == SeekOrigin::Current)
        return state_->produced;
    throw ECompressionError();
}

void DeflateWhole(TStream& source, int64_t size, TStream& target,
                  const std::function<void(int64_t done)>& progress) {
    TCompressionStream stream(target);
    std::vector<uint8_t> piece(static_cast<size_t>(std::min<int64_t>(size, ZBufferSize)));
    for (int64_t done = 0; done < size;) {
        const int64_t n = std::min<int64_t>(size - done, ZBufferSize);
        source.ReadBuffer(piece.data(), n);
        stream.WriteBuffer(piece.data(), n);
        done += n;
        if (progress)
            progress(done);
    }
    stream.Finish();
}

} // namespace rtl
