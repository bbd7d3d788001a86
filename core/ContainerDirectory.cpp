#include "ContainerDirectory.h"

#include <optional>

#include "PeImage.h"
#include "rtl/Bytes.h"
#include "rtl/Errors.h"

namespace core {

namespace {

constexpr int64_t MaxInflateRatio = 1032;
constexpr int64_t ZlibFraming = 64;
// Signing tools start the certificate table on an 8-byte boundary, padding the file with
// zeros first.
constexpr int64_t MaxAlignmentPadding = 7;

} // namespace

TContainerDirectory::TContainerDirectory(const uint8_t* data, int64_t size) {
    if (size < 4)
        throw rtl::EReadError();
    const int32_t count = static_cast<int32_t>(rtl::LoadLe32(data + size - 4));
    if (count <= 0)
        return;
    const int64_t directory = size - 4 - 8 * static_cast<int64_t>(count);
    if (directory < 0)
        throw rtl::EReadError();
    entries_.reserve(static_cast<size_t>(count));
    int64_t offset = 0;
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* sizes = data + directory + 8 * static_cast<int64_t>(i);
        const int32_t sourceSize = static_cast<int32_t>(rtl::LoadLe32(sizes));
        const int32_t storedSize = static_cast<int32_t>(rtl::LoadLe32(sizes + 4));
        // The stored bytes of every entry must lie before the directory.
        if (sourceSize < 0 || storedSize < 0 || offset + storedSize > directory)
            throw rtl::EReadError();
        entries_.push_back(TEntry{offset, sourceSize, storedSize});
        offset += storedSize;
    }
}

int64_t TContainerDirectory::ContainerEnd(const uint8_t* file, int64_t size) {
    const std::optional<TCertificateTable> table = FindCertificateTable(file, size);
    if (!table)
        return size;
    // The entry count is small and little-endian, so a count read across the padding reads
    // as zero; step back over zero bytes until the count is there.
    int64_t end = table->Offset;
    while (table->Offset - end < MaxAlignmentPadding && end > 4 && file[end - 1] == 0 &&
           rtl::LoadLe32(file + end - 4) == 0)
        --end;
    return end;
}

int64_t TContainerDirectory::ContainerStart(const uint8_t* file, int64_t end) {
    const auto fills = [file, end](int64_t start) {
        try {
            const TContainerDirectory directory(file + start, end - start);
            if (directory.Count() == 0)
                return false;
            const TEntry& last = directory.Entry(directory.Count() - 1);
            return last.Offset + last.StoredSize ==
                   end - start - 4 - 8 * int64_t(directory.Count());
        } catch (const rtl::EReadError&) {
            return false;
        }
    };
    if (fills(0))
        return 0;
    const std::optional<int64_t> program = ProgramEnd(file, end);
    return program && *program < end && fills(*program) ? *program : 0;
}

bool TContainerDirectory::CanInflate(int64_t stored, int64_t source) {
    return source <= stored * MaxInflateRatio + ZlibFraming;
}

const TContainerDirectory::TEntry& TContainerDirectory::Entry(int32_t index) const {
    if (index < 0 || index >= Count())
        throw rtl::ListIndexError(index);
    return entries_[static_cast<size_t>(index)];
}

} // namespace core
