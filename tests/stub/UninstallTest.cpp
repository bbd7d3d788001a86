#include "StubRunner.h"

namespace {

// Every test starts from a wallpaper installed in its own folder.
class UninstallTest : public stubrun::TStubTest {
protected:
    void SetUp() override {
        ASSERT_EQ(InstallSilently(CraftMovie("w", guid), folder).ExitCode, 0u);
    }

    const std::string guid = NewGuid();
    const std::string folder = Path("w");
};

} // namespace

TEST_F(UninstallTest, FilesTheWallpaperDidNotInstallStay) {
    WriteFile(folder + "\\notes.txt", "mine");
    const TRun run = UninstallSilently(folder);
    EXPECT_EQ(run.ExitCode, 0u) << run.Error;
    EXPECT_EQ(Names(folder), Strings{"notes.txt"});
    EXPECT_FALSE(UninstallKeyExists(guid));
}

TEST_F(UninstallTest, ACopyOfTheUninstallerElsewhereRemovesNothing) {
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
    const HANDLE open = CreateFileA((folder + "\\movie.js").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    const TRun run = stubrun::RunProgram(folder + "\\uninstall.exe", "/S");
    CloseHandle(open);
    EXPECT_EQ(run.ExitCode, 1u);
    EXPECT_NE(run.Error.find("movie.js"), std::string::npos) << run.Error;
    EXPECT_EQ(Names(folder), (Strings{"movie.js", "uninstall.exe"}));
    EXPECT_TRUE(UninstallKeyExists(guid));

    ExpectUninstalled(folder, guid);
}

TEST_F(UninstallTest, UninstallerTakesNoFolder) {
    const TRun run = stubrun::RunProgram(folder + "\\uninstall.exe", "/S /D=" + Path("other"));
    EXPECT_EQ(run.ExitCode, 2u);
    EXPECT_EQ(Names(folder), InstalledNames());
    EXPECT_EQ(UninstallSilently(folder).ExitCode, 0u);
}
