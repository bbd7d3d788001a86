#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The wallpaper host as the installer and the host itself reach it. One host runs per user, from
// the folder of the wallpaper it shows, which is its window's title; the current user's Run key
// starts the host of the wallpaper set last at log-in.
namespace host {

constexpr const char* WindowClass = "ZenvoyMuravelWallpaperHost";
constexpr const char* RunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* RunValue = "Zenvoy Muravel Wallpaper";
// Held by the running host, so that two never show a wallpaper at once.
constexpr const wchar_t* MutexName = L"Local\\ZenvoyMuravelWallpaperHost";
// How long a host may take to end, or to show its window.
constexpr DWORD AnswerTimeoutMs = 15000;

// The command line the Run value holds for the host in folder.
std::string HostCommand(const std::string& folder);

// The folder of the wallpaper the running host shows; nothing when none runs.
std::optional<std::string> RunningFolder();
// Whether the running host shows the wallpaper in folder.
bool Shows(const std::string& folder);
// Asks the running host to end and waits up to timeoutMs for it to; true when none runs.
bool StopRunning(DWORD timeoutMs);

// Starts the host in folder and makes it the one that starts at log-in; waits until it shows
// its window. Empty when it did, else why not.
std::string Start(const std::string& folder);
// Stops whatever host runs and takes its start at log-in away: the desktop is another
// player's now.
void Retire();
// Stops the host when it shows the wallpaper in folder and takes its start at log-in away when
// the Run value names it; the host of another wallpaper is left as it is.
void Forget(const std::string& folder);

} // namespace host
