#include "Streams.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "Errors.h"
#include "Paths.h"

namespace rtl {

TFileStream::TFileStream(const std::string& path, FileMode mode) : path_(path) {
    const int fd = mode == FileMode::OpenRead
                       ? open(path.c_str(), O_RDONLY | O_CLOEXEC)
                       : open(path.c_str(),
                              O_RDWR | O_CREAT | O_CLOEXEC |
                                  (mode == FileMode::CreateNew ? O_EXCL : O_TRUNC),
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

int64_t TFileStream::Read(void* buffer, int64_t count) {
    int64_t done = 0;
    while (done < count) {
        const ssize_t n = read(static_cast<int>(handle_), static_cast<char*>(buffer) + done,
                               static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    int64_t done = 0;
    while (done < count) {
        const ssize_t n = write(static_cast<int>(handle_), static_cast<const char*>(buffer) + done,
                                static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Seek(int64_t offset, SeekOrigin origin) {
    const int whence = origin == SeekOrigin::Beginning ? SEEK_SET
                       : origin == SeekOrigin::Current ? SEEK_CUR
                                                       : SEEK_END;
    return lseek(static_cast<int>(handle_), offset, whence);
}

} // namespace rtl
