#include "DesktopWallpaper.h"

#include "LivelyLibrary.h"
#include "host/HostControl.h"
#include "webview/WebViewRuntime.h"

namespace stub {

TDesktopWallpaper::TDesktopWallpaper(const TInstallation& installation,
                                     std::optional<std::string> lively, bool runtime)
    : installation_(installation), lively_(std::move(lively)), runtime_(runtime) {}

TDesktopWallpaper::TDesktopWallpaper(const TInstallation& installation)
    : TDesktopWallpaper(installation, lively::ProgramPath(), webview::RuntimePresent()) {}

TDesktopWallpaper::TRoute TDesktopWallpaper::Route() const {
    if (lively_ && lively::LibraryCopy(installation_.Copies()))
        return TRoute::Lively;
    return runtime_ ? TRoute::Host : TRoute::None;
}

std::string TDesktopWallpaper::Set() const {
    switch (Route()) {
    case TRoute::Lively:
        if (!lively::SetWallpaper(*lively_, *lively::LibraryCopy(installation_.Copies()),
                                  lively::AnswerTimeoutMs))
            return lively::NotSetText;
        // Two players on one desktop would draw over each other.
        host::Retire();
        return "";
    case TRoute::Host: {
        const std::string failure = host::Start(installation_.Folder());
        return failure.empty() ? "" : "The wallpaper could not be put on the desktop. " + failure;
    }
    case TRoute::None:
        break;
    }
    return NoDesktopText;
}

} // namespace stub
