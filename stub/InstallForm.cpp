#include "InstallForm.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <new>

#include "LivelyLibrary.h"
#include "rtl/Errors.h"
#include "rtl/Paths.h"
#include "rtl/TextUtils.h"
#include "system/MessagePump.h"
#include "system/Shell.h"
#include "webview/WebViewRuntime.h"

namespace stub {

namespace {

const char* const WindowClass = "ZenvoyMuravelInstaller";
constexpr UINT ProgressMessage = WM_APP + 1;
constexpr UINT DoneMessage = WM_APP + 2;
constexpr UINT WallpaperMessage = WM_APP + 3;
constexpr int ClientWidth = 460;
constexpr int ClientHeight = 342;
constexpr unsigned ProgressRange = 1000;

enum TControlId {
    InfoLabel = 100,
    LicenseMemo,
    AcceptCheckBox,
    FolderCaption,
    FolderLabel,
    BrowseButton,
    LivelyCheckBox,
    EngineCheckBox,
    StatusLabel,
    FinishFolderLabel,
    ProgressBar,
    LivelyLabel,
    NoLivelyLabel,
    SetWallpaperCheckBox,
    OpenCheckBox,
    InstallButton,
    CancelButton,
    FinishButton,
};

// A label that shows a path: too long, it is shortened in the middle, never broken.
constexpr DWORD PathStyle = SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS | SS_CENTERIMAGE;

} // namespace

struct TInstallForm::TControlRow {
    int Id;
    const char* ClassName;
    const char* Caption;
    DWORD Style;
    int X, Y, Width, Height;
    unsigned Pages;
    TCondition When;
};

// In tab order.
const TInstallForm::TControlRow TInstallForm::Layout[] = {
    {InfoLabel, "STATIC", "", SS_LEFT | SS_NOPREFIX, 16, 14, 428, 32, ReadyPage, Always},
    {LicenseMemo, "EDIT", "",
     ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 16, 50, 428,
     150, ReadyPage, WithLicense},
    {AcceptCheckBox, "BUTTON", "I accept", BS_AUTOCHECKBOX | WS_TABSTOP, 16, 206, 428, 22,
     ReadyPage, WithLicense},
    {FolderCaption, "STATIC", "Install to:", SS_LEFT | SS_CENTERIMAGE, 16, 238, 66, 22, ReadyPage,
     Always},
    {FolderLabel, "STATIC", "", PathStyle | SS_SUNKEN, 84, 238, 264, 22, ReadyPage, Always},
    {BrowseButton, "BUTTON", "Browse...", BS_PUSHBUTTON | WS_TABSTOP, 356, 236, 88, 26, ReadyPage,
     Always},
    {LivelyCheckBox, "BUTTON", "Also add to Lively Wallpaper", BS_AUTOCHECKBOX | WS_TABSTOP, 16,
     270, 210, 22, ReadyPage, WithLively},
    {EngineCheckBox, "BUTTON", "Also add to Wallpaper Engine", BS_AUTOCHECKBOX | WS_TABSTOP, 234,
     270, 210, 22, ReadyPage, WithEngine},
    {StatusLabel, "STATIC", "", SS_LEFT | SS_NOPREFIX, 16, 100, 428, 20,
     InstallingPage | FinishedPage, Always},
    {FinishFolderLabel, "STATIC", "", PathStyle, 16, 122, 428, 20, FinishedPage, Always},
    {ProgressBar, PROGRESS_CLASSA, "", PBS_SMOOTH, 16, 130, 428, 20, InstallingPage, Always},
    {LivelyLabel, "STATIC", "", SS_LEFT | SS_NOPREFIX, 16, 150, 428, 48, FinishedPage, WithLively},
    {NoLivelyLabel, "STATIC", "", SS_LEFT | SS_NOPREFIX, 16, 150, 428, 48, FinishedPage,
     WithoutLively},
    {SetWallpaperCheckBox, "BUTTON", "Set as my desktop wallpaper now",
     BS_AUTOCHECKBOX | WS_TABSTOP, 16, 204, 428, 22, FinishedPage, WithDesktop},
    {OpenCheckBox, "BUTTON", "Open the wallpaper now", BS_AUTOCHECKBOX | WS_TABSTOP, 16, 230, 428,
     22, FinishedPage, Always},
    {InstallButton, "BUTTON", "Install", BS_DEFPUSHBUTTON | WS_TABSTOP, 268, 304, 84, 26,
     ReadyPage | InstallingPage, Always},
    {CancelButton, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 360, 304, 84, 26,
     ReadyPage | InstallingPage, Always},
    {FinishButton, "BUTTON", "Finish", BS_DEFPUSHBUTTON | WS_TABSTOP, 360, 304, 84, 26,
     FinishedPage, Always},
};

TInstallForm::TInstallForm(HINSTANCE instance, TInstallation& installation,
                           const TInstallerPackage& package,
                           std::vector<std::string> livelyLibraries,
                           std::vector<std::string> engineLibraries)
    : instance_(instance), installation_(installation), package_(package),
      project_(package.Project()), livelyLibraries_(std::move(livelyLibraries)),
      engineLibraries_(std::move(engineLibraries)), livelyProgram_(lively::ProgramPath()),
      runtime_(webview::RuntimePresent()) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        // The title is measured with DrawTextA, which reads text in the code page of the
        // font's character set; the default one's is the program's own.
        metrics.lfMessageFont.lfCharSet = DEFAULT_CHARSET;
        font_.Reset(CreateFontIndirectA(&metrics.lfMessageFont));
    }

    RegisterWindowClass(WindowClass, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                        LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)));

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT bounds{0, 0, ClientWidth, ClientHeight};
    AdjustWindowRect(&bounds, style, FALSE);
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    // ClassProc reads the creation parameter as the window object.
    CreateWindowExW(0, sys::TWideClassName(WindowClass).Get(), L"", style, x, y, width, height,
                    nullptr, nullptr, instance_, static_cast<sys::TWindow*>(this));
    if (Handle() == nullptr)
        throw rtl::Exception("The installer's window cannot be created. " + rtl::LastErrorText());
    SetWindowTextA(Handle(), installation_.Title().c_str());
    CreateControls();
    ShowPage(ReadyPage);
}

TInstallForm::~TInstallForm() {
    // The worker uses the installation and the window until it ends.
    if (worker_.Valid())
        WaitForSingleObject(worker_.Get(), INFINITE);
}

bool TInstallForm::PreTranslateMessage(MSG& message) {
    return IsDialogMessageW(Handle(), &message) != FALSE;
}

LRESULT TInstallForm::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            switch (LOWORD(wParam)) {
            case AcceptCheckBox:
                UpdateInstallButton();
                return 0;
            case BrowseButton:
                BrowseButtonClick();
                return 0;
            case LivelyCheckBox:
            case EngineCheckBox:
                installation_.SetPlace(installation_.Folder(), ChosenLibraries());
                return 0;
            case InstallButton:
                InstallButtonClick();
                return 0;
            case FinishButton:
                FinishButtonClick();
                return 0;
            case CancelButton:
            case IDCANCEL:
                CloseRequest();
                return 0;
            }
        }
        break;
    case DM_GETDEFID:
        // The keyboard handling of IsDialogMessage asks which button Enter presses.
        return MAKELRESULT(page_ == FinishedPage ? FinishButton : InstallButton, DC_HASDEFID);
    case WM_CLOSE:
        CloseRequest();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case ProgressMessage:
        InstallProgress(wParam);
        return 0;
    case DoneMessage:
        InstallDone();
        return 0;
    case WallpaperMessage:
        WallpaperDone();
        return 0;
    }
    return DefWindowProcW(Handle(), message, wParam, lParam);
}

bool TInstallForm::Holds(TCondition condition) const {
    switch (condition) {
    case WithLicense:
        return project_.ShowLicense;
    case WithLively:
        return !livelyLibraries_.empty();
    case WithEngine:
        return !engineLibraries_.empty();
    case WithDesktop:
        return (!livelyLibraries_.empty() && livelyProgram_.has_value()) || runtime_;
    case WithoutLively:
        return livelyLibraries_.empty();
    case Always:
        break;
    }
    return true;
}

void TInstallForm::CreateControls() {
    for (const TControlRow& row : Layout) {
        if (!Holds(row.When))
            continue;
        HWND control = CreateWindowExA(0, row.ClassName, row.Caption, WS_CHILD | row.Style, row.X,
                                       row.Y, row.Width, row.Height, Handle(),
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.Id)),
                                       instance_, nullptr);
        if (font_.Valid())
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    }
    if (project_.ShowLicense) {
        SetTitledText(InfoLabel, "Please read the licence agreement of ",
                      ". Tick \"I accept\" to install it.");
        std::string license;
        for (const std::string& line : project_.LicenseLines.Items())
            license += package_.CodePage().ToNative(line) + "\r\n";
        SetWindowTextA(Control(LicenseMemo), license.c_str());
    } else {
        // Without a licence the label has the room of the licence box as well.
        SetWindowPos(Control(InfoLabel), nullptr, 0, 0, 428, 120, SWP_NOMOVE | SWP_NOZORDER);
        SetTitledText(InfoLabel, "", " will be installed for you.");
    }
    SetWindowTextA(Control(FolderLabel), installation_.Folder().c_str());
    SetWindowTextA(Control(NoLivelyLabel), runtime_ ? HostText : NoDesktopText);
    SetWindowTextA(Control(LivelyLabel),
                   livelyProgram_ || runtime_
                       ? "It is in Lively Wallpaper's library as well."
                       : "It is in Lively Wallpaper's library as well: choose it there "
                         "to put it on the desktop.");
    const std::vector<std::string>& copies = installation_.Copies();
    const bool inLively = lively::LibraryCopy(copies).has_value();
    SendMessageA(Control(LivelyCheckBox), BM_SETCHECK, inLively ? BST_CHECKED : BST_UNCHECKED, 0);
    const bool inEngine = std::any_of(copies.begin(), copies.end(), [](const std::string& copy) {
        return !lively::IsLibraryCopy(copy);
    });
    SendMessageA(Control(EngineCheckBox), BM_SETCHECK, inEngine ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageA(Control(ProgressBar), PBM_SETRANGE32, 0, ProgressRange);
}

std::vector<std::string> TInstallForm::ChosenLibraries() const {
    std::vector<std::string> chosen;
    if (Checked(LivelyCheckBox))
        chosen = livelyLibraries_;
    if (Checked(EngineCheckBox))
        chosen.insert(chosen.end(), engineLibraries_.begin(), engineLibraries_.end());
    return chosen;
}

int CALLBACK TInstallForm::BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED)
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
}

void TInstallForm::BrowseButtonClick() {
    // The folder's parent is what the user picks; the wallpaper keeps its folder in it.
    const std::string start = rtl::ExtractFilePath(installation_.Folder());
    char chosen[MAX_PATH] = {};
    BROWSEINFOA browse{};
    browse.hwndOwner = Handle();
    browse.pszDisplayName = chosen;
    browse.lpszTitle = "Choose the folder to install the wallpaper in.";
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
    browse.lpfn = BrowseCallback;
    browse.lParam = reinterpret_cast<LPARAM>(start.c_str());
    LPITEMIDLIST item = SHBrowseForFolderA(&browse);
    if (item == nullptr)
        return;
    const bool found = SHGetPathFromIDListA(item, chosen) != FALSE;
    CoTaskMemFree(item);
    if (!found || chosen[0] == '\0')
        return;
    std::string folder = chosen;
    if (folder.back() == '\\')
        folder.pop_back();
    const std::string name = installation_.FolderName();
    if (!rtl::SameTextAscii(rtl::ExtractFileName(folder), name))
        folder += "\\" + name;
    installation_.SetPlace(folder, ChosenLibraries());
    SetWindowTextA(Control(FolderLabel), folder.c_str());
}

void TInstallForm::SetTitledText(int id, const std::string& before, const std::string& after) {
    const HWND label = Control(id);
    RECT room;
    GetClientRect(label, &room);
    const sys::TWindowDC dc(label);
    const HGDIOBJ oldFont =
        SelectObject(dc.Get(), font_.Valid() ? font_.Get() : GetStockObject(DEFAULT_GUI_FONT));
    // Where each character of the title starts, so a cut never splits one of several bytes:
    // UTF-8 as the manifest asks, or a double-byte code page on a Windows that ignores it.
    const std::string& title = installation_.Title();
    const bool utf8 = GetACP() == CP_UTF8;
    std::vector<size_t> starts;
    for (size_t at = 0; at < title.size();) {
        starts.push_back(at);
        if (utf8)
            for (++at; at < title.size() && (static_cast<unsigned char>(title[at]) & 0xC0) == 0x80;)
                ++at;
        else
            at = static_cast<size_t>(CharNextA(title.c_str() + at) - title.c_str());
    }
    std::string text;
    for (size_t keep = starts.size();; keep = keep * 9 / 10) {
        const std::string shown =
            keep == starts.size() ? title : title.substr(0, keep > 0 ? starts[keep] : 0) + "...";
        text = before + "\"" + shown + "\"" + after;
        RECT needed{0, 0, room.right, 0};
        DrawTextA(dc.Get(), text.c_str(), -1, &needed,
                  DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        if (needed.bottom <= room.bottom || keep == 0)
            break;
    }
    SelectObject(dc.Get(), oldFont);
    SetWindowTextA(label, text.c_str());
}

bool TInstallForm::Checked(int id) const {
    return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TInstallForm::ShowPage(TPage page) {
    page_ = page;
    // The library's lines on the finish page only when the copy was placed, but for the line
    // that says why it was not.
    const bool placed = lively::LibraryCopy(installation_.Copies()).has_value();
    const bool failed = !installation_.CopyFailure().empty();
    const bool noDesktop = Desktop().Route() == TDesktopWallpaper::TRoute::None;
    for (const TControlRow& row : Layout)
        if (HWND control = Control(row.Id)) {
            const bool libraryLine = page == FinishedPage && row.When == WithLively && !placed &&
                                     !(failed && row.Id == LivelyLabel);
            const bool desktopLine = page == FinishedPage && row.When == WithDesktop && noDesktop;
            ShowWindow(control,
                       (row.Pages & page) != 0 && !libraryLine && !desktopLine ? SW_SHOW : SW_HIDE);
        }
    EnableWindow(Control(CancelButton), page == ReadyPage);
    UpdateInstallButton();
    if (page == FinishedPage)
        SetFocus(Control(FinishButton));
}

void TInstallForm::UpdateInstallButton() {
    const bool accepted = !project_.ShowLicense || Checked(AcceptCheckBox);
    EnableWindow(Control(InstallButton), page_ == ReadyPage && accepted);
}

TDesktopWallpaper TInstallForm::Desktop() const {
    return TDesktopWallpaper(installation_, livelyProgram_, runtime_);
}

HWND TInstallForm::DesktopLine() const {
    const HWND lively = Control(LivelyLabel);
    return lively != nullptr ? lively : Control(NoLivelyLabel);
}

void TInstallForm::InstallButtonClick() {
    if (page_ != ReadyPage || !IsWindowEnabled(Control(InstallButton)))
        return;
    error_.clear();
    errorHeadline_ = InstallFailed;
    lastPermille_ = 0;
    SendMessageA(Control(ProgressBar), PBM_SETPOS, 0, 0);
    SetTitledText(StatusLabel, "Installing ", "...");
    ShowPage(InstallingPage);
    worker_.Reset(CreateThread(nullptr, 0, InstallThread, this, 0, nullptr));
    if (!worker_.Valid()) {
        error_ = rtl::LastErrorText();
        InstallDone();
    }
}

DWORD WINAPI TInstallForm::InstallThread(void* parameter) {
    auto* form = static_cast<TInstallForm*>(parameter);
    try {
        form->installation_.Run([form](int64_t done, int64_t total) {
            const unsigned permille =
                total > 0 ? static_cast<unsigned>(done * ProgressRange / total) : ProgressRange;
            // One message per step of the bar, not one per piece written.
            if (permille != form->lastPermille_) {
                form->lastPermille_ = permille;
                PostMessageA(form->Handle(), ProgressMessage, permille, 0);
            }
        });
    } catch (const std::bad_alloc&) {
        form->error_ = rtl::EOutOfMemory().Message;
    } catch (const wallpaper::EDamaged& damage) {
        form->error_ = damage.Message;
        form->errorHeadline_ = DamagedInstaller;
    } catch (const std::exception& error) {
        form->error_ = error.what();
    }
    PostMessageA(form->Handle(), DoneMessage, 0, 0);
    return 0;
}

void TInstallForm::InstallProgress(WPARAM permille) {
    SendMessageA(Control(ProgressBar), PBM_SETPOS, permille, 0);
}

void TInstallForm::InstallDone() {
    if (worker_.Valid())
        WaitForSingleObject(worker_.Get(), INFINITE);
    worker_.Reset();
    if (!error_.empty()) {
        ShowPage(ReadyPage);
        MessageBoxA(Handle(), (errorHeadline_ + "\r\n\r\n" + error_).c_str(),
                    installation_.Title().c_str(), MB_OK | MB_ICONERROR);
        return;
    }
    outcome_ = TOutcome::Installed;
    SetTitledText(StatusLabel, "", " has been installed in:");
    SetWindowTextA(Control(FinishFolderLabel), installation_.Folder().c_str());
    // A wallpaper on the desktop is seen already; a second copy in the browser only costs.
    const bool onDesktop = Desktop().Route() != TDesktopWallpaper::TRoute::None;
    SendMessageA(Control(OpenCheckBox), BM_SETCHECK, onDesktop ? BST_UNCHECKED : BST_CHECKED, 0);
    SendMessageA(Control(SetWallpaperCheckBox), BM_SETCHECK, BST_CHECKED, 0);
    if (!installation_.CopyFailure().empty())
        SetWindowTextA(DesktopLine(), installation_.CopyFailure().c_str());
    ShowPage(FinishedPage);
}

void TInstallForm::FinishButtonClick() {
    if (settingWallpaper_)
        return;
    if (Desktop().Route() == TDesktopWallpaper::TRoute::None || !Checked(SetWallpaperCheckBox)) {
        Finish();
        return;
    }
    settingWallpaper_ = true;
    EnableWindow(Control(FinishButton), FALSE);
    EnableWindow(Control(SetWallpaperCheckBox), FALSE);
    SetWindowTextA(DesktopLine(), "Putting the wallpaper on the desktop...");
    ShowWindow(DesktopLine(), SW_SHOW);
    worker_.Reset(CreateThread(nullptr, 0, WallpaperThread, this, 0, nullptr));
    if (!worker_.Valid()) {
        wallpaperFailure_ = rtl::LastErrorText();
        WallpaperDone();
    }
}

DWORD WINAPI TInstallForm::WallpaperThread(void* parameter) {
    auto* form = static_cast<TInstallForm*>(parameter);
    form->wallpaperFailure_ = form->Desktop().Set();
    PostMessageA(form->Handle(), WallpaperMessage, 0, 0);
    return 0;
}

void TInstallForm::WallpaperDone() {
    if (worker_.Valid())
        WaitForSingleObject(worker_.Get(), INFINITE);
    worker_.Reset();
    settingWallpaper_ = false;
    if (wallpaperFailure_.empty()) {
        Finish();
        return;
    }
    // Installed all the same: the user learns where the wallpaper is, and Finish closes.
    SetWindowTextA(DesktopLine(), wallpaperFailure_.c_str());
    SendMessageA(Control(SetWallpaperCheckBox), BM_SETCHECK, BST_UNCHECKED, 0);
    EnableWindow(Control(FinishButton), TRUE);
    SetFocus(Control(FinishButton));
}

void TInstallForm::Finish() {
    if (Checked(OpenCheckBox)) {
        const std::string page = installation_.PagePath();
        const std::string failure =
            sys::OpenWithShell(Handle(), "open", page, "", installation_.Folder(), SW_SHOWNORMAL);
        if (!failure.empty())
            MessageBoxA(Handle(),
                        ("The wallpaper is installed, but the system cannot open \"" + page +
                         "\". " + failure)
                            .c_str(),
                        installation_.Title().c_str(), MB_OK | MB_ICONWARNING);
    }
    DestroyWindow(Handle());
}

void TInstallForm::CloseRequest() {
    // A worker uses the window until it ends; closing then would leave it running.
    if (page_ == InstallingPage || settingWallpaper_)
        return;
    DestroyWindow(Handle());
}

TInstallForm::TOutcome TInstallForm::Run() {
    ShowWindow(Handle(), SW_SHOWNORMAL);
    UpdateWindow(Handle());
    sys::RunMessageLoop();
    return outcome_;
}

} // namespace stub
