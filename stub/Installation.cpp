#include "Installation.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <exception>
#include <memory>

#include "EngineLibrary.h"
#include "LivelyLibrary.h"
#include "Uninstallation.h"
#include "core/ProductVersion.h"
#include "host/HostControl.h"
#include "rtl/Errors.h"
#include "rtl/Paths.h"
#include "rtl/TextUtils.h"
#include "system/Handle.h"
#include "system/RegistryReader.h"
#include "wallpaper/SafeNames.h"
#include "wallpaper/SystemColors.h"
#include "wallpaper/WallpaperFolder.h"

namespace stub {

namespace {

void CreateFolder(const std::string& path) {
    if (!CreateDirectoryA(path.c_str(), nullptr))
        throw rtl::Exception("Cannot create the folder \"" + path + "\". " + rtl::LastErrorText());
}

void MoveFile(const std::string& from, const std::string& to) {
    if (!MoveFileExA(from.c_str(), to.c_str(), 0))
        throw rtl::Exception("Cannot move \"" + from + "\" to \"" + to + "\". " +
                             rtl::LastErrorText());
}

void SetString(HKEY key, const char* name, const std::string& value) {
    const LSTATUS status =
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    if (status != ERROR_SUCCESS)
        throw rtl::Exception("The wallpaper cannot be added to the installed programs. " +
                             rtl::SystemErrorText(static_cast<uint32_t>(status)));
}

void SetNumber(HKEY key, const char* name, DWORD value) {
    const LSTATUS status = RegSetValueExA(key, name, 0, REG_DWORD,
                                          reinterpret_cast<const BYTE*>(&value), sizeof value);
    if (status != ERROR_SUCCESS)
        throw rtl::Exception("The wallpaper cannot be added to the installed programs. " +
                             rtl::SystemErrorText(static_cast<uint32_t>(status)));
}

// Every value Register writes.
const char* const RegisteredValues[] = {
    "DisplayName", "UninstallString", "QuietUninstallString",
    "DisplayIcon", "InstallLocation", "EstimatedSize",
    "NoModify",    "NoRepair",        "URLInfoAbout",
    "Publisher",   "DisplayVersion",  "InstallDate",
};

// Today as the installed programs list keeps install dates: YYYYMMDD.
std::string Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char date[16];
    std::snprintf(date, sizeof date, "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    return date;
}

struct TSavedValue {
    std::string Name;
    bool Existed;
    DWORD Type;
    std::vector<BYTE> Data;
};

TSavedValue SaveValue(HKEY key, const char* name) {
    TSavedValue saved{name, false, REG_NONE, {}};
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &saved.Type, nullptr, &size) != ERROR_SUCCESS)
        return saved;
    saved.Data.resize(size);
    saved.Existed = RegQueryValueExA(key, name, nullptr, &saved.Type, saved.Data.data(), &size) ==
                    ERROR_SUCCESS;
    saved.Data.resize(size);
    return saved;
}

void RestoreValues(const std::string& path, const std::vector<TSavedValue>& saved) {
    sys::TRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, key.Receive()) !=
        ERROR_SUCCESS)
        return;
    for (const TSavedValue& value : saved)
        if (value.Existed)
            RegSetValueExA(key.Get(), value.Name.c_str(), 0, value.Type, value.Data.data(),
                           static_cast<DWORD>(value.Data.size()));
        else
            RegDeleteValueA(key.Get(), value.Name.c_str());
}

TUninstallRecord RecordOf(const std::string& uninstaller) {
    const TMappedFile file(uninstaller);
    return ReadUninstallRecord(wallpaper::TPackedImage(file.Data(), file.Size()));
}

// Whether the wallpaper of identity key may go into folder: it is missing or holds no files,
// or holds that wallpaper's own installation.
bool FolderFreeFor(const std::string& folder, const std::string& key) {
    if (!PathExists(folder))
        return true;
    if (!rtl::DirectoryExists(folder))
        return false;
    if (FileNames(folder).empty())
        return true;
    try {
        return rtl::SameTextAscii(RecordOf(folder + "\\" + wallpaper::UninstallerFileName).Key,
                                  key);
    } catch (const rtl::Exception&) {
        return false;
    }
}

} // namespace

// What to take back, in reverse order, when a step fails, and what to finish when all went
// well.
class TInstallation::TUndo {
public:
    ~TUndo() {
        if (committed_)
            return;
        for (auto it = undo_.rbegin(); it != undo_.rend(); ++it)
            (*it)();
    }
    void OnFailure(std::function<void()> action) { undo_.push_back(std::move(action)); }
    void OnSuccess(std::function<void()> action) { finish_.push_back(std::move(action)); }
    // Makes the folders of path that do not exist yet, outermost first, so that failure
    // removes just those.
    void CreateFolders(const std::string& path) {
        std::vector<std::string> missing;
        for (std::string at = path; !at.empty() && !PathExists(at);) {
            missing.insert(missing.begin(), at);
            const size_t cut = at.find_last_of('\\');
            at = cut == std::string::npos ? "" : at.substr(0, cut);
        }
        for (const std::string& folder : missing) {
            CreateFolder(folder);
            OnFailure([folder] { RemoveDirectoryA(folder.c_str()); });
        }
    }
    // Also in reverse, so files go before the folders they are in.
    void Commit() {
        committed_ = true;
        for (auto it = finish_.rbegin(); it != finish_.rend(); ++it)
            (*it)();
    }

private:
    std::vector<std::function<void()>> undo_;
    std::vector<std::function<void()>> finish_;
    bool committed_ = false;
};

std::string TInstallation::DefaultFolder(const TInstallerPackage& package) {
    const std::string title = package.TrimmedTitle();
    const std::string key = wallpaper::InstallName(package.Project().GUID, title);
    const std::string base = WallpapersFolder() + "\\" + wallpaper::WallpaperFolderName(title);
    std::string folder = base;
    for (int n = 2; !FolderFreeFor(folder, key); ++n)
        folder = base + " (" + rtl::IntToStr(n) + ")";
    return folder;
}

// Writes one planned file on a thread of its own; what it raises is raised again by Finish.
class TInstallation::TFileWriter {
public:
    TFileWriter(const TPlannedFile& file, std::string path) : file_(file), path_(std::move(path)) {
        thread_.Reset(CreateThread(nullptr, 0, &Start, this, 0, nullptr));
        if (!thread_.Valid())
            Write();
    }
    ~TFileWriter() {
        if (thread_.Valid())
            WaitForSingleObject(thread_.Get(), INFINITE);
    }
    TFileWriter(const TFileWriter&) = delete;
    TFileWriter& operator=(const TFileWriter&) = delete;

    int64_t Written() const { return written_.load(); }
    // Waits for the file, handing report the bytes written so far now and then.
    void Finish(const std::function<void(int64_t written)>& report) {
        while (thread_.Valid() && WaitForSingleObject(thread_.Get(), 50) == WAIT_TIMEOUT)
            report(Written());
        report(Written());
        if (error_)
            std::rethrow_exception(error_);
    }

private:
    static DWORD WINAPI Start(void* self) {
        static_cast<TFileWriter*>(self)->Write();
        return 0;
    }
    void Write() {
        try {
            TOutputFile out(path_);
            file_.Write(out, [this](size_t n) { written_ += static_cast<int64_t>(n); });
        } catch (...) {
            error_ = std::current_exception();
        }
    }

    const TPlannedFile& file_;
    std::string path_;
    std::atomic<int64_t> written_{0};
    std::exception_ptr error_;
    sys::TKernelHandle thread_;
};

TInstallation::TInstallation(const TInstallerPackage& package, const wallpaper::TWebPlayer& player,
                             std::string folder, const std::vector<std::string>& libraryFolders)
    : package_(package), program_(package.Image().StoredBytes(core::StubEntry)),
      programSize_(player.ProgramSize()) {
    const core::TProject& project = package.Project();
    record_.Title = package.Title();
    record_.Key = wallpaper::InstallName(project.GUID, package.TrimmedTitle());
    folderName_ = wallpaper::WallpaperFolderName(package.TrimmedTitle());

    const wallpaper::TPackedImage& image = package.Image();
    const wallpaper::TWallpaperFolder contents(
        // A lambda, not the function itself: a function pointer in a std::function brings the
        // type information of pointers into every installer.
        project, wallpaper::WallpaperTitle(project), package.CodePage(),
        [](int index) { return wallpaper::SystemColor(index); }, player,
        wallpaper::EntryContent(image, core::MovieEntry,
                                TInstallerPackage::PartName(core::MovieEntry)),
        package.IsVideo() ? wallpaper::EntryContent(image, core::PlayerEntry,
                                                    TInstallerPackage::PartName(core::PlayerEntry))
                          : wallpaper::TContent{},
        wallpaper::TPreview{
            wallpaper::StageOfHead(image.Head(core::MovieEntry, wallpaper::StageHeadSize)), {}});
    for (const wallpaper::TWallpaperFolder::TFile& file : contents.Files()) {
        files_.push_back(TPlannedFile{
            file.Name, file.Size, [write = file.Write](TOutputFile& out, const TCounter& count) {
                write([&](const char* data, size_t n) {
                    out.Write(data, n);
                    count(n);
                });
            }});
        totalSize_ += file.Size;
    }

    // The wallpaper host, which a player's library has no use for.
    const std::vector<wallpaper::TWebPlayer::TFile>& playerFiles = player.Files();
    for (size_t i = 0; i < playerFiles.size(); ++i) {
        if (!playerFiles[i].Program)
            continue;
        const wallpaper::TContent content = wallpaper::PlayerFileContent(player, i);
        files_.push_back(TPlannedFile{playerFiles[i].Name, content.Size,
                                      [content](TOutputFile& out, const TCounter& count) {
                                          content.Read([&](const uint8_t* data, size_t n) {
                                              out.Write(reinterpret_cast<const char*>(data), n);
                                              count(n);
                                          });
                                      },
                                      false});
        totalSize_ += content.Size;
    }

    for (const TPlannedFile& file : files_)
        record_.Files.push_back(file.Name);
    record_.Files.push_back(wallpaper::UninstallerFileName);
    SetPlace(std::move(folder), libraryFolders);
}

void TInstallation::SetPlace(std::string folder, const std::vector<std::string>& libraryFolders) {
    folder_ = std::move(folder);
    record_.Folder = folder_;
    record_.Copies.clear();
    for (const std::string& library : libraryFolders)
        record_.Copies.push_back(library + "\\" + record_.Key);
    if (!files_.empty() && files_.back().Name == wallpaper::UninstallerFileName) {
        totalSize_ -= files_.back().Size;
        files_.pop_back();
    }
    // The uninstaller needs the program only, not the web player behind it.
    PlanText(wallpaper::UninstallerFileName, UninstallerImage(program_, programSize_, record_));
}

void TInstallation::PlanText(const std::string& name, std::string bytes) {
    const int64_t size = static_cast<int64_t>(bytes.size());
    files_.push_back(
        TPlannedFile{name, size,
                     [bytes = std::move(bytes)](TOutputFile& out, const TCounter& count) {
                         out.Write(bytes);
                         count(bytes.size());
                     },
                     name != wallpaper::UninstallerFileName});
    totalSize_ += size;
}

std::string TInstallation::PagePath() const {
    return folder_ + "\\" + wallpaper::PageFileName;
}

std::vector<std::string> TInstallation::EarlierFiles() const {
    if (!PathExists(folder_))
        return {};
    if (!rtl::DirectoryExists(folder_))
        throw rtl::Exception("\"" + folder_ + "\" is a file, not a folder.");
    const std::string uninstaller = folder_ + "\\" + wallpaper::UninstallerFileName;
    if (!PathExists(uninstaller)) {
        for (const TPlannedFile& file : files_)
            if (PathExists(folder_ + "\\" + file.Name))
                throw rtl::Exception("The folder \"" + folder_ + "\" already holds \"" + file.Name +
                                     "\", which this wallpaper did not put there.");
        return {};
    }
    TUninstallRecord earlier;
    try {
        earlier = RecordOf(uninstaller);
    } catch (const wallpaper::EDamaged&) {
        throw rtl::Exception("The folder \"" + folder_ +
                             "\" holds the uninstaller of another program.");
    }
    if (!rtl::SameTextAscii(earlier.Key, record_.Key))
        throw rtl::Exception("The folder \"" + folder_ + "\" holds another wallpaper, \"" +
                             earlier.Title + "\".");
    return earlier.Files;
}

void TInstallation::Run(const TProgressFn& progress) {
    std::vector<std::string> replaced = EarlierFiles();
    for (const TPlannedFile& file : files_)
        replaced.push_back(file.Name);

    TUndo undo;
    // A running program's file cannot be replaced: the host that shows this folder stops, and
    // starts again from whichever files stay.
    if (host::Shows(folder_)) {
        host::StopRunning(host::AnswerTimeoutMs);
        const std::string folder = folder_;
        undo.OnFailure([folder] { host::Start(folder); });
        undo.OnSuccess([folder] { host::Start(folder); });
    }
    undo.CreateFolders(folder_);

    // Inside the wallpaper folder, so that moving into place is a rename on one volume.
    const std::string staging = folder_ + "\\~install-" + UniqueSuffix();
    CreateFolder(staging);
    undo.OnFailure([staging] { RemoveDirectoryA(staging.c_str()); });
    undo.OnSuccess([staging] { RemoveDirectoryA(staging.c_str()); });
    // The largest file (the web player's module, or a movie larger than it) is written on a
    // second core while this thread writes the others: unpacking the module takes most of a
    // small installation's time.
    const auto largest = std::max_element(
        files_.begin(), files_.end(),
        [](const TPlannedFile& a, const TPlannedFile& b) { return a.Size < b.Size; });
    int64_t done = 0;
    const std::string aheadPath = staging + "\\" + largest->Name;
    undo.OnFailure([aheadPath] { DeleteFileA(aheadPath.c_str()); });
    TFileWriter ahead(*largest, aheadPath);
    for (auto file = files_.begin(); file != files_.end(); ++file) {
        if (file == largest)
            continue;
        const std::string path = staging + "\\" + file->Name;
        undo.OnFailure([path] { DeleteFileA(path.c_str()); });
        TOutputFile out(path);
        file->Write(out, [&](size_t n) {
            done += static_cast<int64_t>(n);
            progress(done + ahead.Written(), totalSize_);
        });
    }
    ahead.Finish([&](int64_t written) { progress(done + written, totalSize_); });

    // Registered before the files move, so that a failure of any later step also takes the
    // entry back to what it was.
    const std::string earlierLocation = Register(undo);

    const std::string aside = folder_ + "\\~replaced-" + UniqueSuffix();
    bool asideMade = false;
    for (const std::string& name : replaced) {
        const std::string path = folder_ + "\\" + name;
        const std::string kept = aside + "\\" + name;
        if (!PathExists(path) || PathExists(kept))
            continue;
        if (!asideMade) {
            CreateFolder(aside);
            undo.OnFailure([aside] { RemoveDirectoryA(aside.c_str()); });
            undo.OnSuccess([aside] { RemoveDirectoryA(aside.c_str()); });
            asideMade = true;
        }
        MoveFile(path, kept);
        undo.OnFailure([path, kept] { MoveFileExA(kept.c_str(), path.c_str(), 0); });
        undo.OnSuccess([kept] { DeleteFileA(kept.c_str()); });
    }
    for (const TPlannedFile& file : files_) {
        const std::string path = folder_ + "\\" + file.Name;
        MoveFile(staging + "\\" + file.Name, path);
        undo.OnFailure([path] { DeleteFileA(path.c_str()); });
    }
    undo.Commit();
    PlaceCopies(replaced);
    // What Lively kept of an earlier copy would hide this one's defaults.
    for (const std::string& copy : record_.Copies)
        if (lively::IsLibraryCopy(copy))
            lively::ForgetSettings(copy);
    if (!earlierLocation.empty() && !rtl::SameFile(earlierLocation, folder_))
        RemoveEarlierCopy(earlierLocation);
}

void TInstallation::PlaceCopies(const std::vector<std::string>& ours) {
    // The wallpaper is installed whatever becomes of its copies; a copy that fails takes back
    // what it did and is left out.
    std::vector<std::string> placed;
    copyFailure_.clear();
    for (const std::string& copy : record_.Copies) {
        try {
            TUndo undo;
            PlaceCopy(copy, ours, undo);
            undo.Commit();
            placed.push_back(copy);
        } catch (const rtl::Exception& error) {
            copyFailure_ +=
                (copyFailure_.empty() ? "" : " ") +
                std::string(lively::IsLibraryCopy(copy) ? lively::NoCopyText : engine::NoCopyText) +
                error.Message;
        }
    }
    if (placed.size() == record_.Copies.size())
        return;
    // The uninstaller must not reach into a library folder it did not fill.
    record_.Copies = placed;
    const std::string uninstaller = folder_ + "\\" + wallpaper::UninstallerFileName;
    const std::string fresh = uninstaller + "~" + UniqueSuffix();
    bool written = true;
    try {
        TOutputFile(fresh).Write(UninstallerImage(program_, programSize_, record_));
    } catch (const rtl::Exception&) {
        written = false;
    }
    // Else the first list stays, and its uninstaller removes only the files of ours it finds.
    if (!written || !rtl::MoveReplacing(fresh, uninstaller))
        DeleteFileA(fresh.c_str());
}

void TInstallation::PlaceCopy(const std::string& copy, const std::vector<std::string>& ours,
                              TUndo& undo) const {
    // An earlier copy of this wallpaper goes aside, and only one that holds nothing but the
    // files of this wallpaper: a player's library holds other wallpapers too.
    if (PathExists(copy)) {
        const std::vector<std::string> earlier = FileNames(copy);
        for (const std::string& name : earlier)
            if (std::none_of(ours.begin(), ours.end(),
                             [&](const std::string& own) { return rtl::SameTextAscii(own, name); }))
                throw rtl::Exception("The library folder \"" + copy + "\" holds \"" + name +
                                     "\", which this wallpaper did not put there.");
        const std::string aside = copy + "~replaced-" + UniqueSuffix();
        MoveFile(copy, aside);
        undo.OnFailure([copy, aside] { MoveFileExA(aside.c_str(), copy.c_str(), 0); });
        undo.OnSuccess([aside, earlier] {
            for (const std::string& name : earlier)
                DeleteFileA((aside + "\\" + name).c_str());
            RemoveDirectoryA(aside.c_str());
        });
    }
    undo.CreateFolders(copy);
    for (const TPlannedFile& file : files_) {
        if (!file.InCopies)
            continue;
        const std::string target = copy + "\\" + file.Name;
        if (!CopyFileA((folder_ + "\\" + file.Name).c_str(), target.c_str(), TRUE))
            throw rtl::Exception("Cannot copy \"" + file.Name + "\" into \"" + copy + "\". " +
                                 rtl::LastErrorText());
        undo.OnFailure([target] { DeleteFileA(target.c_str()); });
    }
}

std::string TInstallation::Register(TUndo& undo) const {
    const std::string path = UninstallKeyPath + record_.Key;
    sys::TRegKey key;
    DWORD disposition = 0;
    const LSTATUS status =
        RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, key.Receive(), &disposition);
    if (status != ERROR_SUCCESS)
        throw rtl::Exception("The wallpaper cannot be added to the installed programs. " +
                             rtl::SystemErrorText(static_cast<uint32_t>(status)));
    if (disposition == REG_CREATED_NEW_KEY) {
        undo.OnFailure([path] { RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str()); });
    } else {
        // The earlier installation's entry gets its values back if a later step fails.
        std::vector<TSavedValue> saved;
        for (const char* name : RegisteredValues)
            saved.push_back(SaveValue(key.Get(), name));
        undo.OnFailure([path, saved] { RestoreValues(path, saved); });
    }
    std::string earlierLocation = sys::ReadStringValue(key.Get(), "InstallLocation").value_or("");

    int64_t size = 0;
    for (const TPlannedFile& file : files_)
        size += file.Size;
    const std::string uninstaller = folder_ + "\\" + wallpaper::UninstallerFileName;
    SetString(key.Get(), "DisplayName", record_.Title);
    SetString(key.Get(), "Publisher", MURAVEL_PUBLISHER);
    SetString(key.Get(), "DisplayVersion", MURAVEL_VERSION_TEXT);
    SetString(key.Get(), "InstallDate", Today());
    SetString(key.Get(), "UninstallString", UninstallCommand(folder_));
    SetString(key.Get(), "QuietUninstallString", UninstallCommand(folder_) + " /S");
    SetString(key.Get(), "DisplayIcon", uninstaller);
    SetString(key.Get(), "InstallLocation", folder_);
    SetNumber(key.Get(), "EstimatedSize", static_cast<DWORD>((size + 1023) / 1024));
    SetNumber(key.Get(), "NoModify", 1);
    SetNumber(key.Get(), "NoRepair", 1);
    const std::string link =
        wallpaper::LinkTarget(package_.CodePage().ToNative(package_.Project().URL));
    if (rtl::LowerCaseAscii(link.substr(0, 4)) == "http")
        SetString(key.Get(), "URLInfoAbout", link);
    return earlierLocation;
}

void TInstallation::RemoveEarlierCopy(const std::string& location) const {
    // The same wallpaper installed elsewhere before: this installation replaces it. Only what
    // that copy's own record lists goes, and only when the record is this wallpaper's.
    TUninstallRecord earlier;
    try {
        earlier = RecordOf(location + "\\" + wallpaper::UninstallerFileName);
    } catch (const rtl::Exception&) {
        return;
    }
    if (!rtl::SameTextAscii(earlier.Key, record_.Key) || !rtl::SameFile(earlier.Folder, location))
        return;
    // The desktop goes on showing the wallpaper, from its new place.
    const bool shown = host::Shows(location);
    host::Forget(location);
    if (shown)
        host::Start(folder_);
    try {
        RemoveInstalledFiles(earlier, "");
    } catch (const rtl::Exception&) {
        // Files that are in use stay with the copy's folder; the new installation is complete.
    }
    RemoveDirectoryA(location.c_str());
}

} // namespace stub
