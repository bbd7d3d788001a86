#include "Paths.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace rtl {

bool IsPathDelimiter(char c) {
    return c == '/';
}

std::string ExpandFileName(const std::string& path) {
    if (path.empty() || path[0] == '/')
        return path;
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd) == nullptr)
        return path;
    std::string result(cwd);
    if (result.back() != '/')
        result += '/';
    return result + path;
}

bool FileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool RemoveFile(const std::string& path) {
    return unlink(path.c_str()) == 0;
}

bool MoveReplacing(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string IncludeTrailingDelimiter(const std::string& folder) {
    return folder.empty() || IsPathDelimiter(folder.back()) ? folder : folder + '/';
}

std::string TempDirectory(unsigned) {
    const char* dir = std::getenv("TMPDIR");
    std::string result = dir != nullptr && *dir != '\0' ? dir : "/tmp/";
    if (result.back() != '/')
        result += '/';
    return result;
}

std::string ExecutablePath() {
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

std::string SystemErrorText(uint32_t code) {
    return std::strerror(static_cast<int>(code));
}

std::string LastErrorText() {
    return SystemErrorText(static_cast<uint32_t>(errno));
}

} // namespace rtl
