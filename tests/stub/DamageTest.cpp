#include "StubRunner.h"

namespace {

class DamageTest : public stubrun::TStubTest {
protected:
    // A movie installer made by muravel-cli, and its GUID.
    std::string MakeInstaller() {
        guid_ = NewGuid();
        WriteFile(Path("movie.swf"), testfiles::SwfMovie(stubtest::RandomBytes(50000, 21)));
        const std::string project =
            Project("movie.zvrk", stubtest::Basic(Path("movie.swf"), guid_));
        return ReadFile(Build(project, "movie.exe"));
    }

    // Runs a changed installer and checks that it refused, said why, and left nothing.
    void ExpectDamaged(const std::string& bytes, const std::string& what) {
        SCOPED_TRACE(what);
        const std::string installer = Path("damaged" + std::to_string(count_) + ".exe");
        const std::string folder = Path("target" + std::to_string(count_));
        ++count_;
        WriteFile(installer, bytes);
        const TRun run = InstallSilently(installer, folder);
        EXPECT_EQ(run.ExitCode, 1u) << run.Error;
        EXPECT_EQ(run.Error.rfind("This installer is damaged. Please download it again.\r\n", 0),
                  0u)
            << run.Error;
        EXPECT_FALSE(Exists(folder));
        EXPECT_FALSE(UninstallKeyExists(guid_));
    }

    std::string guid_;
    int count_ = 0;
};

std::string Flipped(std::string bytes, size_t at) {
    bytes[at] = static_cast<char>(bytes[at] ^ 0x01);
    return bytes;
}

} // namespace

TEST_F(DamageTest, TruncatedInstallersInstallNothing) {
    const std::string installer = MakeInstaller();
    const size_t stub = StubBytes().size();
    for (const size_t cut :
         {installer.size() - 1, installer.size() - 4, installer.size() - 5, installer.size() - 13,
          installer.size() - 28, stub + (installer.size() - stub) / 2, stub + 1, stub})
        ExpectDamaged(installer.substr(0, cut), "cut at " + std::to_string(cut));
}

TEST_F(DamageTest, AFlippedByteInsideAnEntryInstallsNothing) {
    const std::string installer = MakeInstaller();
    // Three entries: their sizes and the count are the last 28 bytes, the movie comes last.
    const size_t movieStored = testfiles::Le32At(installer, installer.size() - 8);
    const size_t movieEnd = installer.size() - 28;
    const size_t projectStart = StubBytes().size();
    ExpectDamaged(Flipped(installer, movieEnd - movieStored / 2), "inside the movie");
    ExpectDamaged(Flipped(installer, movieEnd - 1), "in the movie's Adler-32");
    ExpectDamaged(Flipped(installer, projectStart + 40), "inside the settings");
    ExpectDamaged(Flipped(installer, installer.size() - 8), "in the movie's stored size");
    const size_t program = ProgramBytes().size();
    ExpectDamaged(Flipped(installer, program + (projectStart - program) / 2),
                  "inside the web player");
    ExpectDamaged(Flipped(installer, projectStart - 4), "in the web player's count");
    // The settings' source size (entry 1's pair starts 20 bytes from the end) claiming
    // 2 GiB - 1: refused before any of it is allocated.
    std::string greedy = installer;
    greedy.replace(installer.size() - 20, 4, "\xff\xff\xff\x7f");
    ExpectDamaged(greedy, "in the settings' source size");
}

TEST_F(DamageTest, ASignatureAppendedAfterGenerationIsSkipped) {
    const std::string installer = MakeInstaller();
    const std::string signedInstaller = stubtest::Signed(
        installer, std::string("0\x82\x03\x00", 4) + stubtest::RandomBytes(1500, 22));
    WriteFile(Path("signed.exe"), signedInstaller);
    const std::string folder = Path("signed");
    const TRun run = InstallSilently(Path("signed.exe"), folder);
    ASSERT_EQ(run.ExitCode, 0u) << run.Error;
    EXPECT_EQ(InstalledMovie(folder), ReadFile(Path("movie.swf")));

    // The uninstaller is the stub alone, so the signature's entry must not point past it.
    const std::string uninstaller = ReadFile(folder + "\\uninstall.exe");
    const size_t entry = stubtest::SecurityEntryAt(uninstaller);
    EXPECT_EQ(testfiles::Le32At(uninstaller, entry), 0u);
    EXPECT_EQ(testfiles::Le32At(uninstaller, entry + 4), 0u);
    const TRun removed = UninstallSilently(folder);
    EXPECT_EQ(removed.ExitCode, 0u) << removed.Error;
    EXPECT_FALSE(Exists(folder));
}

TEST_F(DamageTest, TheStubAloneHoldsNoWallpaper) {
    const TRun run = stubrun::RunProgram(StubPath(), "/S /D=" + Path("nothing"));
    EXPECT_EQ(run.ExitCode, 1u);
    EXPECT_EQ(run.Error.rfind("This installer is damaged. Please download it again.\r\n", 0), 0u)
        << run.Error;
    EXPECT_FALSE(Exists(Path("nothing")));
}

TEST_F(DamageTest, WrongArgumentsInstallNothing) {
    const std::string installer = Path("good.exe");
    WriteFile(installer, MakeInstaller());
    TRun run = stubrun::RunProgram(installer, "/S /X /D=" + Path("x"));
    EXPECT_EQ(run.ExitCode, 2u);
    EXPECT_NE(run.Error.find("Unknown argument \"/X\""), std::string::npos) << run.Error;
    EXPECT_FALSE(Exists(Path("x")));

    run = stubrun::RunProgram(installer, "/S /D=C:\\");
    EXPECT_EQ(run.ExitCode, 2u);
    EXPECT_NE(run.Error.find("root of a drive"), std::string::npos) << run.Error;
    EXPECT_FALSE(UninstallKeyExists(guid_));
}
