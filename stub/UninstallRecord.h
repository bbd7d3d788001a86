#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "wallpaper/PackedImage.h"

namespace stub {

// What an uninstaller removes. It travels inside the uninstaller itself, as entry 1 of the
// container appended to it, so the list cannot be parted from the program that acts on it.
struct TUninstallRecord {
    std::string Title;
    // The wallpaper's name under the current user's Uninstall key.
    std::string Key;
    // The wallpaper folder, a full path without a trailing delimiter.
    std::string Folder;
    // Plain names in Folder, the uninstaller's own included.
    std::vector<std::string> Files;
    // Copies of the folder, all but the uninstaller and the host, in web-wallpaper players'
    // libraries: full paths that end with "\wallpapers\" (Lively's) or "\myprojects\"
    // (Wallpaper Engine's) and Key.
    std::vector<std::string> Copies;

    std::string ToText() const;
    // Raises EDamaged when the text is not a record, or names a file or key that is not a
    // plain safe name, or a copy that is not a library's folder of this key: a record must not
    // reach outside the folders it made.
    static TUninstallRecord FromText(const std::string& text);
};

// Whether an image is an uninstaller: two entries, the stub and a record.
bool IsUninstallerImage(const wallpaper::TPackedImage& image);
// The record of an uninstaller image; EDamaged when it is not one.
TUninstallRecord ReadUninstallRecord(const wallpaper::TPackedImage& image);

// The uninstaller's bytes: a container of the stub raw and the record compressed. A
// certificate entry in the stub's header that points beyond the stub is cleared, since it
// described the signed installer the stub was taken from.
std::string UninstallerImage(const uint8_t* stub, int64_t size, const TUninstallRecord& record);

} // namespace stub
