#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace stub {

// Lively Wallpaper on this machine, the desktop's player of web wallpapers. Its library is
// the set of sub-folders of <WallpaperDir>\wallpapers that hold a LivelyInfo.json, read when
// its window starts; WallpaperDir is <settings folder>\Library unless the settings folder's
// Settings.json names another. The classic install and the Store edition each keep a settings
// folder of their own under the local application data folder, and there the list of the
// wallpapers on the screens, WallpaperLayout.json.
//
// Lively runs once per user: the first process holds a mutex and takes commands on a named
// pipe; a later Lively.exe hands its arguments to it over the pipe and ends, without waiting
// for them to arrive. A first start ignores its arguments.
namespace lively {

// The wallpapers folder of each Lively whose settings folder exists; empty when there is none.
std::vector<std::string> WallpapersFolders();
// Whether a copy of a wallpaper is one in Lively's library (a folder in "wallpapers"), not in
// another player's.
bool IsLibraryCopy(const std::string& copy);
// The first of copies that is in Lively's library, or nothing.
std::optional<std::string> LibraryCopy(const std::vector<std::string>& copies);
// Lively's program: where its installer's entry in the installed programs says, else where
// its installers put it.
std::optional<std::string> ProgramPath();

// How long Lively may take to start and take a wallpaper.
constexpr DWORD AnswerTimeoutMs = 30000;
// Before the reason a copy in the library could not be made.
constexpr const char* NoCopyText = "It could not be added to Lively Wallpaper's library. ";
// What the user is told when Lively did not take the wallpaper.
constexpr const char* NotSetText =
    "Lively Wallpaper did not answer. The wallpaper is in its library: open Lively Wallpaper and "
    "choose it there to put it on the desktop.";

// Puts the wallpaper whose library copy is folder on the desktop: starts Lively unless it
// runs, waits until it takes commands, then hands it "setwp --file folder" until its layout
// shows the folder (where Lively keeps a layout). False when Lively did not start, answer or
// take the wallpaper within timeoutMs.
bool SetWallpaper(const std::string& program, const std::string& folder, DWORD timeoutMs);
// Takes the wallpaper whose library copy is folder off every screen that shows it, when Lively
// runs and answers; never fails.
void CloseWallpaper(const std::string& program, const std::string& folder);
// Forgets what the user changed of the wallpaper whose library copy is folder: Lively keeps its
// own copy of LivelyProperties.json, which would hide the wallpaper's new defaults.
void ForgetSettings(const std::string& folder);

} // namespace lively

} // namespace stub
