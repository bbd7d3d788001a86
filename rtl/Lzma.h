#pragma once

#include <cstdint>
#include <memory>

#include "Streams.h"

namespace rtl {

// The five bytes that lead raw LZMA data: lc, lp and pb in one byte, then the dictionary size.
constexpr int LzmaPropertiesSize = 5;
// The largest window a stream may make the decoder keep. The window is no larger than the
// stream's output, and grows only as output is made, so a size a damaged header claims costs
// nothing until data backs it.
constexpr uint32_t MaxLzmaDictionary = uint32_t(1) << 30;

// Read-only: decodes raw LZMA data (the coder of .lzma files and of LZMA-compressed Flash
// movies) read from the source's position, whose properties are given apart; unpackedSize is
// the number of bytes it gives, or -1 for data that ends with the end marker. Properties no
// LZMA stream has, or a dictionary over MaxLzmaDictionary, raise ECompressionError at
// construction; damaged data raises ECompressionError when read; data that ends early gives
// a short read, as TDecompressionStream does.
class TLzmaDecompressionStream : public TStream {
public:
    TLzmaDecompressionStream(TStream& source, const uint8_t* properties, int64_t unpackedSize);
    // Decodes size bytes held in memory, read in place.
    TLzmaDecompressionStream(const uint8_t* data, int64_t size, const uint8_t* properties,
                             int64_t unpackedSize);
    ~TLzmaDecompressionStream() override;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    // Reads on to the end of the data, dropping any further output: EReadError when it stops
    // short of its end (the size given, or the end marker), ECompressionError when damaged.
    void CheckEnd();

    struct State;

private:
    std::unique_ptr<State> state_;
};

} // namespace rtl
