#include "PackedImage.h"

#include <algorithm>
#include <memory>

#include "rtl/Bytes.h"
#include "rtl/Lzma.h"
#include "rtl/ZStreams.h"

namespace wallpaper {

void InflateEntry(const uint8_t* stored, int64_t storedSize, int64_t expected,
                  const std::string& what, const TSink& sink) {
    rtl::TDecompressionStream inflater(stored, storedSize);
    const auto out = std::make_unique<uint8_t[]>(rtl::ZBufferSize);
    // Only the inflater's own errors are damage; the sink's pass through as they are.
    const auto unpacked = [&](const std::function<int64_t()>& step) {
        try {
            return step();
        } catch (const rtl::ECompressionError& error) {
            throw EDamaged(what + " does not unpack: " +
                           (error.Detail.empty() ? "damaged data" : error.Detail) + ".");
        } catch (const rtl::EReadError&) {
            throw EDamaged(what + " is cut off.");
        }
    };
    int64_t produced = 0;
    for (;;) {
        const int64_t count = unpacked([&] { return inflater.Read(out.get(), rtl::ZBufferSize); });
        if (count == 0)
            break;
        if (produced + count > expected)
            throw EDamaged(what + " unpacks to more bytes than recorded.");
        sink(out.get(), static_cast<size_t>(count));
        produced += count;
    }
    unpacked([&] {
        inflater.CheckEnd();
        return int64_t(0);
    });
    if (produced != expected)
        throw EDamaged(what + " unpacks to fewer bytes than recorded.");
    if (inflater.UnusedInput() != 0)
        throw EDamaged(what + " has bytes after its end.");
}

TPackedImage::TPackedImage(const uint8_t* image, int64_t size) : image_(image) {
    try {
        directory_ =
            core::TContainerDirectory(image, core::TContainerDirectory::ContainerEnd(image, size));
    } catch (const rtl::EReadError&) {
        throw EDamaged("Its table of contents does not fit the file (it may be cut off).");
    }
    if (directory_.Count() == 0)
        throw EDamaged("It holds no packed data.");
    // Checked before anything is allocated for an entry.
    for (int32_t i = 0; i < directory_.Count(); ++i)
        if (!core::TContainerDirectory::CanInflate(Entry(i).StoredSize, Entry(i).SourceSize))
            throw EDamaged("Its table of contents records more than its parts could hold.");
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

namespace {

// The properties, then the size as 64 bits.
constexpr int64_t LzmaHeaderSize = rtl::LzmaPropertiesSize + 8;

} // namespace

int64_t TPackedImage::LzmaSize(int32_t index, const std::string& what) const {
    const std::string header = Head(index, LzmaHeaderSize);
    if (static_cast<int64_t>(header.size()) != LzmaHeaderSize)
        throw EDamaged(what + " is cut off.");
    const auto* bytes = reinterpret_cast<const uint8_t*>(header.data());
    const uint64_t size = uint64_t(rtl::LoadLe32(bytes + 5)) | uint64_t(rtl::LoadLe32(bytes + 9))
                                                                   << 32;
    // Sizes up to 4 GiB only: a file given as of unknown size, or larger, is none of ours.
    if (size > 0xFFFFFFFFu)
        throw EDamaged(what + " does not unpack: its size is not given.");
    return static_cast<int64_t>(size);
}

void TPackedImage::DecodeLzma(int32_t index, const std::string& what, const TSink& sink) const {
    const int64_t size = LzmaSize(index, what);
    const TEntry& entry = Entry(index);
    try {
        rtl::TDecompressionStream inflater(image_ + entry.Offset, entry.StoredSize);
        uint8_t header[LzmaHeaderSize];
        inflater.ReadBuffer(header, LzmaHeaderSize);
        rtl::TLzmaDecompressionStream lzma(inflater, header, size);
        const auto out = std::make_unique<uint8_t[]>(rtl::ZBufferSize);
        for (int64_t n; (n = lzma.Read(out.get(), rtl::ZBufferSize)) > 0;)
            sink(out.get(), static_cast<size_t>(n));
        lzma.CheckEnd();
        inflater.CheckEnd();
    } catch (const rtl::ECompressionError& error) {
        throw EDamaged(what + " does not unpack: " +
                       (error.Detail.empty() ? "damaged data" : error.Detail) + ".");
    } catch (const rtl::EReadError&) {
        throw EDamaged(what + " is cut off.");
    }
}

std::string TPackedImage::Head(int32_t index, int64_t count) const {
    const TEntry& entry = Entry(index);
    std::string head(static_cast<size_t>(std::min<int64_t>(count, entry.SourceSize)), '\0');
    int64_t done = 0;
    try {
        rtl::TDecompressionStream inflater(image_ + entry.Offset, entry.StoredSize);
        for (int64_t n = 1; n > 0 && done < static_cast<int64_t>(head.size()); done += n)
            n = inflater.Read(&head[static_cast<size_t>(done)],
                              static_cast<int64_t>(head.size()) - done);
    } catch (const rtl::ECompressionError&) {
    }
    head.resize(static_cast<size_t>(done));
    return head;
}

} // namespace wallpaper
