#pragma once

#include <cstdint>
#include <string>

#include "UninstallRecord.h"

namespace stub {

// The current user's key of installed programs, under which each wallpaper has its own.
constexpr const char* UninstallKeyPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The quoted command that the installed programs list runs to remove a wallpaper.
std::string UninstallCommand(const std::string& folder);

// Deletes the files that record lists from its folder, except the one named skip. Files
// already gone are fine; the others are all tried before the ones that stay are reported in
// the error raised.
void RemoveInstalledFiles(const TUninstallRecord& record, const std::string& skip);

// Deletes the wallpaper's entry in the installed programs, but only while it still runs this
// folder's uninstaller: a later installation elsewhere owns it otherwise.
void Unregister(const TUninstallRecord& record);

// Removes the folders that hold the wallpaper folders when the last wallpaper has gone.
void RemoveEmptyWallpapersFolders();

// Removes an installed wallpaper: its files, its entry in the installed programs and its
// folder, with this uninstaller. A running program cannot delete its own file, so it moves it
// out of the folder (which can then go at once) and leaves the moved file to a helper, a copy
// of the stub that waits for this process to end; the helper's own file is opened for
// deletion on close and handed to it, so it goes when the helper ends (a system that keeps a
// file its ended program ran from leaves it in the temporary folder, where leftovers belong).
class TUninstallation {
public:
    TUninstallation(TUninstallRecord record, std::string ownPath, const uint8_t* stub,
                    int64_t stubSize);

    const TUninstallRecord& Record() const { return record_; }
    // Raises unless this uninstaller is in the folder its record names, so a copy of it
    // elsewhere deletes nothing there.
    void CheckPlace() const;
    // Raises when files cannot be removed; the uninstaller and the entry stay then, so that
    // it can be run again.
    void Run();

private:
    std::string MoveOutOfFolder() const;
    void StartCleanup(const std::string& path) const;

    TUninstallRecord record_;
    std::string ownPath_;
    const uint8_t* stub_;
    int64_t stubSize_;
};

// The helper: waits for the uninstaller whose process handle it inherited to end, deletes the
// uninstaller's file at path (which must have one of the uninstaller's names) and the folders
// left empty. Returns the exit code.
int RunCleanup(uint64_t processHandle, const std::string& path);

} // namespace stub
