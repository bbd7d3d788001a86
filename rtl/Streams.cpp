#include "Streams.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Errors.h"
#include "Guid.h"
#include "Paths.h"

namespace rtl {

namespace {

// Reading from bytes held in memory; a position outside them reads nothing.
int64_t ReadBytes(const uint8_t* data, int64_t size, int64_t& position, void* buffer,
                  int64_t count) {
    if (count <= 0 || position < 0 || position >= size)
        return 0;
    const int64_t n = std::min(count, size - position);
    std::memcpy(buffer, data + position, static_cast<size_t>(n));
    position += n;
    return n;
}

// Repeats step, which moves what it can of the rest and says how much, until count bytes are
// moved or a step moves none.
template <class TStep> int64_t Transfer(int64_t count, TStep step) {
    int64_t done = 0;
    while (done < count) {
        const int64_t n = step(done);
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

} // namespace

int64_t TStream::Size() {
    const int64_t position = Position();
    const int64_t size = Seek(0, SeekOrigin::End);
    Seek(position, SeekOrigin::Beginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
    if (count != 0 && Read(buffer, count) != count)
        throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count != 0 && Write(buffer, count) != count)
        throw EWriteError();
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<uint8_t> piece(static_cast<size_t>(std::min(count, CopyPieceSize)));
    int64_t left = count;
    while (left > 0) {
        const int64_t n = std::min(left, CopyPieceSize);
        source.ReadBuffer(piece.data(), n);
        WriteBuffer(piece.data(), n);
        left -= n;
    }
    return count;
}

TMemoryStream::~TMemoryStream() {
    std::free(data_);
}

void TMemoryStream::Reserve(int64_t capacity) {
    if (capacity <= capacity_)
        return;
    // Grow by a quarter at least so that appending in pieces stays linear.
    int64_t grown = std::max(capacity, capacity_ + capacity_ / 4);
    grown = (grown + 0xFFFF) & ~int64_t(0xFFFF);
    void* block = static_cast<uint64_t>(grown) > SIZE_MAX
                      ? nullptr
                      : std::realloc(data_, static_cast<size_t>(grown));
    if (block == nullptr && grown > capacity) {
        grown = capacity;
        block = std::realloc(data_, static_cast<size_t>(grown));
    }
    if (block == nullptr)
        throw MemoryStreamOutOfMemory();
    data_ = static_cast<uint8_t*>(block);
    capacity_ = grown;
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
    return Transfer(count, [&](int64_t done) {
        return ReadSome(static_cast<char*>(buffer) + done, count - done);
    });
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    return Transfer(count, [&](int64_t done) {
        return WriteSome(static_cast<const char*>(buffer) + done, count - done);
    });
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
    return ReadBytes(data_, size_, position_, buffer, count);
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0 || position_ < 0)
        return 0;
    const int64_t end = position_ + count;
    if (end > size_) {
        Reserve(end);
        if (position_ > size_)
            std::memset(data_ + size_, 0, static_cast<size_t>(position_ - size_));
        size_ = end;
    }
    std::memcpy(data_ + position_, buffer, static_cast<size_t>(count));
    position_ = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, SeekOrigin origin) {
    switch (origin) {
    case SeekOrigin::Beginning:
        position_ = offset;
        break;
    case SeekOrigin::Current:
        position_ += offset;
        break;
    case SeekOrigin::End:
        position_ = size_ + offset;
        break;
    }
    return position_;
}

void TMemoryStream::SetSize(int64_t size) {
    Reserve(size);
    if (size > size_)
        std::memset(data_ + size_, 0, static_cast<size_t>(size - size_));
    size_ = size;
    position_ = std::min(position_, size_);
}

void TMemoryStream::Clear() {
    std::free(data_);
    data_ = nullptr;
    size_ = capacity_ = position_ = 0;
}

std::string TMemoryStream::ToString() const {
    return std::string(reinterpret_cast<const char*>(data_), static_cast<size_t>(size_));
}

int64_t TMemoryView::Read(void* buffer, int64_t count) {
    return ReadBytes(data_, size_, position_, buffer, count);
}

int64_t TMemoryView::Write(const void*, int64_t) {
    return 0;
}

int64_t TMemoryView::Seek(int64_t offset, SeekOrigin origin) {
    position_ = origin == SeekOrigin::Beginning ? offset
                : origin == SeekOrigin::Current ? position_ + offset
                                                : size_ + offset;
    return position_;
}

void TMemoryStream::LoadFromStream(TStream& source) {
    source.SetPosition(0);
    const int64_t count = source.Size();
    SetSize(count);
    position_ = 0;
    int64_t done = 0;
    while (done < count) {
        const int64_t n = std::min(count - done, CopyPieceSize);
        source.ReadBuffer(data_ + done, n);
        done += n;
    }
}

void TMemoryStream::LoadFromFile(const std::string& path) {
    TFileStream file(path, FileMode::OpenRead);
    LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const std::string& path) const {
    TFileStream file(path, FileMode::Create);
    file.WriteBuffer(data_, size_);
}

void TMemoryStream::SaveToFileReplacing(const std::string& path) const {
    TReplacingFile file(path);
    file.Stream().WriteBuffer(data_, size_);
    file.Commit();
}

TReplacingFile::TReplacingFile(const std::string& path)
    : path_(path), scratch_(ExtractFilePath(path) + "~" + NewGuidText() + ".tmp") {
    try {
        file_ = std::make_unique<TFileStream>(scratch_, FileMode::Create);
    } catch (const EFCreateError& error) {
        throw FileCreateError(path, error.Reason);
    }
}

TReplacingFile::~TReplacingFile() {
    file_.reset();
    RemoveFile(scratch_);
}

void TReplacingFile::Commit() {
    file_.reset();
    if (!MoveReplacing(scratch_, path_))
        throw FileCreateError(path_, LastErrorText());
}

} // namespace rtl
