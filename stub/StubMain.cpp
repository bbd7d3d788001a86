#include <objbase.h>
#include <windows.h>

#include <new>
#include <optional>

#include "DesktopWallpaper.h"
#include "EngineLibrary.h"
#include "InstallForm.h"
#include "Installation.h"
#include "InstallerPackage.h"
#include "LivelyLibrary.h"
#include "StubCommandLine.h"
#include "Uninstallation.h"
#include "WinSupport.h"
#include "rtl/Errors.h"
#include "rtl/Paths.h"
#include "wallpaper/WebPlayer.h"

namespace {

using namespace stub;

// Exit codes: 0 only when everything asked for was done.
constexpr int ExitSuccess = 0;
constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;
constexpr int ExitCancelled = 3;

const char* const DamagedUninstaller = "This uninstaller is damaged.";
// Sizes are checked against the bytes present before anything is allocated, so memory running
// out while reading is a damaged file's doing rather than the machine's.
const char* const ClaimsTooMuch = "It claims more memory than its data can need.";
const char* const UninstallFailed = "The wallpaper could not be removed.";
const char* const DefaultCaption = "Wallpaper Setup";

// Where messages go: message boxes, or standard error under /S.
class TReporter {
public:
    explicit TReporter(bool silent) : silent_(silent) {}
    void SetCaption(std::string caption) { caption_ = std::move(caption); }
    bool Silent() const { return silent_; }

    int Fail(int code, const std::string& headline, const std::string& detail) const {
        const std::string text = detail.empty() ? headline : headline + "\r\n\r\n" + detail;
        if (silent_)
            WriteStandardError(headline + (detail.empty() ? "" : "\r\n" + detail) + "\r\n");
        else
            MessageBoxA(nullptr, text.c_str(), caption_.c_str(), MB_OK | MB_ICONERROR);
        return code;
    }
    bool Ask(const std::string& question) const {
        return silent_ || MessageBoxA(nullptr, question.c_str(), caption_.c_str(),
                                      MB_YESNO | MB_ICONQUESTION) == IDYES;
    }
    void Tell(const std::string& text) const {
        if (!silent_)
            MessageBoxA(nullptr, text.c_str(), caption_.c_str(), MB_OK | MB_ICONINFORMATION);
    }
    // The usage, on standard error or in a box.
    int Usage(const char* usage) const {
        if (silent_)
            WriteStandardError(std::string(usage) + "\r\n");
        else
            MessageBoxA(nullptr, usage, caption_.c_str(), MB_OK | MB_ICONINFORMATION);
        return ExitSuccess;
    }

private:
    bool silent_;
    std::string caption_ = DefaultCaption;
};

bool IsDriveRoot(const std::string& folder) {
    return folder.empty() || folder.back() == ':' || folder.back() == '\\' ||
           (folder.size() >= 2 && folder[0] == '\\' && folder[1] == '\\' &&
            folder.find('\\', folder.find('\\', 2) + 1) == std::string::npos);
}

int Uninstall(const wallpaper::TPackedImage& image, const TStubOptions& options, TReporter& report,
              const std::string& ownPath) {
    std::optional<TUninstallRecord> record;
    try {
        record = ReadUninstallRecord(image);
    } catch (const wallpaper::EDamaged& damage) {
        return report.Fail(ExitFailure, DamagedUninstaller, damage.Message);
    } catch (const std::bad_alloc&) {
        return report.Fail(ExitFailure, DamagedUninstaller, ClaimsTooMuch);
    }
    report.SetCaption(record->Title);
    if (options.Help)
        return report.Usage(UninstallerUsage);
    if (options.Folder || options.NoLively || options.NoEngine || options.NoWallpaper)
        return report.Fail(ExitUsage, UninstallFailed, "The uninstaller takes only /S and /?.");
    TUninstallation uninstallation(*record, ownPath, image.StoredBytes(0),
                                   image.Entry(0).StoredSize);
    try {
        uninstallation.CheckPlace();
        if (!report.Ask("Remove the wallpaper \"" + record->Title + "\" from this computer?"))
            return ExitCancelled;
        uninstallation.Run();
    } catch (const rtl::Exception& error) {
        return report.Fail(ExitFailure, UninstallFailed, error.Message);
    }
    report.Tell("\"" + record->Title + "\" has been removed.");
    return ExitSuccess;
}

int Install(HINSTANCE instance, const wallpaper::TPackedImage& image, const TStubOptions& options,
            TReporter& report) {
    std::optional<TInstallerPackage> package;
    std::optional<wallpaper::TWebPlayer> player;
    try {
        package.emplace(image, rtl::TempDirectory());
        player.emplace(image.StoredBytes(core::StubEntry), image.Entry(core::StubEntry).StoredSize);
    } catch (const wallpaper::EDamaged& damage) {
        return report.Fail(ExitFailure, DamagedInstaller, damage.Message);
    } catch (const std::bad_alloc&) {
        return report.Fail(ExitFailure, DamagedInstaller, ClaimsTooMuch);
    }
    report.SetCaption(package->Title());
    if (options.Help)
        return report.Usage(InstallerUsage);
    const std::string folder =
        options.Folder ? FullFolderPath(*options.Folder) : TInstallation::DefaultFolder(*package);
    if (IsDriveRoot(folder))
        return report.Fail(ExitUsage, InstallFailed,
                           "\"" + folder +
                               "\" is the root of a drive; please name a folder in it.");
    // Added to Lively's library and Wallpaper Engine's projects too unless /NOLIVELY or
    // /NOWALLPAPERENGINE says no; the window asks.
    const std::vector<std::string> livelyLibraries =
        options.NoLively ? std::vector<std::string>() : lively::WallpapersFolders();
    const std::vector<std::string> engineLibraries =
        options.NoEngine ? std::vector<std::string>() : engine::ProjectsFolders();
    std::vector<std::string> libraries = livelyLibraries;
    libraries.insert(libraries.end(), engineLibraries.begin(), engineLibraries.end());
    TInstallation installation(*package, *player, folder, libraries);
    if (!report.Silent()) {
        TInstallForm form(instance, installation, *package, livelyLibraries, engineLibraries);
        return form.Run() == TInstallForm::TOutcome::Installed ? ExitSuccess : ExitCancelled;
    }
    try {
        installation.Run([](int64_t, int64_t) {});
    } catch (const wallpaper::EDamaged& damage) {
        return report.Fail(ExitFailure, DamagedInstaller, damage.Message);
    } catch (const rtl::Exception& error) {
        return report.Fail(ExitFailure, InstallFailed, error.Message);
    }
    // Installed all the same when the library, Lively or the host does not take it.
    if (!installation.CopyFailure().empty())
        WriteStandardError(installation.CopyFailure() + "\r\n");
    if (!options.NoWallpaper) {
        const std::string failure = TDesktopWallpaper(installation).Set();
        if (!failure.empty())
            WriteStandardError(failure + "\r\n");
    }
    return ExitSuccess;
}

int Main(HINSTANCE instance) {
    const TStubOptions options = ParseArguments(ArgumentText(GetCommandLineA()));
    TReporter report(options.Silent);
    if (!options.Error.empty())
        return report.Fail(ExitUsage, InstallFailed, options.Error);
    try {
        if (options.CleanupWait)
            return RunCleanup(*options.CleanupWait, options.Folder.value_or(""));
        const std::string ownPath = rtl::ExecutablePath();
        const TMappedFile own(ownPath);
        std::optional<wallpaper::TPackedImage> image;
        try {
            image.emplace(own.Data(), own.Size());
        } catch (const wallpaper::EDamaged& damage) {
            return report.Fail(ExitFailure, DamagedInstaller, damage.Message);
        } catch (const std::bad_alloc&) {
            return report.Fail(ExitFailure, DamagedInstaller, ClaimsTooMuch);
        }
        if (IsUninstallerImage(*image))
            return Uninstall(*image, options, report, ownPath);
        return Install(instance, *image, options, report);
    } catch (const std::bad_alloc&) {
        return report.Fail(ExitFailure, InstallFailed, rtl::EOutOfMemory().Message);
    } catch (const std::exception& error) {
        return report.Fail(ExitFailure, InstallFailed, error.what());
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The shell's file associations, used to open the page at the end, want COM.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const int code = Main(instance);
    CoUninitialize();
    return code;
}
