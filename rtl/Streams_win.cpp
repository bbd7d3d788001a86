#include "Streams.h"

#include <windows.h>

#include <algorithm>

#include "Errors.h"
#include "Paths.h"

namespace rtl {

TFileStream::TFileStream(const std::string& path, FileMode mode) : path_(path) {
    HANDLE h = mode == FileMode::OpenRead
                   ? CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                   : CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 mode == FileMode::CreateNew ? CREATE_NEW : CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const std::string reason = LastErrorText();
        if (mode == FileMode::OpenRead)
            throw FileOpenError(path, reason);
        throw FileCreateError(path, reason);
    }
    handle_ = reinterpret_cast<intptr_t>(h);
}

TFileStream::~TFileStream() {
    CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

// ReadFile and WriteFile take 32-bit counts; larger requests go in 1 GiB calls.
constexpr int64_t MaxCall = int64_t(1) << 30;

int64_t TFileStream::ReadSome(void* buffer, int64_t count) {
    DWORD n = 0;
    return ReadFile(reinterpret_cast<HANDLE>(handle_), buffer,
                    static_cast<DWORD>(std::min(count, MaxCall)), &n, nullptr)
               ? n
               : 0;
}

int64_t TFileStream::WriteSome(const void* buffer, int64_t count) {
    DWORD n = 0;
    return WriteFile(reinterpret_cast<HANDLE>(handle_), buffer,
                     static_cast<DWORD>(std::min(count, MaxCall)), &n, nullptr)
               ? n
               : 0;
}

int64_t TFileStream::Seek(int64_t offset, SeekOrigin origin) {
    const DWORD method = origin == SeekOrigin::Beginning ? FILE_BEGIN
                         : origin == SeekOrigin::Current ? FILE_CURRENT
                                                         : FILE_END;
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER result;
    if (!SetFilePointerEx(reinterpret_cast<HANDLE>(handle_), distance, &result, method))
        return -1;
    return result.QuadPart;
}

} // namespace rtl
