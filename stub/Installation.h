#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "InstallerPackage.h"
#include "UninstallRecord.h"
#include "WinSupport.h"
#include "wallpaper/WebPlayer.h"

namespace stub {

// The headlines over what went wrong with an installation.
constexpr const char* DamagedInstaller = "This installer is damaged. Please download it again.";
constexpr const char* InstallFailed = "The wallpaper could not be installed.";

// One installation of a checked package into one folder, for the current user only.
class TInstallation {
public:
    using TProgressFn = std::function<void(int64_t done, int64_t total)>;

    // Plans the files for folder (a full path): the page, the web player, the movie as a
    // data script, the description for web-wallpaper players and the uninstaller, and a copy
    // of all but the uninstaller in each of the web-wallpaper players' wallpapers folders
    // given. Writes nothing.
    TInstallation(const TInstallerPackage& package, const wallpaper::TWebPlayer& player,
                  std::string folder, const std::vector<std::string>& libraryFolders);
    // Plans again for another folder or other libraries.
    void SetPlace(std::string folder, const std::vector<std::string>& libraryFolders);

    // Where a wallpaper goes unless /D= names another folder: under the wallpapers folder, a
    // folder named after its title, or after the title and " (2)", " (3)" ... when that one
    // holds another wallpaper or other files.
    static std::string DefaultFolder(const TInstallerPackage& package);

    const std::string& Folder() const { return folder_; }
    // The folders of the copies in players' libraries, named after the wallpaper's identity;
    // after Run, those placed.
    const std::vector<std::string>& Copies() const { return record_.Copies; }
    // After Run, why a copy could not be placed, each reason after the line that names its
    // player; empty when every copy was.
    const std::string& CopyFailure() const { return copyFailure_; }
    // The name of the wallpaper's own folder, after its title.
    const std::string& FolderName() const { return folderName_; }
    const std::string& Title() const { return record_.Title; }
    std::string PagePath() const;

    // Writes every file into a staging folder inside the wallpaper folder, registers the
    // wallpaper, moves an earlier installation of the same wallpaper aside and the new files
    // into place; only then is the earlier installation deleted. A failure at any of these
    // steps puts back what was there before (files, folders and the entry's values) and
    // raises. Then it places the copies in the libraries: a copy that fails is left out (see
    // CopyFailure), and the installation stands. A folder that holds files this wallpaper did
    // not put there is refused before anything is written. The package's movie and player
    // entries are checked as they are written: damage raises EDamaged, after the rollback.
    void Run(const TProgressFn& progress);

private:
    using TCounter = std::function<void(size_t)>;
    struct TPlannedFile {
        std::string Name;
        int64_t Size;
        std::function<void(TOutputFile&, const TCounter&)> Write;
        // Whether the copies in players' libraries get it too.
        bool InCopies = true;
    };
    class TUndo;
    class TFileWriter;

    void PlanText(const std::string& name, std::string bytes);
    std::vector<std::string> EarlierFiles() const;
    void PlaceCopies(const std::vector<std::string>& ours);
    void PlaceCopy(const std::string& copy, const std::vector<std::string>& ours,
                   TUndo& undo) const;
    std::string Register(TUndo& undo) const;
    void RemoveEarlierCopy(const std::string& location) const;

    const TInstallerPackage& package_;
    const uint8_t* program_;
    int64_t programSize_;
    std::string folder_;
    std::string folderName_;
    TUninstallRecord record_;
    std::vector<TPlannedFile> files_;
    int64_t totalSize_ = 0;
    std::string copyFailure_;
};

} // namespace stub
