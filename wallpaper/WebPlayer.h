#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "PackedImage.h"

namespace wallpaper {

// The web player that every installer brings, so the wallpaper plays where no Flash player
// exists: Ruffle's files and the page's own script, appended to the stub's program as a
// packed stream container. Its entry 0 lists the files, one line each, in the order of the
// entries that follow; a line is the installed name, or for a data file the installed name,
// the URL the page's fetch answers with its bytes, their content type and "gzip", "raw" or
// "lzma", separated by tabs, or for a program that an installation brings beside the page (the
// wallpaper host) its name and "program"; any other file stored as a .lzma file ends with
// "lzma".
class TWebPlayer {
public:
    struct TFile {
        std::string Name;
        // A data file is installed as a data script that answers a fetch of Url; the others
        // are installed as they are.
        std::string Url;
        std::string Type;
        bool Gzip = false;
        // Stored as a .lzma file that gives its size (a third smaller than with zlib), which
        // the installation unpacks: the folder gets the bytes as they were.
        bool Lzma = false;
        // Installed with the wallpaper, but no part of the page: a folder made to be opened
        // in a browser, or copied into a player's library, leaves it out.
        bool Program = false;
        bool IsData() const { return !Url.empty(); }
    };

    static constexpr const char* PageScript = "wallpaper.js";
    static constexpr const char* PlayerScript = "ruffle.js";

    // stub is entry 0 of an installer: the program with the player behind it. Raises EDamaged
    // when the player is not there or its list of files is not readable; the files' own
    // entries are checked as they are unpacked.
    TWebPlayer(const uint8_t* stub, int64_t size);

    // The stub's program alone, as an uninstaller carries it.
    int64_t ProgramSize() const { return programSize_; }
    const TPackedImage& Image() const { return *pack_; }
    // Files in entry order: Files()[i] is entry i + 1.
    const std::vector<TFile>& Files() const { return files_; }
    // The name of a file in messages.
    static std::string PartName(const TFile& file);

    // The list's text for files, as the build writes it.
    static std::string ListText(const std::vector<TFile>& files);

private:
    int64_t programSize_ = 0;
    std::optional<TPackedImage> pack_;
    std::vector<TFile> files_;
};

} // namespace wallpaper
