#include "Paths.h"

#include <windows.h>

#include <vector>

namespace rtl {

bool IsPathDelimiter(char c) {
    return c == '\\' || c == ':';
}

std::string ExpandFileName(const std::string& path) {
    if (path.empty())
        return path;
    char buffer[MAX_PATH];
    char* name = nullptr;
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, &name);
    if (n == 0)
        return path;
    if (n < sizeof buffer)
        return std::string(buffer, n);
    std::string longer(n, '\0');
    const DWORD m = GetFullPathNameA(path.c_str(), n, &longer[0], &name);
    longer.resize(m < n ? m : 0);
    return longer.empty() ? path : longer;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool RemoveFile(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}

bool MoveReplacing(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

namespace {

bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    // No access rights are needed to read a file's identity, and any sharing mode is allowed.
    HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    return ok;
}

} // namespace

bool SameFile(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION first, second;
    return FileIdentity(a, first) && FileIdentity(b, second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

std::string IncludeTrailingDelimiter(const std::string& folder) {
    return folder.empty() || IsPathDelimiter(folder.back()) ? folder : folder + '\\';
}

std::string TempDirectory(unsigned maxLength) {
    std::vector<char> buffer(maxLength + 1, '\0');
    const DWORD n = GetTempPathA(maxLength, buffer.data());
    // A directory that does not fit is reported by the length it needs, and is no path at all.
    return n < maxLength ? std::string(buffer.data()) : std::string();
}

std::string ExecutablePath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD n =
            GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size())
            return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

std::string SystemErrorText(uint32_t code) {
    char* text = nullptr;
    const DWORD n =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                       nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result(text != nullptr ? text : "", n);
    LocalFree(text);
    // The system's text ends with a line break (and sometimes blanks) that a message must not
    // carry.
    while (!result.empty() && static_cast<unsigned char>(result.back()) <= 32)
        result.pop_back();
    return result;
}

std::string LastErrorText() {
    return SystemErrorText(GetLastError());
}

} // namespace rtl
