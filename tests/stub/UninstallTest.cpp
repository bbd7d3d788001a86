#include "StubRunner.h"

using stubrun::Exists;
using stubrun::Names;
using stubrun::TRun;
using stubrun::UninstallKeyExists;
using testfiles::ReadFile;
using testfiles::WriteFile;
using Strings = std::vector<std::string>;

namespace {

class UninstallTest : public stubrun::TStubTest {};

} // namespace

TEST_F(UninstallTest, FilesTheWallpaperDidNotInstallStay) {
    const std::string guid = NewGuid();
    const std::string folder = Path("w");
    ASSERT_EQ(
        InstallSilently(Craft("w.exe", stubtest::Basic("w.swf", guid), "FWS w"), folder).ExitCode,
        0u);
    WriteFile(folder + "\\notes.txt", "mine");
    const TRun run = UninstallSilently(folder);
    EXPECT_EQ(run.ExitCode, 0u) << run.Error;
    EXPECT_EQ(Names(folder), Strings{"notes.txt"});
    EXPECT_FALSE(UninstallKeyExists(guid));
}

TEST_F(UninstallTest, ACopyOfTheUninstallerElsewhereRemovesNothing) {
    const std::string guid = NewGuid();
    const std::string folder = Path("w");
    ASSERT_EQ(
        InstallSilently(Craft("w.exe", stubtest::Basic("w.swf", guid), "FWS w"), folder).ExitCode,
        0u);
    const std::string elsewhere = Path("elsewhere");
    CreateDirectoryA(elsewhere.c_str(), nullptr);
    CopyFileA((folder + "\\uninstall.exe").c_str(), (elsewhere + "\\uninstall.exe").c_str(), FALSE);
    WriteFile(elsewhere + "\\wallpaper.html", "someone's page");

    const TRun run = stubrun::RunProgram(elsewhere + "\\uninstall.exe", "/S");
    EXPECT_EQ(run.ExitCode, 1u);
    EXPECT_NE(run.Error.find("belongs to the wallpaper in \"" + folder + "\""), std::string::npos)
        << run.Error;
    EXPECT_EQ(ReadFile(elsewhere + "\\wallpaper.html"), "someone's page");
    EXPECT_EQ(Names(folder), InstalledNames());
    EXPECT_TRUE(UninstallKeyExists(guid));
    EXPECT_EQ(UninstallSilently(folder).ExitCode, 0u);
}

TEST_F(UninstallTest, AFileInUseIsReportedAndTheUninstallerStaysToBeRunAgain) {
    const std::string guid = NewGuid();
    const std::string folder = Path("w");
    ASSERT_EQ(
        InstallSilently(Craft("w.exe", stubtest::Basic("w.swf", guid), "FWS w"), folder).ExitCode,
        0u);
    const HANDLE open = CreateFileA((folder + "\\movie.js").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    const TRun run = stubrun::RunProgram(folder + "\\uninstall.exe", "/S");
    CloseHandle(open);
    EXPECT_EQ(run.ExitCode, 1u);
    EXPECT_NE(run.Error.find("movie.js"), std::string::npos) << run.Error;
    EXPECT_EQ(Names(folder), (Strings{"movie.js", "uninstall.exe"}));
    EXPECT_TRUE(UninstallKeyExists(guid));

    EXPECT_EQ(UninstallSilently(folder).ExitCode, 0u);
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(UninstallKeyExists(guid));
}

TEST_F(UninstallTest, UninstallerTakesNoFolder) {
    const std::string guid = NewGuid();
    const std::string folder = Path("w");
    ASSERT_EQ(
        InstallSilently(Craft("w.exe", stubtest::Basic("w.swf", guid), "FWS w"), folder).ExitCode,
        0u);
    const TRun run = stubrun::RunProgram(folder + "\\uninstall.exe", "/S /D=" + Path("other"));
    EXPECT_EQ(run.ExitCode, 2u);
    EXPECT_EQ(Names(folder), InstalledNames());
    EXPECT_EQ(UninstallSilently(folder).ExitCode, 0u);
}
