#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "TestFiles.h"
#include "rtl/TextUtils.h"
#include "stub/StubTestSupport.h"

using testfiles::Le32;
using testfiles::ReadFile;
using testfiles::TempFolder;
using testfiles::WriteFile;

namespace {

struct Outcome {
    int exitCode;
    std::string out, err;
};

std::string Quote(const std::string& text) {
    return "'" + text + "'";
}

const std::string FreshShow =
    "Version=3\nGUID=\nCodePage=1252\nCount=0\nFileTitle=\nBackgroundColor=clBlack\n"
    "TransparentBackground=0\nShowLicense=0\nShowText=0\nURL=\n"
    "TextColor=clBlack\nTextBGColor=clBlack\nTextBGTransparent=0\n"
    "OutputFile=\nLoop=0\n[License]\n[Text]\n";

class Cli : public ::testing::Test {
protected:
    // The tool's scratch files go to its own temporary folder, which must end up empty.
    void TearDown() override {
        EXPECT_EQ(temp.Names(), std::vector<std::string>()) << "scratch file left behind";
    }
    Outcome Run(const std::string& args) {
        const std::string command = "TMPDIR=" + Quote(temp.Path()) + " " + Quote(MURAVEL_CLI_PATH) +
                                    " " + args + " >" + Quote(io / "out") + " 2>" +
                                    Quote(io / "err");
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(io / "out"),
                ReadFile(io / "err")};
    }
    std::string File(const std::string& name, const std::string& bytes) {
        WriteFile(work / name, bytes);
        return Quote(work / name);
    }

    TempFolder work, temp, io;
};

TEST_F(Cli, PackListAndExtractGiveBackEveryFile) {
    std::mt19937 random(5);
    std::string stub(3000, '\0');
    for (char& c : stub)
        c = static_cast<char>(random());
    const std::string movie(100000, 'M');
    const std::string files = " --raw " + File("stub", stub) + " --zlib " + File("movie", movie) +
                              " --raw " + File("empty", "") + " --zlib " + Quote(work / "empty");
    const Outcome packed = Run("pack " + Quote(work / "out.exe") + files);
    ASSERT_EQ(packed.exitCode, 0) << packed.err;
    EXPECT_EQ(packed.out + packed.err, "");

    // Entries of 3000, stored, 0 and 8 bytes, then four pairs of sizes and the count.
    const std::string container = ReadFile(work / "out.exe");
    ASSERT_GT(container.size(), 3000u + 8 + 36);
    const size_t stored = container.size() - 3000 - 8 - 36;
    EXPECT_EQ(container.substr(0, 3000), stub);
    EXPECT_EQ(testfiles::Uncompress(container.substr(3000, stored), movie.size()), movie);
    EXPECT_EQ(container.substr(3000 + stored), testfiles::Hex("78 da 03 00 00 00 00 01") +
                                                   Le32(3000) + Le32(3000) + Le32(100000) +
                                                   Le32(static_cast<int64_t>(stored)) + Le32(0) +
                                                   Le32(0) + Le32(0) + Le32(8) + Le32(4));

    const Outcome listed = Run("list " + Quote(work / "out.exe"));
    EXPECT_EQ(listed.exitCode, 0);
    const std::string end = std::to_string(3000 + stored);
    EXPECT_EQ(listed.out, "entries 4\n0 offset 0 source 3000 stored 3000 raw\n"
                          "1 offset 3000 source 100000 stored " +
                              std::to_string(stored) + " zlib\n2 offset " + end +
                              " source 0 stored 0 raw\n3 offset " + end +
                              " source 0 stored 8 zlib\n");

    const std::string expected[] = {stub, movie, "", "", ""};
    for (int i = 0; i < 5; ++i) {
        const Outcome extracted = Run("extract " + Quote(work / "out.exe") + " " +
                                      std::to_string(i) + " " + Quote(work / "x"));
        ASSERT_EQ(extracted.exitCode, 0) << extracted.err;
        EXPECT_EQ(ReadFile(work / "x"), expected[i]) << "entry " << i;
    }
    ASSERT_EQ(
        Run("extract " + Quote(work / "out.exe") + " 1 " + Quote(work / "x") + " --force").exitCode,
        0);
    EXPECT_EQ(ReadFile(work / "x"), movie);
}

TEST_F(Cli, ASignedInstallerListsAndExtractsItsEntries) {
    const std::string installer =
        stubtest::Container({stubtest::FakePe(false, 0, 0, 512), "settings", "the movie"});
    const std::string file = File("signed.exe", stubtest::Signed(installer, std::string(300, 's')));
    const Outcome listed = Run("list " + file);
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out.substr(0, 10), "entries 3\n") << listed.out;
    ASSERT_EQ(Run("extract " + file + " 2 " + Quote(work / "movie")).exitCode, 0);
    EXPECT_EQ(ReadFile(work / "movie"), "the movie");
}

TEST_F(Cli, ListFindsTheContainerBehindAProgramAndSaysWhatEachEntryIs) {
    const std::string stub = stubtest::StubWith("wallpaper.js\nruffle.js\n", 2);
    Outcome listed = Run("list " + File("installer.dat", stub));
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    const std::vector<std::string> lines = rtl::Split(listed.out, '\n');
    ASSERT_EQ(lines.size(), 5u) << listed.out;
    EXPECT_EQ(lines[0], "entries 3");
    EXPECT_EQ(lines[1].rfind("0 offset 1024 source 23 ", 0), 0u) << lines[1];
    for (const auto& [line, end] :
         {std::pair{1, " zlib list of files"}, std::pair{2, " zlib wallpaper.js"},
          std::pair{3, " zlib ruffle.js"}})
        EXPECT_EQ(lines[line].substr(lines[line].size() - std::string(end).size()), end);

    const std::string installer = stubtest::Container({stub, "settings", "the movie"});
    listed = Run("list " + File("i.exe", installer));
    EXPECT_NE(listed.out.find("0 offset 0 source " + std::to_string(stub.size()) + " stored " +
                              std::to_string(stub.size()) + " raw installer.dat\n"),
              std::string::npos)
        << listed.out;
    EXPECT_NE(listed.out.find(" zlib movie\n"), std::string::npos) << listed.out;
}

TEST_F(Cli, PackWithoutEntriesWritesFourZeroBytes) {
    ASSERT_EQ(Run("pack " + Quote(work / "none")).exitCode, 0);
    EXPECT_EQ(ReadFile(work / "none"), Le32(0));
}

TEST_F(Cli, ErrorsArePrintedWithTheToolsNameAndExitOne) {
    const std::string raw = File("raw.bin", "abc" + Le32(3) + Le32(3) + Le32(1));
    const std::string missing = work / "missing.swf";
    const std::pair<std::string, std::string> cases[] = {
        {"pack " + Quote(work / "never") + " --raw " + Quote(missing),
         "Cannot open file \"" + missing + "\". No such file or directory"},
        {"list " + File("short", "abc"), "Stream read error"},
        {"extract " + raw + " -1 " + Quote(work / "x"), "List index out of bounds (-1)"},
        {"extract " + raw + " 0 " + Quote(work / "x") + " --force", "Error"},
        {"project show " + File("empty.zvrk", Le32(0)),
         "\"" + work / "empty.zvrk" + "\" is not a project file."},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Run(c.first);
        EXPECT_EQ(outcome.exitCode, 1) << c.first;
        EXPECT_EQ(outcome.err, "muravel-cli: " + c.second + "\n");
        EXPECT_EQ(outcome.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(work / "never"));
    EXPECT_FALSE(std::filesystem::exists(work / "x"));
}

TEST_F(Cli, UsageErrorsExitTwo) {
    const std::string file = File("c", Le32(0)), o = Quote(work / "o");
    const std::vector<std::string> usages = {"",
                                             "frobnicate",
                                             "pack",
                                             "pack " + o + " --gzip " + file,
                                             "pack " + o + " --raw",
                                             "list",
                                             "list a b",
                                             "extract " + file + " one " + o,
                                             "extract " + file + " 0 " + o + " --nope",
                                             "project",
                                             "project new",
                                             "project new " + o + " --other",
                                             "project show",
                                             "project drop " + o};
    for (const std::string& args : usages) {
        const Outcome outcome = Run(args);
        EXPECT_EQ(outcome.exitCode, 2) << args;
        EXPECT_EQ(outcome.err.rfind("usage: muravel-cli", 0), 0u) << args;
    }
    EXPECT_FALSE(std::filesystem::exists(work / "o"));
}

TEST_F(Cli, InfoPrintsWhatThePreviewKnowsOneKeyALine) {
    const std::string swf = testfiles::SwfMovie(1000);
    const std::string cws = "CWS" + swf.substr(3, 5) + testfiles::Compress9(swf.substr(8));
    const std::string zws =
        testfiles::LzmaMovie(testfiles::SwfMovieOn(0x33, 0x66, 0x99), work.Path());
    const std::string onBlue = testfiles::SwfMovieOn(0x33, 0x66, 0x99);
    const std::string coloured =
        "CWS" + onBlue.substr(3, 5) + testfiles::Compress9(onBlue.substr(8));
    // Video and MP3 sound, one tag each.
    const std::string soundTag =
        std::string("\x08\0\0\x03\0\0\0\0\0\0\0\x2e\x01\x02", 14) + testfiles::Hex("00 00 00 0e");
    const std::string flv = testfiles::FlvVideo(100);
    const std::string withSound = flv.substr(0, 4) + "\x05" + flv.substr(5) + soundTag;
    const std::string movie = "kind: flash movie\nversion: 10\ncompression: ";
    const std::string frame = "width: 480\nheight: 360\nframe rate: 24\nframes: 1\n";
    const std::pair<std::string, std::string> cases[] = {
        {swf, movie + "none\n" + frame},
        {cws, movie + "zlib\n" + frame},
        {coloured, movie + "zlib\n" + frame + "background: #336699\n"},
        {zws, movie + "lzma\n" + frame + "background: #336699\n"},
        {zws.substr(0, zws.size() - 20), movie + "lzma\n" + frame +
                                             "warning: the file is cut off: its compressed data "
                                             "ends early\n"},
        {flv, "kind: flash video\nversion: 1\nvideo codec: Sorenson H.263\n"},
        {withSound,
         "kind: flash video\nversion: 1\nvideo codec: Sorenson H.263\naudio codec: MP3\n"},
        {swf.substr(0, 600), movie + "none\n" + frame +
                                 "warning: the file is cut off: its header says 1,000 bytes, the "
                                 "file holds 600\n"},
    };
    for (const auto& [bytes, printed] : cases) {
        const Outcome outcome = Run("info " + File("m", bytes));
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
        EXPECT_EQ(outcome.out, printed);
    }
    const Outcome png = Run("info " + File("p.swf", "\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(png.exitCode, 1);
    EXPECT_EQ(png.err, "muravel-cli: Not a Flash movie or Flash video.\n");
    EXPECT_EQ(png.out, "");
}

// project show without its GUID, which must be a new one.
std::string ShownWithoutGuid(std::string shown) {
    EXPECT_EQ(shown.substr(10, 6), "GUID={");
    EXPECT_EQ(shown.substr(52, 2), "}\n");
    return shown.erase(15, 38);
}

TEST_F(Cli, NewProjectsStartFromTheTemplateAndShowInIniOrder) {
    const std::string plain = Quote(work / "p.zvrk");
    ASSERT_EQ(Run("project new " + plain + " --no-template").exitCode, 0);
    EXPECT_EQ(ShownWithoutGuid(Run("project show " + plain).out), FreshShow);

    // The template, as the build makes it, and a project made from it, as the window would.
    const std::string assets = Quote(work.Path());
    ASSERT_EQ(Run("project new " + Quote(work / "blankProject") +
                  " --no-template --movie= --text-color clBackground --text-background clWhite"
                  " --loop")
                  .exitCode,
              0);
    const std::string made = Quote(work / "t.zvrk");
    ASSERT_EQ(Run("project new " + made + " --assets " + assets + " --title Sea").exitCode, 0);
    std::string expected = FreshShow;
    expected.replace(expected.find("Count=0\n"), 8, "Count=1\nFlash0=\n");
    expected.replace(expected.find("FileTitle=\n"), 11, "FileTitle=Sea\n");
    expected.replace(expected.find("TextColor=clBlack"), 17, "TextColor=clBackground");
    expected.replace(expected.find("TextBGColor=clBlack"), 19, "TextBGColor=clWhite");
    expected.replace(expected.find("Loop=0"), 6, "Loop=1");
    const std::string shown = Run("project show " + made).out;
    EXPECT_EQ(ShownWithoutGuid(shown), expected);
    EXPECT_NE(shown.substr(15, 38),
              Run("project show " + Quote(work / "blankProject")).out.substr(15, 38));

    // Nothing is replaced without --force, and without a template nothing is made.
    const std::string before = ReadFile(work / "t.zvrk");
    Outcome outcome = Run("project new " + made + " --assets " + assets);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.err,
              "muravel-cli: \"" + work / "t.zvrk" + "\" exists; give --force to replace it.\n");
    EXPECT_EQ(ReadFile(work / "t.zvrk"), before);
    EXPECT_EQ(Run("project new " + made + " --force --assets " + assets).exitCode, 0);
    EXPECT_NE(ReadFile(work / "t.zvrk"), before);
    outcome = Run("project new " + Quote(work / "u.zvrk") + " --assets " + Quote(io.Path()));
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.err, "muravel-cli: The template project \"" + io / "blankProject" +
                               "\" is missing; give --assets DIR or --no-template.\n");
    EXPECT_FALSE(std::filesystem::exists(work / "u.zvrk"));
}

} // namespace
