#include "LivelyLibrary.h"

#include <shlobj.h>

#include <utility>

#include "WinSupport.h"
#include "rtl/CodePage.h"
#include "rtl/Errors.h"
#include "rtl/Paths.h"
#include "rtl/Streams.h"
#include "rtl/TextUtils.h"
#include "system/FileTree.h"
#include "system/RegistryReader.h"
#include "system/Shell.h"
#include "wallpaper/LivelyInfo.h"

namespace stub::lively {

namespace {

const char* const SettingsFolders[] = {
    "\\Lively Wallpaper",
    "\\Packages\\12030rocksdanister.LivelyWallpaper_97hta09mmv6hy\\LocalCache\\Local\\Lively "
    "Wallpaper",
};

const char* const InstanceMutex = "LIVELY:DESKTOPWALLPAPERSYSTEM";
const char* const UninstallEntry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                                   "{E3E43E1B-DEC8-44BF-84A6-243DBA3F2CB1}_is1";
constexpr DWORD PollMs = 100;
// How long a command's arrival is looked for in the layout before it is sent again.
constexpr DWORD ArrivalMs = 5000;
constexpr int SendAttempts = 3;

// The library folder its settings name, or the default.
std::string WallpaperDir(const std::string& settingsFolder) {
    const std::string settings = settingsFolder + "\\Settings.json";
    if (PathExists(settings)) {
        try {
            rtl::TMemoryStream text;
            text.LoadFromFile(settings);
            const std::optional<std::string> dir =
                wallpaper::JsonStringValue(text.ToString(), "WallpaperDir");
            if (dir && !dir->empty())
                return rtl::Utf8ToNative(*dir);
        } catch (const rtl::Exception&) {
            // Lively reads a settings file it cannot use as its defaults, and so does this.
        }
    }
    return settingsFolder + "\\Library";
}

std::vector<std::string> SettingsFoldersHere() {
    std::vector<std::string> folders;
    try {
        const std::string local = sys::LocalAppDataFolder();
        for (const char* settings : SettingsFolders)
            if (rtl::DirectoryExists(local + settings))
                folders.push_back(local + settings);
    } catch (const rtl::Exception&) {
        // Without a local application data folder there is no Lively of this user's.
    }
    return folders;
}

std::optional<std::string> InstalledAt(HKEY root, REGSAM view) {
    sys::TRegKey key;
    if (RegOpenKeyExA(root, UninstallEntry, 0, KEY_QUERY_VALUE | view, key.Receive()) !=
        ERROR_SUCCESS)
        return std::nullopt;
    const std::optional<std::string> folder =
        sys::ReadStringValue(key.Get(), "Inno Setup: App Path");
    if (!folder || folder->empty())
        return std::nullopt;
    return *folder + "\\Lively.exe";
}

bool Running() {
    return sys::TKernelHandle(OpenMutexA(SYNCHRONIZE, FALSE, InstanceMutex)).Valid();
}

// Whether Lively takes commands: it runs and listens on its pipe, which it opens a while after
// taking its mutex.
bool Answering() {
    char user[257] = {};
    DWORD size = sizeof user;
    if (!Running() || !GetUserNameA(user, &size))
        return false;
    const std::string pipe = std::string("\\\\.\\pipe\\Grpc_") + InstanceMutex + user;
    return WaitNamedPipeA(pipe.c_str(), 1) != FALSE;
}

// Starts program with the arguments; with waitMs, waits that long at most for it to end.
bool Run(const std::string& program, const std::string& arguments, DWORD waitMs) {
    std::string command = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    // None of the installer's standard handles: Lively runs on long after it, and whoever reads
    // the installer's output waits for every holder of it to end.
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    const sys::TKernelHandle thread(process.hThread), handle(process.hProcess);
    if (waitMs > 0)
        WaitForSingleObject(handle.Get(), waitMs);
    return true;
}

// The screens each layout file lists folder on, by the numbers closewp takes; whether any layout
// file was found.
std::vector<int> ScreensShowing(const std::string& folder, bool& layoutFound) {
    std::vector<int> screens;
    layoutFound = false;
    for (const std::string& settings : SettingsFoldersHere()) {
        const std::string layout = settings + "\\WallpaperLayout.json";
        if (!PathExists(layout))
            continue;
        layoutFound = true;
        try {
            rtl::TMemoryStream text;
            text.LoadFromFile(layout);
            for (const std::string& item : wallpaper::JsonItems(text.ToString())) {
                const std::optional<std::string> path =
                    wallpaper::JsonStringValue(item, "LivelyInfoPath");
                if (!path || !rtl::SameFile(rtl::Utf8ToNative(*path), folder))
                    continue;
                const std::optional<std::string> screen =
                    wallpaper::JsonMember(item, "LivelyScreen");
                const std::optional<std::string> index =
                    screen ? wallpaper::JsonMember(*screen, "Index") : std::nullopt;
                // A screen it cannot name is left alone: closewp -1 would close every wallpaper.
                int32_t number = 0;
                if (index && rtl::TryStrToInt(*index, number) && number > 0)
                    screens.push_back(number);
            }
        } catch (const rtl::Exception&) {
            // A layout being rewritten is read again on the next look.
        }
    }
    return screens;
}

} // namespace

std::vector<std::string> WallpapersFolders() {
    std::vector<std::string> folders;
    for (const std::string& settings : SettingsFoldersHere())
        folders.push_back(WallpaperDir(settings) + "\\wallpapers");
    return folders;
}

bool IsLibraryCopy(const std::string& copy) {
    const size_t name = copy.find_last_of('\\');
    const size_t parent = name == std::string::npos || name == 0
                              ? std::string::npos
                              : copy.find_last_of('\\', name - 1);
    return parent != std::string::npos &&
           rtl::SameTextAscii(copy.substr(parent + 1, name - parent - 1), "wallpapers");
}

std::optional<std::string> LibraryCopy(const std::vector<std::string>& copies) {
    for (const std::string& copy : copies)
        if (IsLibraryCopy(copy))
            return copy;
    return std::nullopt;
}

std::optional<std::string> ProgramPath() {
    // Its installer runs in 32-bit mode, so a machine-wide entry is in the 32-bit view.
    std::vector<std::string> places;
    for (const auto& [root, view] : {std::pair{HKEY_CURRENT_USER, REGSAM(0)},
                                     std::pair{HKEY_LOCAL_MACHINE, REGSAM(KEY_WOW64_32KEY)}})
        if (const std::optional<std::string> program = InstalledAt(root, view))
            places.push_back(*program);
    try {
        places.push_back(sys::LocalAppDataFolder() + "\\Programs\\Lively Wallpaper\\Lively.exe");
        places.push_back(sys::ShellFolder(CSIDL_PROGRAM_FILES, "programs") +
                         "\\Lively Wallpaper\\Lively.exe");
    } catch (const rtl::Exception&) {
        // Without the folders there is nowhere to look.
    }
    for (const std::string& place : places)
        if (PathExists(place))
            return place;
    return std::nullopt;
}

bool SetWallpaper(const std::string& program, const std::string& folder, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    const auto left = [deadline] {
        const ULONGLONG now = GetTickCount64();
        return now < deadline ? static_cast<DWORD>(deadline - now) : 0;
    };
    if (!Running() && !Run(program, "", 0))
        return false;
    while (!Answering()) {
        if (left() == 0)
            return false;
        Sleep(PollMs);
    }
    // The command is sent again until the layout shows it arrived: the Lively that hands it on
    // may end before it has.
    bool layoutFound = false;
    for (int attempt = 0; attempt < SendAttempts && left() > 0; ++attempt) {
        Run(program, "setwp --file \"" + folder + "\"", left());
        for (DWORD waited = 0; waited < ArrivalMs && left() > 0; waited += PollMs) {
            if (!ScreensShowing(folder, layoutFound).empty())
                return true;
            Sleep(PollMs);
        }
        if (!layoutFound)
            return true;
    }
    return false;
}

void CloseWallpaper(const std::string& program, const std::string& folder) {
    bool layoutFound = false;
    const std::vector<int> screens = ScreensShowing(folder, layoutFound);
    if (screens.empty() || !Answering())
        return;
    for (const int screen : screens)
        Run(program, "closewp --monitor " + std::to_string(screen), ArrivalMs);
}

void ForgetSettings(const std::string& folder) {
    // The copy is <WallpaperDir>\wallpapers\<name>; what the user changed of it is kept in
    // <WallpaperDir>\SaveData\wpdata\<name>.
    const size_t name = folder.find_last_of('\\');
    const size_t wallpapers =
        name == std::string::npos ? name : folder.find_last_of('\\', name - 1);
    if (wallpapers == std::string::npos || name == 0)
        return;
    sys::RemoveTree(folder.substr(0, wallpapers) + "\\SaveData\\wpdata" + folder.substr(name));
}

} // namespace stub::lively
