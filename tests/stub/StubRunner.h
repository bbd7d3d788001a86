#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../host/RuntimeStandIn.h"
#include "StubTestSupport.h"
#include "wallpaper/WebPlayer.h"

namespace stubrun {

// A path as a Windows program sees it: the build hands the tests Unix paths, which Wine
// shows on drive Z:.
std::string WindowsPath(const std::string& path);

struct TRun {
    DWORD ExitCode;
    std::string Error; // what the program wrote to standard error
};

// Runs program with arguments in folder (or here), standard error going to a file, and waits
// for it to end; a program that has not ended within a minute fails the test and is stopped.
TRun RunProgram(const std::string& program, const std::string& arguments,
                const std::string& folder = "");

// Keeps deciding until condition holds or 20 seconds have gone; for what a program does
// after another one ended, so nothing here measures speed.
bool Eventually(const std::function<bool()>& condition);

bool Exists(const std::string& path);
// Names in folder, "." and ".." left out; empty for a missing folder.
std::vector<std::string> Names(const std::string& folder);

// Values under the current user's Uninstall key for name; "" or 0 when missing.
std::string UninstallString(const std::string& name, const char* value);
DWORD UninstallNumber(const std::string& name, const char* value);
bool UninstallKeyExists(const std::string& name);
void DeleteUninstallKey(const std::string& name);

// The runtime's stand-in for the installer's tests: the wallpaper host it started is stopped,
// and its start at log-in taken away, at the end.
class TRuntimeStandIn : public standin::TRuntime {
public:
    explicit TRuntimeStandIn(const std::string& folder);
    ~TRuntimeStandIn() override;
};

// The command the current user's Run key holds for the wallpaper host; "" when none.
std::string HostRunValue();

// A folder for one test, with muravel-cli and fake player files beside it as the
// generator's siblings, and the real stub; removes the wallpapers' registry entries that the
// test names with NewGuid.
class TStubTest : public ::testing::Test {
protected:
    TStubTest();
    ~TStubTest() override;

    std::string NewGuid();
    // An Uninstall entry that the test's installers make under another name than a GUID.
    void RemoveKeyAtEnd(const std::string& name) { keys_.push_back(name); }
    const std::string& Root() const { return root_.Path(); }
    std::string Path(const std::string& name) const { return root_ / name; }
    const std::string& StubPath() const { return stub_; }
    const std::string& CliPath() const { return cli_; }
    const std::string& StubBytes() const { return stubBytes_; }
    // The stub without the web player behind it, as uninstallers carry it.
    std::string ProgramBytes() const;
    // What an installation of a movie holds, sorted as Names gives them: the page, the players'
    // descriptions, the web player, the host, the movie's data script and the uninstaller;
    // extra added.
    std::vector<std::string> InstalledNames(const std::vector<std::string>& extra = {}) const;
    // The movie as the installed folder hands it to the page.
    static std::string InstalledMovie(const std::string& folder);
    static const std::string PlayerBytes;
    static const std::string ScriptBytes;

    // Saves a project file with the values fill gives.
    std::string Project(const std::string& name, const std::function<void(core::TProject&)>& fill);
    // Builds an installer from a project with muravel-cli and the real stub; fails the test if
    // it cannot.
    std::string Build(const std::string& project, const std::string& name);
    // An installer made in this process from the real stub, for projects that the generator
    // would not take (movie paths it could not read).
    std::string Craft(const std::string& name, const std::function<void(core::TProject&)>& fill,
                      const std::string& movie);
    // An installer, stem.exe, of the movie stem.swf that holds "FWS stem", made by Craft: the
    // least wallpaper there is.
    std::string CraftMovie(const std::string& stem, const std::string& guid,
                           const std::string& title = "Blue Lagoon");
    TRun InstallSilently(const std::string& installer, const std::string& folder) const;
    // Uninstalls with the folder's uninstaller and waits for its helper to take the rest.
    TRun UninstallSilently(const std::string& folder) const;
    // Uninstalls silently, and expects the folder and the wallpaper's Uninstall entry gone.
    void ExpectUninstalled(const std::string& folder, const std::string& guid) const;

private:
    wallpaper::TWebPlayer Player() const;

    testfiles::TempFolder root_;
    std::string cli_;
    std::string stub_;
    std::string stubBytes_;
    std::vector<std::string> keys_;
};

} // namespace stubrun

// What every stub test uses, by its short name.
using stubrun::Exists;
using stubrun::Names;
using stubrun::TRun;
using stubrun::UninstallKeyExists;
using testfiles::ReadFile;
using testfiles::WriteFile;
using Strings = std::vector<std::string>;
