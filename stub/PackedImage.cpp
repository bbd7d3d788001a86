#include "PackedImage.h"

#include <zlib.h>

#include <algorithm>
#include <memory>

#include "PeImage.h"
#include "core/DecompileUnit.h"
#include "rtl/Streams.h"
#include "rtl/ZStreams.h"

namespace stub {

namespace {

// zlib counts in 32-bit units; larger inputs are fed in pieces of this size.
constexpr int64_t MaxZCall = int64_t(1) << 30;

struct TInflater {
    z_stream z{};
    TInflater() {
        if (inflateInit(&z) != Z_OK)
            throw rtl::EOutOfMemory();
    }
    ~TInflater() { inflateEnd(&z); }
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;
};

} // namespace

void InflateEntry(const uint8_t* stored, int64_t storedSize, int64_t expected,
                  const std::string& what, const TSink& sink) {
    TInflater inflater;
    z_stream& z = inflater.z;
    const auto out = std::make_unique<uint8_t[]>(rtl::ZBufferSize);
    const uint8_t* next = stored;
    int64_t left = storedSize;
    int64_t produced = 0;
    for (;;) {
        if (z.avail_in == 0 && left > 0) {
            const int64_t piece = std::min(left, MaxZCall);
            z.next_in = const_cast<Bytef*>(next);
            z.avail_in = static_cast<uInt>(piece);
            next += piece;
            left -= piece;
        }
        z.next_out = out.get();
        z.avail_out = rtl::ZBufferSize;
        const int result = inflate(&z, Z_NO_FLUSH);
        if (result == Z_MEM_ERROR)
            throw rtl::EOutOfMemory();
        if (result == Z_NEED_DICT || result == Z_DATA_ERROR || result == Z_STREAM_ERROR)
            throw EDamaged(
                what + " does not unpack: " + (z.msg != nullptr ? z.msg : "damaged data") + ".");
        const size_t count = rtl::ZBufferSize - z.avail_out;
        if (produced + static_cast<int64_t>(count) > expected)
            throw EDamaged(what + " unpacks to more bytes than recorded.");
        if (count > 0)
            sink(out.get(), count);
        produced += static_cast<int64_t>(count);
        if (result == Z_STREAM_END)
            break;
        // No output space was short, so no progress means the input ran out mid-stream.
        if (result == Z_BUF_ERROR && z.avail_in == 0 && left == 0)
            throw EDamaged(what + " is cut off.");
    }
    if (produced != expected)
        throw EDamaged(what + " unpacks to fewer bytes than recorded.");
    if (z.avail_in != 0 || left != 0)
        throw EDamaged(what + " has bytes after its end.");
}

TPackedImage::TPackedImage(const uint8_t* image, int64_t size) : image_(image) {
    core::TDecompileStream reader;
    rtl::TMemoryView view(image, ContainerEnd(image, size));
    try {
        reader.Decompile(view);
    } catch (const rtl::EReadError&) {
        throw EDamaged("Its table of contents does not fit the file (it may be cut off).");
    }
    if (reader.EntryCount() <= 0)
        throw EDamaged("It holds no packed data.");
    entries_.reserve(static_cast<size_t>(reader.EntryCount()));
    for (int32_t i = 0; i < reader.EntryCount(); ++i)
        entries_.push_back(TEntry{reader.Offset(i), reader.StoredSize(i), reader.SourceSize(i)});
}

void TPackedImage::Inflate(int32_t index, const std::string& what, const TSink& sink) const {
    const TEntry& entry = Entry(index);
    InflateEntry(image_ + entry.Offset, entry.StoredSize, entry.SourceSize, what, sink);
}

std::string TPackedImage::InflateToString(int32_t index, const std::string& what) const {
    std::string text;
    text.reserve(static_cast<size_t>(Entry(index).SourceSize));
    Inflate(index, what, [&](const uint8_t* data, size_t size) {
        text.append(reinterpret_cast<const char*>(data), size);
    });
    return text;
}

} // namespace stub
