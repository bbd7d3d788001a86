#include <gtest/gtest.h>

#include <filesystem>

#include "CliRun.h"
#include "TestFiles.h"
#include "core/DecompileUnit.h"
#include "core/ProjectUnit.h"
#include "rtl/Guid.h"
#include "rtl/Streams.h"

using testfiles::ReadFile;
using testfiles::TempFolder;
using testfiles::WriteFile;

namespace {

// A copy of muravel-cli with its sibling files, a movie and a project, in a folder of its own;
// TMPDIR points into it so that stray scratch files show.
class BuildTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir / "tmp");
        std::filesystem::copy_file(MURAVEL_CLI_PATH, cli);
        WriteFile(dir / "installer.dat", std::string("MZ stub bytes\0\x01\x02", 16));
        WriteFile(dir / "FLVPlayer.swf", "FWS player");
        WriteFile(dir / "swfobject.js", "var swfobject;");
        WriteFile(dir / "movie.swf", testfiles::SwfMovie(5000));
    }

    core::TProject& Project() {
        if (!project) {
            project = std::make_unique<core::TProject>(dir / "ini");
            project->FlashFiles.Add(dir / "movie.swf");
            project->FileTitle = "Sea";
            project->GUID = "{11111111-2222-3333-4444-555555555555}";
            project->OutputFile = dir / "out.exe";
            project->TextBGColor = 0x00FFFFFF;
        }
        return *project;
    }

    clitest::Result Build(std::vector<std::string> extra = {}) {
        Project().SaveToFile(dir / "p.zvrk");
        std::vector<std::string> args{"build", dir / "p.zvrk"};
        args.insert(args.end(), extra.begin(), extra.end());
        return clitest::Run(cli, args, "TMPDIR=" + clitest::Quote(dir / "tmp"));
    }

    std::unique_ptr<core::TDecompileStream> Installer(const std::string& path) {
        auto reader = std::make_unique<core::TDecompileStream>();
        rtl::TFileStream file(path, rtl::FileMode::OpenRead);
        reader->Decompile(file);
        return reader;
    }

    std::vector<std::string> ScratchLeft() { return TempFolder::NamesIn(dir / "tmp"); }

    TempFolder dir;
    std::string cli = dir / "muravel-cli";
    std::unique_ptr<core::TProject> project;
};

TEST_F(BuildTest, MovieInstallerHasStubRawThenProjectAndMovie) {
    const clitest::Result r = Build();
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Preparing...\nCollecting project settings...\nloading and compressing " +
                         (dir / "movie.swf") +
                         "...\nGenerating wallpaper installer...\nMission Accomplished.\n");
    const std::string bytes = ReadFile(dir / "out.exe");
    const std::string stub = ReadFile(dir / "installer.dat");
    EXPECT_EQ(bytes.substr(0, stub.size()), stub);
    EXPECT_EQ(bytes.substr(bytes.size() - 4), testfiles::Le32(3));
    auto reader = Installer(dir / "out.exe");
    EXPECT_EQ(reader->SourceSize(0), reader->StoredSize(0));
    EXPECT_EQ(reader->GetStream(2, true)->ToString(), ReadFile(dir / "movie.swf"));
    EXPECT_TRUE(ScratchLeft().empty());
}

TEST_F(BuildTest, EntryOneIsTheProjectAsTheWindowSavesIt) {
    Project().FlashFiles.Add("second.swf");
    Project().FileTitle = " Sea ";
    Project().Loop = true;
    Project().LicenseLines.Add("Line one");
    Project().LicenseLines.Add("");
    ASSERT_EQ(Build({"-o", dir / "other.exe"}).exitCode, 0);
    WriteFile(dir / "entry1.zvrk", Installer(dir / "other.exe")->GetStream(1, true)->ToString());
    core::TProject saved(dir / "ini2");
    saved.LoadFromFile(dir / "entry1.zvrk");
    EXPECT_EQ(saved.FlashFiles.Count(), 1);
    EXPECT_EQ(saved.FlashFiles.Get(0), dir / "movie.swf");
    EXPECT_EQ(saved.OutputFile, dir / "other.exe");
    EXPECT_EQ(saved.GUID, "{11111111-2222-3333-4444-555555555555}");
    // Opening the project trims the title, as the window's title box then shows it.
    EXPECT_EQ(saved.FileTitle, "Sea");
    EXPECT_TRUE(saved.Loop);
    EXPECT_EQ(saved.LicenseLines.Items(), (std::vector<std::string>{"Line one", ""}));
    EXPECT_EQ(saved.TextBGColor, 0x00FFFFFF);
}

TEST_F(BuildTest, VideoInCapitalsAddsThePlayerFilesAndClearsLoop) {
    WriteFile(dir / "clip.FLV", testfiles::FlvVideo());
    Project().FlashFiles.Clear();
    Project().FlashFiles.Add(dir / "clip.FLV");
    Project().Loop = true;
    ASSERT_EQ(Build().exitCode, 0);
    auto reader = Installer(dir / "out.exe");
    ASSERT_EQ(reader->EntryCount(), 5);
    EXPECT_EQ(reader->GetStream(3, true)->ToString(), "FWS player");
    EXPECT_EQ(reader->GetStream(4, true)->ToString(), "var swfobject;");
    WriteFile(dir / "entry1.zvrk", reader->GetStream(1, true)->ToString());
    core::TProject saved(dir / "ini2");
    saved.LoadFromFile(dir / "entry1.zvrk");
    EXPECT_FALSE(saved.Loop);
}

TEST_F(BuildTest, FolderEndingInFlvDoesNotMakeAVideo) {
    std::filesystem::create_directories(dir / "films.flv");
    WriteFile(dir / "films.flv/movie", testfiles::SwfMovie());
    Project().FlashFiles.Clear();
    Project().FlashFiles.Add(dir / "films.flv/movie");
    ASSERT_EQ(Build().exitCode, 0);
    EXPECT_EQ(Installer(dir / "out.exe")->EntryCount(), 3);
}

TEST_F(BuildTest, RefusalsComeInOrderAndTouchNothing) {
    Project().OutputFile.clear();
    Project().FlashFiles.Clear();
    Project().FileTitle = " \t";
    clitest::Result r = Build();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "muravel-cli: Please assign an ouput file name.\n");
    r = Build({"-o", dir / "out.exe"});
    EXPECT_EQ(r.err, "muravel-cli: Please assign a Flash file to this project.\n");
    Project().FlashFiles.Add(dir / "movie.swf");
    r = Build({"-o", dir / "out.exe"});
    EXPECT_EQ(r.err, "muravel-cli: Please input your wallpaper title.\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.exe"));
    EXPECT_TRUE(r.out.empty());
}

TEST_F(BuildTest, OutputNamingAnInputIsRefused) {
    const std::string movie = ReadFile(dir / "movie.swf");
    clitest::Result r = Build({"-o", dir / "./movie.swf"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "muravel-cli: The output file cannot be one of the files that go into the "
                     "installer.\n");
    EXPECT_EQ(ReadFile(dir / "movie.swf"), movie);
    r = Build({"-o", dir / "installer.dat"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(ReadFile(dir / "installer.dat").substr(0, 2), "MZ");
}

TEST_F(BuildTest, MissingStubNamesItsPathAndLeavesNothing) {
    std::filesystem::remove(dir / "installer.dat");
    const clitest::Result r = Build();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "Preparing...\n");
    EXPECT_EQ(r.err.rfind("muravel-cli: Cannot open file \"" + (dir / "installer.dat") + "\". ", 0),
              0u)
        << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.exe"));
    EXPECT_TRUE(ScratchLeft().empty());
}

TEST_F(BuildTest, MissingMovieKeepsAnExistingInstaller) {
    WriteFile(dir / "out.exe", "earlier installer");
    std::filesystem::remove(dir / "movie.swf");
    const clitest::Result r = Build();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Cannot open file \"" + (dir / "movie.swf") + "\""), std::string::npos);
    EXPECT_EQ(ReadFile(dir / "out.exe"), "earlier installer");
    EXPECT_TRUE(ScratchLeft().empty());
    EXPECT_EQ(dir.Names(),
              (std::vector<std::string>{"FLVPlayer.swf", "installer.dat", "muravel-cli", "out.exe",
                                        "p.zvrk", "swfobject.js", "tmp"}));
}

TEST_F(BuildTest, ExistingInstallerIsReplacedAndRunsAreByteIdentical) {
    WriteFile(dir / "out.exe", "earlier installer");
    ASSERT_EQ(Build().exitCode, 0);
    const std::string first = ReadFile(dir / "out.exe");
    EXPECT_NE(first, "earlier installer");
    ASSERT_EQ(Build().exitCode, 0);
    EXPECT_EQ(ReadFile(dir / "out.exe"), first);
}

TEST_F(BuildTest, AMovieThatCannotShipIsRefusedBeforeAnythingIsWritten) {
    WriteFile(dir / "out.exe", "earlier installer");
    const std::string swf = testfiles::SwfMovie(1000);
    std::filesystem::create_directories(dir / "folder.swf");
    const std::pair<std::string, const char*> cases[] = {
        {"", "is empty."},
        {"\x89PNG\r\n\x1a\n", "is not a Flash movie or Flash video."},
        {swf.substr(0, 500), "is cut off: its header says 1,000 bytes, the file holds 500."},
        {testfiles::FlvVideo(1000).substr(0, 900),
         "is cut off: the file ends inside its last tag."},
    };
    for (const auto& [bytes, says] : cases) {
        WriteFile(dir / "movie.swf", bytes);
        const clitest::Result r = Build();
        EXPECT_EQ(r.exitCode, 1) << says;
        EXPECT_EQ(r.err, "muravel-cli: \"" + (dir / "movie.swf") + "\" " + says + "\n");
        EXPECT_EQ(r.out, "");
    }
    Project().FlashFiles.Clear();
    Project().FlashFiles.Add(dir / "folder.swf");
    EXPECT_EQ(Build().err,
              "muravel-cli: \"" + (dir / "folder.swf") + "\" is a folder, not a movie.\n");
    EXPECT_EQ(ReadFile(dir / "out.exe"), "earlier installer");
    EXPECT_TRUE(ScratchLeft().empty());

    // Setting such a movie leaves the project as it was.
    const std::string before = ReadFile(dir / "p.zvrk");
    const clitest::Result set =
        clitest::Run(cli, {"project", "set", dir / "p.zvrk", "--movie", dir / "movie.swf"});
    EXPECT_EQ(set.exitCode, 1);
    EXPECT_NE(set.err.find("is cut off"), std::string::npos) << set.err;
    EXPECT_EQ(ReadFile(dir / "p.zvrk"), before);
}

TEST_F(BuildTest, StubOptionAndDamagedProject) {
    WriteFile(dir / "alt.dat", "another stub");
    ASSERT_EQ(Build({"--stub", dir / "alt.dat"}).exitCode, 0);
    EXPECT_EQ(ReadFile(dir / "out.exe").substr(0, 12), "another stub");
    WriteFile(dir / "bad.zvrk", "xx");
    const clitest::Result r = clitest::Run(cli, {"build", dir / "bad.zvrk"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "muravel-cli: \"" + (dir / "bad.zvrk") + "\" is not a project file.\n");
    EXPECT_EQ(clitest::Run(cli, {"build", dir / "p.zvrk", "-o"}).exitCode, 2);
}

} // namespace
