#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "PackedImage.h"
#include "PreviewPicture.h"
#include "WallpaperPage.h"
#include "WebPlayer.h"
#include "core/ProjectUnit.h"
#include "rtl/CodePage.h"
#include "rtl/Streams.h"

namespace wallpaper {

// The bytes of one file a folder is made from, handed out in pieces as they are read.
struct TContent {
    int64_t Size = 0;
    std::function<void(const TSink& sink)> Read;
};

// What the folder's preview picture shows: a frame of the movie where one was captured (made
// at most PreviewSide), else the stage in the colour the wallpaper is drawn on.
struct TPreview {
    TStage Stage;
    std::string Frame;
};

// The files of an installed wallpaper folder, planned from a project: the page, its script and
// the web player's files, the movie (and a video's player movie) as data scripts, the files
// Lively Wallpaper and Wallpaper Engine read, and the preview picture their libraries show.
// Nothing is read or written until a file is written.
class TWallpaperFolder {
public:
    using TWriteFn = std::function<void(const char* data, size_t size)>;
    struct TFile {
        std::string Name;
        int64_t Size;
        // Writes the whole file, in pieces; errors of reading its content pass through.
        std::function<void(const TWriteFn& write)> Write;
        // A file of the web player, the same in every folder written from one stub.
        bool Player = false;
    };
    // title is what the page and the player show, as the project holds its text in codePage;
    // movie is the project's first movie's bytes, playerMovie FLVPlayer.swf's (read for a
    // video only); player the web player.
    TWallpaperFolder(const core::TProject& project, const std::string& title,
                     const rtl::TCodePage& codePage, const core::TSysColorFn& sysColor,
                     const TWebPlayer& player, TContent movie, TContent playerMovie,
                     const TPreview& preview);

    const std::vector<TFile>& Files() const { return files_; }
    // Writes every file into folder, which must exist; files of the same names are replaced
    // when replace is set, and refused otherwise. The web player's files are copied from
    // reuse where it holds them at their size, a folder written from the same stub before:
    // unpacking them takes a quarter of a second.
    void WriteTo(const std::string& folder, bool replace, const std::string& reuse = {}) const;
    // Writes every file into a .zip archive at out's position, at the archive's root, as
    // Lively Wallpaper imports a wallpaper.
    void WriteZipTo(rtl::TStream& out) const;

private:
    void AddData(const std::string& name, const std::string& url, const std::string& type,
                 bool gzip, TContent content, bool player);
    void AddText(const std::string& name, std::string text);

    std::vector<TFile> files_;
};

// Content read from an entry of a packed image, checked as it is unpacked.
TContent EntryContent(const TPackedImage& image, int32_t entry, const std::string& what);

// The content of the player's file index, unpacked as it is stored.
TContent PlayerFileContent(const TWebPlayer& player, size_t index);

// What the page, the installer and Lively call the wallpaper: its title, trimmed, or
// "Wallpaper".
std::string WallpaperTitle(const core::TProject& project);

} // namespace wallpaper
