#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "TestFiles.h"
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

const std::string FreshShow = "Version=3\nGUID=\nCount=0\nFileTitle=\nBackgroundColor=clBlack\n"
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
                  " --no-template --movie= --text-color clBackground --text-background clWhite")
                  .exitCode,
              0);
    const std::string made = Quote(work / "t.zvrk");
    ASSERT_EQ(Run("project new " + made + " --assets " + assets + " --title Sea").exitCode, 0);
    std::string expected = FreshShow;
    expected.replace(expected.find("Count=0\n"), 8, "Count=1\nFlash0=\n");
    expected.replace(expected.find("FileTitle=\n"), 11, "FileTitle=Sea\n");
    expected.replace(expected.find("TextColor=clBlack"), 17, "TextColor=clBackground");
    expected.replace(expected.find("TextBGColor=clBlack"), 19, "TextBGColor=clWhite");
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
