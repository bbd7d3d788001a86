#pragma once

#include <string>

#include "Installation.h"
#include "system/Handle.h"

namespace stub {

// The installer's window, titled after the wallpaper: the licence with "I accept" when the
// project asks for it (Install stays disabled until it is ticked) or the folder otherwise,
// then a progress bar while a worker thread installs, then a finish page that offers to open
// the wallpaper.
class TInstallForm {
public:
    enum class TOutcome { Installed, Cancelled };

    TInstallForm(HINSTANCE instance, TInstallation& installation, const core::TProject& project);
    ~TInstallForm();
    TInstallForm(const TInstallForm&) = delete;
    TInstallForm& operator=(const TInstallForm&) = delete;

    // Shows the window and runs its message loop until it closes.
    TOutcome Run();

private:
    enum TPage : unsigned { ReadyPage = 1, InstallingPage = 2, FinishedPage = 4 };
    struct TControlRow;
    static const TControlRow Layout[];

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static DWORD WINAPI InstallThread(void* form);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    bool Checked(int id) const;
    void ShowPage(TPage page);
    void UpdateInstallButton();

    void InstallButtonClick();
    void FinishButtonClick();
    void CloseRequest();
    void InstallProgress(WPARAM permille);
    void InstallDone();

    HINSTANCE instance_;
    TInstallation& installation_;
    const core::TProject& project_;
    HWND window_ = nullptr;
    sys::TFontHandle font_;
    sys::TKernelHandle worker_;
    TPage page_ = ReadyPage;
    TOutcome outcome_ = TOutcome::Cancelled;
    unsigned lastPermille_ = 0;
    // Written by the worker before it posts its end, read by the window after it.
    std::string error_;
};

} // namespace stub
