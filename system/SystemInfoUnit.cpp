#include "system/SystemInfoUnit.h"

#include <windows.h>

#include <shlobj.h>

#include "rtl/Errors.h"
#include "rtl/Paths.h"
#include "rtl/TextUtils.h"
#include "system/Handle.h"
#include "system/MessagePump.h"
#include "system/RegistryReader.h"

namespace sys {

namespace {

using TItemIdList = THandle<TNullTraits<LPITEMIDLIST, &CoTaskMemFree>>;

const char UserFoldersKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char MachineKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

const char* const UserFolderValues[] = {
    "Desktop", "Start Menu", "Programs",  "Startup",   "Personal",     "AppData",
    "Fonts",   "SendTo",     "Recent",    "Favorites", "Cache",        "Cookies",
    "History", "NetHood",    "PrintHood", "Templates", "Local AppData"};
const char* const MachineFolderValues[] = {"ProgramFilesDir", "CommonFilesDir", "ConfigPath",
                                           "DevicePath",      "MediaPath",      "WallPaperDir"};

constexpr TFolderKind LastUserKind = 16;
constexpr TFolderKind FirstMachineKind = 21;
constexpr TFolderKind LastMachineKind = 26;

// The platform reports a text that does not fit by returning the length it needs; what is in
// the buffer then is no path at all, so such a folder is given as "".
std::string FittingText(const char* buffer, DWORD returned, DWORD passed) {
    return returned < passed ? std::string(buffer) : std::string();
}

std::string WindowsDirectory(UINT passed) {
    char buffer[255] = {};
    return FittingText(buffer, GetWindowsDirectoryA(buffer, passed), passed);
}

std::string SystemDirectory(UINT passed) {
    char buffer[255] = {};
    return FittingText(buffer, GetSystemDirectoryA(buffer, passed), passed);
}

} // namespace

std::string TSystemInfo::GetTempDirectory() const {
    return rtl::TempDirectory(255);
}

std::string TSystemInfo::GetWindowsPath() const {
    const std::string directory = WindowsDirectory(255);
    // "\" alone would name the root of the current drive, not the Windows directory.
    return directory.empty() ? directory : directory + "\\";
}

void TSystemInfo::SetDefaultScreensaver(const std::string& fileName) const {
    const std::string iniPath = GetWindowsPath() + "system.ini";
    char shortName[260] = {};
    const DWORD n = GetShortPathNameA(fileName.c_str(), shortName, sizeof shortName);
    const std::string value = n > 0 && n < sizeof shortName ? std::string(shortName) : "";
    if (!WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", value.c_str(), iniPath.c_str()))
        throw rtl::EIniFileException("Unable to write to " + iniPath);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, iniPath.c_str());
}

void TSystemInfo::FindAll(const std::string& directory, rtl::TStringList& list) const {
    ProcessMessages();
    WIN32_FIND_DATAA entry;
    const TFindHandle search(FindFirstFileA((directory + "\\*.*").c_str(), &entry));
    if (!search.Valid())
        return;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..")
            continue;
        const std::string path = directory + "\\" + name;
        const bool folder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // A junction or directory link may lead back to one of its own ancestors.
        const bool folderLink =
            folder && (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (!folder)
            list.Add(rtl::UpperCaseAscii(path));
        else if (!folderLink)
            FindAll(path, list);
    } while (FindNextFileA(search.Get(), &entry));
}

std::string TSystemInfo::GetCacheDirectory(int32_t folderId,
                                           const IHandleProvider& application) const {
    TItemIdList folder;
    if (FAILED(SHGetSpecialFolderLocation(application.Handle(), folderId, folder.Receive())) ||
        !folder.Valid())
        return {};
    char path[261] = {};
    if (!SHGetPathFromIDListA(folder.Get(), path))
        return {};
    return path;
}

std::string TSystemInfo::GetSystemPath(TFolderKind kind) const {
    std::string result;
    TRegistryReader registry;
    registry.OpenKeyReadOnly(HKEY_CURRENT_USER, UserFoldersKey);
    if (kind <= LastUserKind)
        result = registry.ReadString(UserFolderValues[kind]);
    else if (kind == 17)
        result = WindowsDirectory(254);
    else if (kind == 18)
        result = SystemDirectory(254);
    else if (kind == 19)
        result = rtl::TempDirectory(254);
    else if (kind == 20)
        result = SystemDirectory(254).substr(0, 2);
    registry.OpenKeyReadOnly(HKEY_LOCAL_MACHINE, MachineKey);
    if (kind >= FirstMachineKind && kind <= LastMachineKind)
        result = registry.ReadString(MachineFolderValues[kind - FirstMachineKind]);
    if (!result.empty() && result.back() != '\\')
        result += '\\';
    return result;
}

} // namespace sys
