#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace stub {

// What /? shows, with the exit codes.
extern const char* const InstallerUsage;
extern const char* const UninstallerUsage;

struct TStubOptions {
    // /S: no window and no questions; errors go to standard error and the exit code.
    bool Silent = false;
    // /NOLIVELY: the wallpaper goes into its own folder only, not into Lively's library too.
    bool NoLively = false;
    // /NOWALLPAPERENGINE: nor into Wallpaper Engine's projects.
    bool NoEngine = false;
    // /NOWALLPAPER: a silent install leaves the desktop as it is.
    bool NoWallpaper = false;
    // /?: the usage, and nothing else.
    bool Help = false;
    // /D=FOLDER, the last argument: everything after "/D=" to the end of the line, blanks and
    // all, so a folder with blanks needs no quotes; quotes around the value, or around the
    // whole argument as launchers pass it, are taken off. It must be a full path.
    std::optional<std::string> Folder;
    // /cleanup=HANDLE: run as the helper that removes an uninstaller once the process whose
    // handle this is has ended.
    std::optional<uint64_t> CleanupWait;
    // What is wrong with the arguments, or empty; the other fields hold what was understood,
    // so a wrong argument after /S is still reported without a window.
    std::string Error;
};

// The arguments of a Windows command line: the program name, quoted or not, and the blanks
// after it taken off.
std::string ArgumentText(const std::string& commandLine);

// Takes /S, /NOLIVELY, /NOWALLPAPERENGINE, /NOWALLPAPER, /?, /D=FOLDER as the last argument
// and /cleanup=HANDLE; anything else sets Error.
TStubOptions ParseArguments(const std::string& arguments);

} // namespace stub
