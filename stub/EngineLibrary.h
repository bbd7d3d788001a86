#pragma once

#include <string>
#include <vector>

namespace stub {

// Wallpaper Engine on this machine, a Steam program: its local projects are the sub-folders of
// <library>\steamapps\common\wallpaper_engine\projects\myprojects that hold a project.json,
// where library is Steam's own folder (HKCU\Software\Valve\Steam, SteamPath) or one of the
// further libraries its steamapps\libraryfolders.vdf lists.
namespace engine {

// The myprojects folder of each library that holds Wallpaper Engine; empty when none does.
std::vector<std::string> ProjectsFolders();

// The library folders a libraryfolders.vdf names: each "path" value, and in the older layout
// each numbered key's value; escapes undone, in their order, each once.
std::vector<std::string> LibraryFolders(const std::string& vdf);

// Before the reason a copy among Wallpaper Engine's projects could not be made.
constexpr const char* NoCopyText = "It could not be added to Wallpaper Engine's projects. ";

} // namespace engine

} // namespace stub
