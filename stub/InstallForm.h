#pragma once

#include <optional>
#include <string>
#include <vector>

#include "DesktopWallpaper.h"
#include "Installation.h"
#include "system/Handle.h"
#include "system/Window.h"

namespace stub {

// The installer's window, titled after the wallpaper: the licence with "I accept" when the
// project asks for it (Install stays disabled until it is ticked), the folder with Browse and,
// where Lively Wallpaper or Wallpaper Engine is found, whether to add the wallpaper to its
// library too; then a
// progress bar while a worker thread installs, then a finish page that offers to open the
// wallpaper and to put it on the desktop, through Lively or the wallpaper host (a worker waits
// for either while the window stays responsive); where neither can, it says what would.
class TInstallForm final : public sys::TWindow {
public:
    enum class TOutcome { Installed, Cancelled };

    // livelyLibraries and engineLibraries are the folders of the players found, each player's
    // offered with a check box.
    TInstallForm(HINSTANCE instance, TInstallation& installation, const TInstallerPackage& package,
                 std::vector<std::string> livelyLibraries,
                 std::vector<std::string> engineLibraries);
    ~TInstallForm() override;

    // Shows the window and runs its message loop until it closes.
    TOutcome Run();

private:
    enum TPage : unsigned { ReadyPage = 1, InstallingPage = 2, FinishedPage = 4 };
    // When a control is made.
    enum TCondition { Always, WithLicense, WithLively, WithEngine, WithDesktop, WithoutLively };
    struct TControlRow;
    static const TControlRow Layout[];

    static int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data);
    static DWORD WINAPI InstallThread(void* form);
    static DWORD WINAPI WallpaperThread(void* form);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(MSG& message) override;
    void CreateControls();
    bool Holds(TCondition condition) const;
    std::vector<std::string> ChosenLibraries() const;
    HWND Control(int id) const { return GetDlgItem(Handle(), id); }
    bool Checked(int id) const;
    // Sets the label's text, the wallpaper's title quoted between before and after, the title
    // shortened with "..." until the whole text fits the label.
    void SetTitledText(int id, const std::string& before, const std::string& after);
    void ShowPage(TPage page);
    void UpdateInstallButton();
    TDesktopWallpaper Desktop() const;
    // The finish page's line about the desktop: Lively's where there is one, else ours.
    HWND DesktopLine() const;

    void BrowseButtonClick();
    void InstallButtonClick();
    void FinishButtonClick();
    void CloseRequest();
    void InstallProgress(WPARAM permille);
    void InstallDone();
    void WallpaperDone();
    // Opens the page when asked to and closes the window.
    void Finish();

    HINSTANCE instance_;
    TInstallation& installation_;
    const TInstallerPackage& package_;
    const core::TProject& project_;
    std::vector<std::string> livelyLibraries_;
    std::vector<std::string> engineLibraries_;
    std::optional<std::string> livelyProgram_;
    bool runtime_;
    sys::TFontHandle font_;
    sys::TKernelHandle worker_;
    TPage page_ = ReadyPage;
    TOutcome outcome_ = TOutcome::Cancelled;
    unsigned lastPermille_ = 0;
    // Written by the worker before it posts its end, read by the window after it.
    std::string error_;
    std::string errorHeadline_;
    std::string wallpaperFailure_;
    bool settingWallpaper_ = false;
};

} // namespace stub
