#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/ContainerDirectory.h"
#include "rtl/Errors.h"

namespace wallpaper {

// The packed data of the file is not what the generator made: cut off, altered or not there.
// Message is the detail for the user, under the installer's own headline.
class EDamaged : public rtl::Exception {
public:
    using Exception::Exception;
};

// Receives an entry's content piece by piece as it is unpacked.
using TSink = std::function<void(const uint8_t* data, size_t size)>;

// Unpacks one zlib stream completely and checks it: the stream must end, with its Adler-32
// matching, exactly where the stored bytes end, and give exactly expected bytes. Anything
// else raises EDamaged with what went wrong; what names the entry in the message. Errors that
// sink raises pass through.
void InflateEntry(const uint8_t* stored, int64_t storedSize, int64_t expected,
                  const std::string& what, const TSink& sink);

// The packed stream container appended to a program file, read in place from the file's
// bytes, which the caller keeps alive for as long as this object lives.
class TPackedImage {
public:
    using TEntry = core::TContainerDirectory::TEntry;

    // Finds the container's end (before a certificate table) and reads its directory in place
    // with the container's directory reader, which checks every size against the data. Raises
    // EDamaged when there is no directory that fits, or none at all.
    TPackedImage(const uint8_t* image, int64_t size);

    int32_t Count() const { return directory_.Count(); }
    const TEntry& Entry(int32_t index) const { return directory_.Entry(index); }
    const uint8_t* StoredBytes(int32_t index) const { return image_ + Entry(index).Offset; }

    // Entry index unpacked and checked by InflateEntry.
    void Inflate(int32_t index, const std::string& what, const TSink& sink) const;
    std::string InflateToString(int32_t index, const std::string& what) const;
    // Entry index holds a .lzma file, whose header gives the size: that size, and its content
    // unpacked and checked. EDamaged, with what naming the entry, when the header gives no
    // size or the data does not unpack to it.
    int64_t LzmaSize(int32_t index, const std::string& what) const;
    void DecodeLzma(int32_t index, const std::string& what, const TSink& sink) const;
    // The first count bytes of entry index, fewer when it holds fewer or is damaged before
    // them; nothing is checked, Inflate reports the damage when the whole is unpacked.
    std::string Head(int32_t index, int64_t count) const;

private:
    const uint8_t* image_;
    core::TContainerDirectory directory_;
};

} // namespace wallpaper
