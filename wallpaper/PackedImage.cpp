#include "PackedImage.h"

#include <memory>

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

} // namespace wallpaper
