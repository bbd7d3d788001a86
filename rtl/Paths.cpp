#include "Paths.h"

#include "TextUtils.h"

namespace rtl {

namespace {

size_t FileNameStart(const std::string& path) {
    size_t i = path.size();
    while (i > 0 && !IsPathDelimiter(path[i - 1]))
        --i;
    return i;
}

} // namespace

std::string ExtractFileName(const std::string& path) {
    return path.substr(FileNameStart(path));
}

std::string ExtractFilePath(const std::string& path) {
    return path.substr(0, FileNameStart(path));
}

std::string ExecutableFolder() {
    return ExtractFilePath(ExecutablePath());
}

std::string ExtractFileExt(const std::string& path) {
    const size_t start = FileNameStart(path);
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < start)
        return std::string();
    return path.substr(dot);
}

std::string LowerFileExt(const std::string& path) {
    return LowerCaseAscii(ExtractFileExt(path));
}

} // namespace rtl
