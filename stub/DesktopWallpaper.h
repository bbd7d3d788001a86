#pragma once

#include <optional>
#include <string>

#include "Installation.h"

namespace stub {

// What the finish page and /S say when nothing here can put the wallpaper on the desktop.
constexpr const char* NoDesktopText =
    "To put it on the desktop, this computer needs the Microsoft Edge WebView2 Runtime (part of "
    "Windows 10 and 11) or Lively Wallpaper; install either, then run this installer again.";
// What the finish page says of the wallpaper host.
constexpr const char* HostText = "On the desktop it plays behind the icons on every screen, and "
                                 "again at every log-in, until it is uninstalled.";

// How an installed wallpaper gets on the desktop: through Lively Wallpaper where a copy went
// into the library of a Lively whose program is found, else through the wallpaper host
// installed with it where the WebView2 runtime is, else not at all.
class TDesktopWallpaper {
public:
    enum class TRoute { Lively, Host, None };

    // Decided from the installation as it stands; after Run, from the copies placed.
    TDesktopWallpaper(const TInstallation& installation, std::optional<std::string> lively,
                      bool runtime);
    // Lively's program and whether the runtime is here, looked up now.
    explicit TDesktopWallpaper(const TInstallation& installation);

    TRoute Route() const;
    // Puts the wallpaper on the desktop and waits until it is there; empty when it is, else
    // the line that says why not (NoDesktopText for the route None).
    std::string Set() const;

private:
    const TInstallation& installation_;
    std::optional<std::string> lively_;
    bool runtime_;
};

} // namespace stub
