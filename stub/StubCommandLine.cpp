#include "StubCommandLine.h"

#include <algorithm>
#include <cctype>

#include "rtl/TextUtils.h"

namespace stub {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

constexpr const char* CleanupPrefix = "/cleanup=";

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// A drive and a folder from its root ("C:\Walls"), or a network share ("\\server\share"); not
// a folder relative to the current one or to a drive's current folder ("C:Walls").
bool IsFullPath(const std::string& path) {
    const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                       path[1] == ':' && IsSeparator(path[2]);
    return drive || (path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]));
}

// Text of one argument by the rules Windows programs split their command line with: quotes
// group and are taken off, a backslash escapes a quote, 2n backslashes before a quote are n.
// Blanks outside quotes stay, as the folder argument keeps everything to the end of the line.
std::string Unquoted(const std::string& text) {
    std::string out;
    size_t backslashes = 0;
    for (const char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            out.append(backslashes / 2, '\\');
            if (backslashes % 2 == 1)
                out += '"';
        } else {
            out.append(backslashes, '\\');
            out += c;
        }
        backslashes = 0;
    }
    return out.append(backslashes, '\\');
}

} // namespace

const char* const InstallerUsage =
    "Installs the wallpaper this file holds and puts it on the desktop: through Lively "
    "Wallpaper where it is installed, else behind the icons on every screen by its own host, "
    "which starts at every log-in until the wallpaper is uninstalled.\r\n"
    "\r\n"
    "/S\tsilently: no window, no questions; errors go to standard error\r\n"
    "/NOLIVELY\tdo not add the wallpaper to Lively Wallpaper's library too\r\n"
    "/NOWALLPAPERENGINE\tdo not add the wallpaper to Wallpaper Engine's projects too\r\n"
    "/NOWALLPAPER\twith /S, leave the desktop as it is\r\n"
    "/D=FOLDER\tinstall into FOLDER, a full path; the last argument, blanks and quotes allowed\r\n"
    "/?\tthis text\r\n"
    "\r\n"
    "Exit codes: 0 installed, 1 failed, 2 wrong arguments, 3 cancelled.";

const char* const UninstallerUsage =
    "Removes the wallpaper this program belongs to.\r\n"
    "\r\n"
    "/S\tsilently: no window, no questions; errors go to standard error\r\n"
    "/?\tthis text\r\n"
    "\r\n"
    "Exit codes: 0 removed, 1 failed, 2 wrong arguments, 3 cancelled.";

std::string ArgumentText(const std::string& commandLine) {
    size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        const size_t close = commandLine.find('"', 1);
        i = close == std::string::npos ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && !IsBlank(commandLine[i]))
            ++i;
    }
    while (i < commandLine.size() && IsBlank(commandLine[i]))
        ++i;
    return commandLine.substr(i);
}

TStubOptions ParseArguments(const std::string& arguments) {
    TStubOptions options;
    std::string rest = arguments;
    const std::string upper = rtl::UpperCaseAscii(arguments);
    for (size_t at = upper.find("/D="); at != std::string::npos; at = upper.find("/D=", at + 1)) {
        // The argument starts at /D=, or at a quote just before it: "/D=C:\My Walls".
        size_t start = at;
        if (start > 0 && rest[start - 1] == '"')
            --start;
        if (start != 0 && !IsBlank(rest[start - 1]))
            continue;
        std::string folder = Unquoted(rest.substr(start)).substr(3);
        while (!folder.empty() && IsBlank(folder.back()))
            folder.pop_back();
        if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"')
            folder = folder.substr(1, folder.size() - 2);
        if (folder.empty())
            options.Error = "/D= must be followed by a folder.";
        else if (!IsFullPath(folder))
            options.Error = "/D= needs a full path, such as /D=C:\\Wallpapers\\Lagoon; \"" +
                            folder + "\" is not one.";
        else
            options.Folder = folder;
        rest.erase(start);
        break;
    }
    size_t i = 0;
    while (i < rest.size()) {
        while (i < rest.size() && IsBlank(rest[i]))
            ++i;
        const size_t start = i;
        while (i < rest.size() && !IsBlank(rest[i]))
            ++i;
        if (start == i)
            break;
        const std::string argument = Unquoted(rest.substr(start, i - start));
        const std::string digits = argument.substr(std::min(argument.size(), size_t{9}));
        if (rtl::SameTextAscii(argument, "/S")) {
            options.Silent = true;
        } else if (rtl::SameTextAscii(argument, "/NOLIVELY")) {
            options.NoLively = true;
        } else if (rtl::SameTextAscii(argument, "/NOWALLPAPERENGINE")) {
            options.NoEngine = true;
        } else if (rtl::SameTextAscii(argument, "/NOWALLPAPER")) {
            options.NoWallpaper = true;
        } else if (argument == "/?") {
            options.Help = true;
        } else if (rtl::SameTextAscii(argument.substr(0, 9), CleanupPrefix) && !digits.empty() &&
                   digits.size() <= 19 &&
                   digits.find_first_not_of("0123456789") == std::string::npos) {
            options.CleanupWait = std::stoull(digits);
        } else if (options.Error.empty()) {
            options.Error =
                "Unknown argument \"" + argument +
                "\". The installer takes /S, /NOLIVELY, /NOWALLPAPERENGINE, /NOWALLPAPER, /? and "
                "/D=FOLDER as the last argument.";
        }
    }
    return options;
}

} // namespace stub
