#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace rtl {

// The characters that end a folder part: "\" and ":" on Windows, "/" elsewhere.
bool IsPathDelimiter(char c);

// The file-name part: the text after the last delimiter.
std::string ExtractFileName(const std::string& path);
// Everything up to and including the last delimiter.
std::string ExtractFilePath(const std::string& path);
// From the last "." of the file-name part, dot included, or empty.
std::string ExtractFileExt(const std::string& path);
// ExtractFileExt lower-cased in the letters A to Z only.
std::string LowerFileExt(const std::string& path);

// The path for the standard library's file system calls, which take 8-bit text as the C
// runtime's locale, not as the program's own text.
std::filesystem::path FsPath(const std::string& path);

// Platform half.
// The folder with a delimiter at its end.
std::string IncludeTrailingDelimiter(const std::string& folder);
std::string ExpandFileName(const std::string& path);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
bool RemoveFile(const std::string& path);
// Moves from over to, replacing any file at to; false on failure, with LastErrorText() set.
bool MoveReplacing(const std::string& from, const std::string& to);
// Whether both paths name one existing file, however they are spelled (links included).
bool SameFile(const std::string& a, const std::string& b);
// The user's temporary directory, ending with a delimiter. On Windows the platform is given
// room for maxLength characters; a directory that does not fit gives "".
std::string TempDirectory(unsigned maxLength = 255);
// The running executable's full path, however long.
std::string ExecutablePath();
// The running executable's folder, ending with a delimiter.
std::string ExecutableFolder();
// The system's text for an error code (a Windows error or HRESULT, an errno value elsewhere),
// without the line break the system ends it with.
std::string SystemErrorText(uint32_t code);
// The system's text for the error of the last failed platform call.
std::string LastErrorText();

// A scratch file that is removed when this goes, however the scope is left: after a failure
// as after the work it served. One that is gone already, or was never made, is fine.
class TScratchFile {
public:
    explicit TScratchFile(std::string path) : path_(std::move(path)) {}
    ~TScratchFile() { RemoveFile(path_); }
    TScratchFile(const TScratchFile&) = delete;
    TScratchFile& operator=(const TScratchFile&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

} // namespace rtl
