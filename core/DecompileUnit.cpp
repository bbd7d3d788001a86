#include "DecompileUnit.h"

#include "rtl/Errors.h"
#include "rtl/ZStreams.h"

namespace core {

namespace {

// Deflate expands at most about 1032 to 1, so a source size beyond this many times the
// stored size (plus the zlib framing) cannot be genuine.
constexpr int64_t MaxInflateRatio = 1032;
constexpr int64_t ZlibFraming = 64;

int32_t ReadInt32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 |
                                static_cast<uint32_t>(p[3]) << 24);
}

} // namespace

void TDecompileStream::Decompile(rtl::TStream& source) {
    Data.LoadFromStream(source);
    const int64_t length = Data.Size();
    if (length < 4)
        throw rtl::EReadError();
    const uint8_t* bytes = Data.Memory();
    const int32_t count = ReadInt32(bytes + length - 4);
    if (count <= 0)
        return;
    const int64_t directory = length - 4 - 8 * static_cast<int64_t>(count);
    if (directory < 0)
        throw rtl::EReadError();
    std::vector<int32_t> sourceSizes, storedSizes;
    std::vector<int64_t> offsets;
    sourceSizes.reserve(static_cast<size_t>(count));
    storedSizes.reserve(static_cast<size_t>(count));
    offsets.reserve(static_cast<size_t>(count));
    int64_t offset = 0;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t sourceSize = ReadInt32(bytes + directory + 8 * static_cast<int64_t>(i));
        const int32_t storedSize = ReadInt32(bytes + directory + 8 * static_cast<int64_t>(i) + 4);
        // The stored bytes of every entry must lie before the directory.
        if (sourceSize < 0 || storedSize < 0 || offset + storedSize > directory)
            throw rtl::EReadError();
        sourceSizes.push_back(sourceSize);
        storedSizes.push_back(storedSize);
        offsets.push_back(offset);
        offset += storedSize;
    }
    EntryCount_ = count;
    SourceSizes = std::move(sourceSizes);
    StoredSizes = std::move(storedSizes);
    Offsets = std::move(offsets);
}

std::unique_ptr<rtl::TMemoryStream> TDecompileStream::GetStream(int32_t index, bool force) {
    if (index < 0)
        throw rtl::ListIndexError(index);
    auto result = std::make_unique<rtl::TMemoryStream>();
    if (index >= EntryCount_)
        return result;
    const int64_t stored = StoredSizes[static_cast<size_t>(index)];
    const int64_t size = SourceSizes[static_cast<size_t>(index)];
    rtl::TMemoryView entry(Data.Memory() + Offsets[static_cast<size_t>(index)], stored);
    if (stored == size && !force) {
        result->CopyFrom(entry, 0);
        return result;
    }
    if (size > stored * MaxInflateRatio + ZlibFraming)
        throw rtl::EReadError();
    rtl::TDecompressionStream inflater(entry);
    try {
        result->SetSize(size);
    } catch (const rtl::EStreamError&) {
        throw rtl::EOutOfMemory();
    }
    inflater.ReadBuffer(result->Memory(), size);
    // The content is all there; the stream's checksum after it tells whether it is right. An
    // entry of no stored bytes has no stream to check (an empty raw entry read with force).
    if (stored > 0)
        inflater.CheckEnd();
    result->Seek(0, rtl::SeekOrigin::End);
    return result;
}

} // namespace core
