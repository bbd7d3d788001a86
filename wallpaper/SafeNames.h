#pragma once

#include <string>

namespace wallpaper {

// The names of the installer's own files in the wallpaper folder; a movie never takes one of
// them, nor the names of the player files an installer carries.
constexpr const char* PageFileName = "wallpaper.html";
constexpr const char* InfoFileName = "LivelyInfo.json";
constexpr const char* PropertiesFileName = "LivelyProperties.json";
constexpr const char* EngineProjectFileName = "project.json";
// The picture players' libraries show of the wallpaper.
constexpr const char* PreviewFileName = "preview.png";
constexpr const char* UninstallerFileName = "uninstall.exe";
// The program that shows the wallpaper behind the desktop icons where no other player does.
constexpr const char* HostFileName = "wallpaper-host.exe";
// The data scripts that hand the movie and the video player movie to the page's player.
constexpr const char* MovieDataFileName = "movie.js";
constexpr const char* PlayerDataFileName = "player.js";

// A name that Windows takes as one plain file or folder name: control characters and the
// characters < > : " / \ | ? * removed, leading blanks and trailing blanks and dots removed
// (Windows drops those itself, so ".." becomes nothing), a device name such as CON or
// LPT1.swf prefixed with "_", and no more than MaxSafeNameLength bytes. Empty when nothing
// usable is left. Bytes of the upper half stay: they are the system code page's letters.
std::string SafeFileName(const std::string& name);
constexpr size_t MaxSafeNameLength = 120;

// The file-name part of a movie path as a project holds it: the text after its last "\",
// "/" or ":", whatever system the project was made on.
std::string MovieNamePart(const std::string& path);

// The movie's name in the installed page: its file-name part made safe. When nothing usable
// is left, or the name is one of the installer's own, "movie.swf" or "movie.flv".
std::string MovieFileName(const std::string& path);

// The name of the wallpaper's own folder: its title made safe; "Wallpaper" when nothing usable
// is left.
std::string WallpaperFolderName(const std::string& title);

// The wallpaper's identity: the name of its entry in the installed programs and of its folder
// in players' libraries: the GUID, or when that is empty the title, made safe.
std::string InstallName(const std::string& guid, const std::string& title);

// Whether a name is one the installer writes for itself, compared without letter case.
bool IsOwnFileName(const std::string& name);

} // namespace wallpaper
