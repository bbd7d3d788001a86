#include "Uninstallation.h"

#include "LivelyLibrary.h"
#include "WinSupport.h"
#include "host/HostControl.h"
#include "rtl/Errors.h"
#include "rtl/Paths.h"
#include "rtl/TextUtils.h"
#include "system/RegistryReader.h"
#include "wallpaper/SafeNames.h"

namespace stub {

namespace {

const char* const MovedPrefix = "Muravel-uninstall-";
const char* const MovedBesidePrefix = "~uninstall-";
const char* const MovedSuffix = ".tmp";
// The helper gives up waiting after this long rather than stay around for ever.
constexpr DWORD CleanupWaitMs = 5 * 60 * 1000;
// Windows may hold an ended program's file a moment longer than its process.
constexpr int DeleteAttempts = 50;
constexpr DWORD DeleteRetryMs = 100;

// The attribute list that limits what a new process inherits to the handles named.
class TInheritedHandles {
public:
    TInheritedHandles(HANDLE* handles, size_t size) {
        SIZE_T length = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &length);
        buffer_.resize(length);
        if (!InitializeProcThreadAttributeList(List(), 1, 0, &length))
            return;
        initialized_ = true;
        valid_ = UpdateProcThreadAttribute(List(), 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles,
                                           size, nullptr, nullptr) != 0;
    }
    ~TInheritedHandles() {
        if (initialized_)
            DeleteProcThreadAttributeList(List());
    }
    TInheritedHandles(const TInheritedHandles&) = delete;
    TInheritedHandles& operator=(const TInheritedHandles&) = delete;

    bool Valid() const { return valid_; }
    LPPROC_THREAD_ATTRIBUTE_LIST List() const {
        return reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(const_cast<char*>(buffer_.data()));
    }

private:
    std::string buffer_;
    bool initialized_ = false;
    bool valid_ = false;
};

bool StartsWith(const std::string& text, const std::string& prefix) {
    return rtl::SameTextAscii(text.substr(0, prefix.size()), prefix);
}

bool IsMovedUninstallerName(const std::string& name) {
    const size_t n = std::string(MovedSuffix).size();
    return (StartsWith(name, MovedPrefix) || StartsWith(name, MovedBesidePrefix)) &&
           name.size() > n && rtl::SameTextAscii(name.substr(name.size() - n), MovedSuffix);
}

std::string ParentFolder(const std::string& path) {
    std::string parent = rtl::ExtractFilePath(path);
    while (parent.size() > 1 && parent.back() == '\\')
        parent.pop_back();
    return parent;
}

} // namespace

std::string UninstallCommand(const std::string& folder) {
    return "\"" + folder + "\\" + wallpaper::UninstallerFileName + "\"";
}

namespace {

// Deletes the files names in folder but skip; what stays is added to failures.
void RemoveFilesIn(const std::string& folder, const std::vector<std::string>& names,
                   const std::string& skip, std::string& failures) {
    for (const std::string& name : names) {
        if (rtl::SameTextAscii(name, skip))
            continue;
        const std::string path = folder + "\\" + name;
        if (DeleteFileA(path.c_str()))
            continue;
        const DWORD code = GetLastError();
        if (PathExists(path))
            failures += "\r\n" + path + ": " + rtl::SystemErrorText(code);
    }
}

} // namespace

void RemoveInstalledFiles(const TUninstallRecord& record, const std::string& skip) {
    std::string failures;
    RemoveFilesIn(record.Folder, record.Files, skip, failures);
    if (!failures.empty())
        throw rtl::Exception("These files could not be removed:" + failures);
}

void Unregister(const TUninstallRecord& record) {
    const std::string path = UninstallKeyPath + record.Key;
    sys::TRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) !=
        ERROR_SUCCESS)
        return;
    const std::optional<std::string> command = sys::ReadStringValue(key.Get(), "UninstallString");
    key.Reset();
    if (!command || !rtl::SameTextAscii(*command, UninstallCommand(record.Folder)))
        return;
    const LSTATUS removed = RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
    if (removed != ERROR_SUCCESS && removed != ERROR_FILE_NOT_FOUND)
        throw rtl::Exception("The wallpaper's entry in the installed programs cannot be removed. " +
                             rtl::SystemErrorText(static_cast<uint32_t>(removed)));
}

void RemoveEmptyWallpapersFolders() {
    std::string wallpapers;
    try {
        wallpapers = WallpapersFolder();
    } catch (const rtl::Exception&) {
        // Without a local application data folder there are no such folders to tidy.
        return;
    }
    RemoveDirectoryA(wallpapers.c_str());
    RemoveDirectoryA(ParentFolder(wallpapers).c_str());
}

TUninstallation::TUninstallation(TUninstallRecord record, std::string ownPath, const uint8_t* stub,
                                 int64_t stubSize)
    : record_(std::move(record)), ownPath_(std::move(ownPath)), stub_(stub), stubSize_(stubSize) {}

void TUninstallation::CheckPlace() const {
    if (!rtl::SameFile(ParentFolder(ownPath_), record_.Folder))
        throw rtl::Exception("This uninstaller belongs to the wallpaper in \"" + record_.Folder +
                             "\" and removes nothing elsewhere.");
}

void TUninstallation::Run() {
    // A process's current folder cannot be removed, and this one may have been started in
    // the wallpaper folder.
    SetCurrentDirectoryA(rtl::TempDirectory().c_str());
    // The copies in players' libraries first: when one stays, everything else does too, and
    // the uninstaller can be run again.
    std::string failures;
    // Off the desktop first; the host of another wallpaper goes on.
    host::Forget(record_.Folder);
    const std::optional<std::string> lively = lively::ProgramPath();
    for (const std::string& copy : record_.Copies) {
        // Lively is left showing none of it, and without the settings it kept of it.
        if (lively::IsLibraryCopy(copy)) {
            if (lively)
                lively::CloseWallpaper(*lively, copy);
            lively::ForgetSettings(copy);
        }
        RemoveFilesIn(copy, record_.Files, wallpaper::UninstallerFileName, failures);
        RemoveDirectoryA(copy.c_str());
    }
    if (!failures.empty())
        throw rtl::Exception("These files could not be removed:" + failures);
    RemoveInstalledFiles(record_, rtl::ExtractFileName(ownPath_));
    Unregister(record_);
    const std::string moved = MoveOutOfFolder();
    RemoveDirectoryA(record_.Folder.c_str());
    RemoveEmptyWallpapersFolders();
    StartCleanup(moved);
}

std::string TUninstallation::MoveOutOfFolder() const {
    // A running program's file can be renamed, though not deleted; across volumes it would
    // have to be copied, so the folder beside the wallpaper's is the second choice.
    const std::string suffix = UniqueSuffix() + MovedSuffix;
    for (const std::string& target :
         {rtl::TempDirectory() + MovedPrefix + suffix,
          ParentFolder(record_.Folder) + "\\" + MovedBesidePrefix + suffix})
        if (MoveFileExA(ownPath_.c_str(), target.c_str(), 0))
            return target;
    return ownPath_;
}

void TUninstallation::StartCleanup(const std::string& path) const {
    const std::string helper = rtl::TempDirectory() + "Muravel-cleanup-" + UniqueSuffix() + ".exe";
    try {
        TOutputFile out(helper);
        out.Write(stub_, static_cast<size_t>(stubSize_));
    } catch (const rtl::Exception&) {
        // Without a helper the moved uninstaller stays in the temporary folder, which is
        // where such leftovers belong; the wallpaper itself is gone.
        DeleteFileA(helper.c_str());
        return;
    }
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    sys::TFileHandle helperFile(CreateFileA(helper.c_str(), GENERIC_READ | DELETE,
                                            FILE_SHARE_READ | FILE_SHARE_DELETE, &inherited,
                                            OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!helperFile.Valid()) {
        DeleteFileA(helper.c_str());
        return;
    }
    HANDLE self = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                         SYNCHRONIZE, TRUE, 0))
        return;
    const sys::TKernelHandle selfHandle(self);
    std::string command = "\"" + helper +
                          "\" /cleanup=" + std::to_string(reinterpret_cast<uintptr_t>(self)) +
                          " /D=" + path;
    // Only these two: a helper that inherited, say, the standard error of whoever ran the
    // uninstaller would keep it open after the uninstaller has ended.
    HANDLE handed[] = {helperFile.Get(), self};
    const TInheritedHandles inheritance(handed, sizeof handed);
    if (!inheritance.Valid())
        return;
    STARTUPINFOEXA startup{};
    startup.StartupInfo.cb = sizeof startup;
    // Standard handles are passed on beside the list unless the helper is given none.
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.lpAttributeList = inheritance.List();
    PROCESS_INFORMATION process{};
    const std::string temp = rtl::TempDirectory();
    if (CreateProcessA(helper.c_str(), &command[0], nullptr, nullptr, TRUE,
                       EXTENDED_STARTUPINFO_PRESENT, nullptr, temp.c_str(), &startup.StartupInfo,
                       &process)) {
        // The helper runs on its own; nothing waits for it.
        const sys::TKernelHandle thread(process.hThread), helperProcess(process.hProcess);
    }
}

int RunCleanup(uint64_t processHandle, const std::string& path) {
    const sys::TKernelHandle process(
        reinterpret_cast<HANDLE>(static_cast<uintptr_t>(processHandle)));
    WaitForSingleObject(process.Get(), CleanupWaitMs);
    const std::string name = rtl::ExtractFileName(path);
    const bool inFolder = rtl::SameTextAscii(name, wallpaper::UninstallerFileName);
    if (!inFolder && !IsMovedUninstallerName(name))
        return 2;
    for (int attempt = 0; attempt < DeleteAttempts; ++attempt) {
        if (DeleteFileA(path.c_str()) || !PathExists(path))
            break;
        Sleep(DeleteRetryMs);
    }
    if (inFolder)
        RemoveDirectoryA(ParentFolder(path).c_str());
    RemoveEmptyWallpapersFolders();
    return PathExists(path) ? 1 : 0;
}

} // namespace stub
