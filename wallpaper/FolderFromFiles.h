#pragma once

#include <string>

#include "WallpaperFolder.h"

// Wallpaper folders written from files on disk, for a look before an installer is made (the
// window's Play in Browser, muravel-cli page). Apart from TWallpaperFolder, which the stub
// uses, since they read files the stub never reads.
namespace wallpaper {

// The content of the file at path: its size taken now, its bytes when the folder is written.
TContent FileContent(const std::string& path);

// The files on disk a folder is written from: the project's movie (the path of its first
// movie, in the system's own form), a video's player movie FLVPlayer.swf, and the stub whose
// program carries the web player, installer.dat; and a frame of the movie for the preview
// picture where one was captured (PreviewSide at most; empty for none).
struct TFolderSources {
    std::string Movie;
    std::string PlayerMovie;
    std::string Stub;
    std::string Frame;
    // A folder written from the same stub before, whose web player files are copied (WriteTo).
    std::string Reuse;
};

// Writes into folder (which exists) what installing the project writes, but the uninstaller,
// replacing files of the same names as WriteTo does. The caller has checked the movie as an
// installer's movie is checked, and tells the user its own way when it fails.
void WriteWallpaperFolder(const core::TProject& project, const rtl::TCodePage& codePage,
                          const TFolderSources& sources, const std::string& folder, bool replace);
// Writes the same files as a .zip archive at path, which Lively Wallpaper imports, replacing
// a file there; a failure leaves what was there.
void WriteWallpaperZip(const core::TProject& project, const rtl::TCodePage& codePage,
                       const TFolderSources& sources, const std::string& path);

} // namespace wallpaper
