#include "PeImage.h"

#include <algorithm>
#include <cstring>

#include "rtl/Bytes.h"

namespace core {

namespace {

constexpr int64_t DosHeaderSize = 64;
constexpr int64_t NewHeaderPointer = 0x3C;
constexpr int64_t CoffHeaderSize = 20;
constexpr uint32_t Pe32Magic = 0x10B;
constexpr uint32_t Pe32PlusMagic = 0x20B;
constexpr uint32_t SecurityDirectory = 4;
constexpr int64_t DirectoryEntrySize = 8;
constexpr int64_t SectionHeaderSize = 40;

struct THeaders {
    int64_t Pe;           // the "PE" signature
    int64_t Optional;     // the optional header
    int64_t OptionalSize; // as the file header records it
};

// The headers of a PE image, each checked to lie within the bytes.
std::optional<THeaders> ReadHeaders(const uint8_t* image, int64_t size) {
    if (size < DosHeaderSize || image[0] != 'M' || image[1] != 'Z')
        return std::nullopt;
    const int64_t pe = rtl::LoadLe32(image + NewHeaderPointer);
    const int64_t optional = pe + 4 + CoffHeaderSize;
    if (optional + 2 > size || std::memcmp(image + pe, "PE\0\0", 4) != 0)
        return std::nullopt;
    const int64_t optionalSize = rtl::LoadLe16(image + pe + 4 + 16);
    if (optional + optionalSize > size)
        return std::nullopt;
    return THeaders{pe, optional, optionalSize};
}

} // namespace

std::optional<int64_t> SecurityDirectoryEntry(const uint8_t* image, int64_t size) {
    const std::optional<THeaders> headers = ReadHeaders(image, size);
    if (!headers)
        return std::nullopt;
    const int64_t optional = headers->Optional;
    const uint32_t magic = rtl::LoadLe16(image + optional);
    int64_t countField, directories;
    if (magic == Pe32Magic) {
        countField = optional + 92;
        directories = optional + 96;
    } else if (magic == Pe32PlusMagic) {
        countField = optional + 108;
        directories = optional + 112;
    } else {
        return std::nullopt;
    }
    const int64_t entry = directories + SecurityDirectory * DirectoryEntrySize;
    const int64_t optionalEnd = optional + headers->OptionalSize;
    if (countField + 4 > optionalEnd || entry + DirectoryEntrySize > optionalEnd ||
        rtl::LoadLe32(image + countField) <= SecurityDirectory)
        return std::nullopt;
    return entry;
}

std::optional<int64_t> ProgramEnd(const uint8_t* image, int64_t size) {
    const std::optional<THeaders> headers = ReadHeaders(image, size);
    if (!headers)
        return std::nullopt;
    const int64_t count = rtl::LoadLe16(image + headers->Pe + 4 + 2);
    const int64_t table = headers->Optional + headers->OptionalSize;
    int64_t end = table + count * SectionHeaderSize;
    if (end > size)
        return std::nullopt;
    for (int64_t i = 0; i < count; ++i) {
        const uint8_t* section = image + table + i * SectionHeaderSize;
        const int64_t rawSize = rtl::LoadLe32(section + 16);
        const int64_t rawStart = rtl::LoadLe32(section + 20);
        if (rawSize > 0)
            end = std::max(end, rawStart + rawSize);
    }
    if (end > size)
        return std::nullopt;
    return end;
}

std::optional<TCertificateTable> FindCertificateTable(const uint8_t* image, int64_t size) {
    const std::optional<int64_t> entry = SecurityDirectoryEntry(image, size);
    if (!entry)
        return std::nullopt;
    const int64_t offset = rtl::LoadLe32(image + *entry);
    const int64_t length = rtl::LoadLe32(image + *entry + 4);
    // A table overlapping the headers cannot be genuine; the smallest certificate entry has an
    // 8-byte header.
    if (length < 8 || offset < *entry + DirectoryEntrySize || offset + length != size)
        return std::nullopt;
    return TCertificateTable{offset, length};
}

bool ClearForeignCertificate(uint8_t* image, int64_t size) {
    const std::optional<int64_t> entry = SecurityDirectoryEntry(image, size);
    if (!entry)
        return false;
    const int64_t offset = rtl::LoadLe32(image + *entry);
    const int64_t length = rtl::LoadLe32(image + *entry + 4);
    if ((offset == 0 && length == 0) || offset + length <= size)
        return false;
    std::memset(image + *entry, 0, DirectoryEntrySize);
    return true;
}

} // namespace core
