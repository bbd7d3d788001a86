#include "LivelyLibrary.h"

#include <shlobj.h>

#include "LivelyInfo.h"
#include "WinSupport.h"
#include "rtl/Errors.h"
#include "rtl/Paths.h"
#include "rtl/Streams.h"

namespace stub::lively {

namespace {

const char* const SettingsFolders[] = {
    "\\Lively Wallpaper",
    "\\Packages\\12030rocksdanister.LivelyWallpaper_97hta09mmv6hy\\LocalCache\\Local\\Lively "
    "Wallpaper",
};

// The library folder its settings name, or the default.
std::string WallpaperDir(const std::string& settingsFolder) {
    const std::string settings = settingsFolder + "\\Settings.json";
    if (PathExists(settings)) {
        try {
            rtl::TMemoryStream text;
            text.LoadFromFile(settings);
            const std::optional<std::string> dir = JsonStringValue(text.ToString(), "WallpaperDir");
            if (dir && !dir->empty())
                return Utf8ToAnsi(*dir);
        } catch (const rtl::Exception&) {
            // Lively reads a settings file it cannot use as its defaults, and so does this.
        }
    }
    return settingsFolder + "\\Library";
}

} // namespace

std::vector<std::string> WallpapersFolders() {
    std::vector<std::string> folders;
    std::string local;
    try {
        local = LocalAppDataFolder();
    } catch (const rtl::Exception&) {
        return folders;
    }
    for (const char* settings : SettingsFolders)
        if (rtl::DirectoryExists(local + settings))
            folders.push_back(WallpaperDir(local + settings) + "\\wallpapers");
    return folders;
}

std::optional<std::string> ProgramPath() {
    std::vector<std::string> places;
    try {
        places.push_back(LocalAppDataFolder() + "\\Programs\\Lively Wallpaper\\Lively.exe");
        places.push_back(ShellFolder(CSIDL_PROGRAM_FILES, "programs") +
                         "\\Lively Wallpaper\\Lively.exe");
    } catch (const rtl::Exception&) {
        // Without the folders there is nowhere to look.
    }
    for (const std::string& place : places)
        if (PathExists(place))
            return place;
    return std::nullopt;
}

} // namespace stub::lively
