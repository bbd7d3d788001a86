#include "DecompileUnit.h"

#include "rtl/Errors.h"
#include "rtl/ZStreams.h"

namespace core {

void TDecompileStream::Decompile(rtl::TStream& source) {
    // Emptied first, so a failure leaves no directory over the new data.
    directory_ = TContainerDirectory();
    data_.LoadFromStream(source);
    directory_ = TContainerDirectory(data_.Memory(), data_.Size());
}

std::unique_ptr<rtl::TMemoryStream> TDecompileStream::GetStream(int32_t index, bool force) {
    if (index < 0)
        throw rtl::ListIndexError(index);
    auto result = std::make_unique<rtl::TMemoryStream>();
    if (index >= EntryCount())
        return result;
    const TContainerDirectory::TEntry& place = directory_.Entry(index);
    const int64_t stored = place.StoredSize;
    const int64_t size = place.SourceSize;
    rtl::TMemoryView entry(data_.Memory() + place.Offset, stored);
    if (stored == size && !force) {
        result->CopyFrom(entry, 0);
        return result;
    }
    if (!TContainerDirectory::CanInflate(stored, size))
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
