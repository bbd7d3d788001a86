#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rtl/Streams.h"
#include "system/Handle.h"

namespace stub {

// A file mapped for reading whole: the installer reads its own file in place, so even a
// large movie is not copied before it is unpacked.
class TMappedFile {
public:
    // Raises EFOpenError when the file cannot be opened or mapped.
    explicit TMappedFile(const std::string& path);
    const uint8_t* Data() const { return static_cast<const uint8_t*>(view_.Get()); }
    int64_t Size() const { return size_; }

private:
    sys::TFileHandle file_;
    sys::TKernelHandle mapping_;
    sys::TMappedView view_;
    int64_t size_ = 0;
};

// Creates a new file and writes it; errors name the file and give the system's reason.
class TOutputFile {
public:
    explicit TOutputFile(const std::string& path) : file_(path, rtl::FileMode::CreateNew) {}
    void Write(const void* data, size_t size);
    void Write(const std::string& bytes) { Write(bytes.data(), bytes.size()); }

private:
    rtl::TFileStream file_;
};

bool PathExists(const std::string& path);
// The names of the files in folder, folders left out.
std::vector<std::string> FileNames(const std::string& folder);
// A full path without a trailing delimiter.
std::string FullFolderPath(const std::string& path);
// %LOCALAPPDATA%\Zenvoy Muravel\Wallpapers, under which every wallpaper gets its folder.
std::string WallpapersFolder();
// A fresh GUID's 32 hexadecimal digits, for names no one else uses.
std::string UniqueSuffix();

// Reports to standard error, attaching to the parent's console when the program has none
// of its own (the installer is a window program).
void WriteStandardError(const std::string& text);

} // namespace stub
