#pragma once

#include <optional>
#include <string>
#include <vector>

namespace stub {

// Lively Wallpaper on this machine, the desktop's player of web wallpapers. Its library is
// the set of sub-folders of <WallpaperDir>\wallpapers that hold a LivelyInfo.json, read when
// its window starts; WallpaperDir is <settings folder>\Library unless the settings folder's
// Settings.json names another. The classic install and the Store edition each keep a settings
// folder of their own under the local application data folder.
namespace lively {

// The wallpapers folder of each Lively whose settings folder exists; empty when there is none.
std::vector<std::string> WallpapersFolders();
// Lively's program, when it is installed where its installers put it.
std::optional<std::string> ProgramPath();

} // namespace lively

} // namespace stub
