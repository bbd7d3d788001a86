#include "Streams.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "Errors.h"
#include "Paths.h"

namespace rtl {

TFileStream::TFileStream(const std::string& path, FileMode mode) : path_(path) {
    const int fd =
        mode == FileMode::OpenRead
            ? open(path.c_str(), O_RDONLY | O_CLOEXEC)
            : open(path.c_str(),
                   O_RDWR | O_CREAT | O_CLOEXEC | (mode == FileMode::CreateNew ? O_EXCL : O_TRUNC),
                   0666);
    if (fd < 0) {
        const std::string reason = LastErrorText();
        if (mode == FileMode::OpenRead)
            throw FileOpenError(path, reason);
        throw FileCreateError(path, reason);
    }
    handle_ = fd;
}

TFileStream::~TFileStream() {
    close(static_cast<int>(handle_));
}

int64_t TFileStream::ReadSome(void* buffer, int64_t count) {
    ssize_t n;
    do
        n = read(static_cast<int>(handle_), buffer, static_cast<size_t>(count));
    while (n < 0 && errno == EINTR);
    return n;
}

int64_t TFileStream::WriteSome(const void* buffer, int64_t count) {
    ssize_t n;
    do
        n = write(static_cast<int>(handle_), buffer, static_cast<size_t>(count));
    while (n < 0 && errno == EINTR);
    return n;
}

int64_t TFileStream::Seek(int64_t offset, SeekOrigin origin) {
    const int whence = origin == SeekOrigin::Beginning ? SEEK_SET
                       : origin == SeekOrigin::Current ? SEEK_CUR
                                                       : SEEK_END;
    return lseek(static_cast<int>(handle_), offset, whence);
}

} // namespace rtl
