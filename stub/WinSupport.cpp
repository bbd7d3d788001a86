#include "WinSupport.h"

#include <vector>

#include "rtl/Errors.h"
#include "rtl/Guid.h"
#include "rtl/Paths.h"
#include "system/Shell.h"

namespace stub {

TMappedFile::TMappedFile(const std::string& path)
    : file_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (!file_.Valid())
        throw rtl::FileOpenError(path, rtl::LastErrorText());
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file_.Get(), &size))
        throw rtl::FileOpenError(path, rtl::LastErrorText());
    size_ = size.QuadPart;
    // An empty file cannot be mapped; it has nothing to read either.
    if (size_ == 0)
        return;
    mapping_.Reset(CreateFileMappingA(file_.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping_.Valid())
        throw rtl::FileOpenError(path, rtl::LastErrorText());
    view_.Reset(MapViewOfFile(mapping_.Get(), FILE_MAP_READ, 0, 0, 0));
    if (!view_.Valid())
        throw rtl::FileOpenError(path, rtl::LastErrorText());
}

void TOutputFile::Write(const void* data, size_t size) {
    if (file_.Write(data, static_cast<int64_t>(size)) != static_cast<int64_t>(size))
        throw rtl::Exception("Cannot write \"" + file_.FileName() + "\". " + rtl::LastErrorText());
}

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> FileNames(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    const sys::TFindHandle search(FindFirstFileA((folder + "\\*").c_str(), &entry));
    if (!search.Valid())
        return names;
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            names.push_back(entry.cFileName);
    } while (FindNextFileA(search.Get(), &entry));
    return names;
}

std::string FullFolderPath(const std::string& path) {
    std::string full = rtl::ExpandFileName(path);
    while (full.size() > 1 && (full.back() == '\\' || full.back() == '/'))
        full.pop_back();
    return full;
}

std::string WallpapersFolder() {
    return sys::ProductDataFolder() + "\\Wallpapers";
}

std::string UniqueSuffix() {
    std::string digits;
    for (const char c : rtl::NewGuidText())
        if (c != '{' && c != '}' && c != '-')
            digits += c;
    return digits;
}

void WriteStandardError(const std::string& text) {
    HANDLE target = GetStdHandle(STD_ERROR_HANDLE);
    sys::TFileHandle console;
    if (target == nullptr || target == INVALID_HANDLE_VALUE) {
        if (!AttachConsole(ATTACH_PARENT_PROCESS))
            return;
        console.Reset(CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
        if (!console.Valid())
            return;
        target = console.Get();
    }
    DWORD written = 0;
    WriteFile(target, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

} // namespace stub
