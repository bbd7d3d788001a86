#include "CompileUnit.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "rtl/Bytes.h"
#include "rtl/Errors.h"
#include "rtl/ZStreams.h"

namespace core {

namespace {

void WriteInt32(rtl::TStream& stream, int32_t value) {
    uint8_t bytes[4];
    rtl::StoreLe32(bytes, static_cast<uint32_t>(value));
    stream.WriteBuffer(bytes, 4);
}

int32_t CheckedSize(int64_t size) {
    // A size that does not fit the directory's 32-bit field would make a container that
    // reads back wrong; refuse it instead of writing it.
    if (size < 0 || size > std::numeric_limits<int32_t>::max())
        throw rtl::EWriteError();
    return static_cast<int32_t>(size);
}

// The source is taken in pieces of this size, with progress reported after each.
constexpr int64_t ProgressPiece = int64_t(1) << 20;

} // namespace

TCompileStream::TCompileStream(TDeflateFn deflate) : target_(data_), deflate_(deflate) {}

TCompileStream::TCompileStream(rtl::TStream& target, TDeflateFn deflate)
    : target_(target), deflate_(deflate) {}

void TCompileStream::AddStream(rtl::TStream& source, bool compress) {
    const int64_t total = source.Size();
    const int32_t sourceSize = CheckedSize(total);
    source.SetPosition(0);
    const int64_t start = target_.Position();
    const auto report = [&](int64_t done) {
        if (OnProgress)
            OnProgress(done, total);
    };
    if (compress) {
        deflate_(source, total, target_, report);
    } else {
        std::vector<uint8_t> piece(static_cast<size_t>(std::min(total, ProgressPiece)));
        for (int64_t done = 0; done < total;) {
            const int64_t n = std::min(total - done, ProgressPiece);
            source.ReadBuffer(piece.data(), n);
            target_.WriteBuffer(piece.data(), n);
            done += n;
            report(done);
        }
    }
    const int32_t storedSize = CheckedSize(target_.Position() - start);
    written_ += storedSize;
    if (written_ > std::numeric_limits<int32_t>::max())
        throw rtl::EWriteError();
    sourceSizes_.push_back(sourceSize);
    storedSizes_.push_back(storedSize);
    ++entryCount_;
}

void TCompileStream::Finish() {
    for (int32_t i = 0; i < entryCount_; ++i) {
        WriteInt32(target_, sourceSizes_[static_cast<size_t>(i)]);
        WriteInt32(target_, storedSizes_[static_cast<size_t>(i)]);
    }
    WriteInt32(target_, entryCount_);
}

rtl::TMemoryStream& TCompileStream::Compile() {
    Finish();
    return data_;
}

} // namespace core
