#include <gtest/gtest.h>

#include <filesystem>

#include "CliRun.h"
#include "TestFiles.h"

using testfiles::Le32At;
using testfiles::ReadFile;
using testfiles::TempFolder;
using testfiles::WriteFile;

namespace {

// The value of key in a project file's INI text, read without the program's own code: the
// directory at the end, entry 0 inflated, the line that starts with key.
std::string IniValue(const std::string& project, const std::string& key) {
    const std::string file = ReadFile(project);
    const size_t count = Le32At(file, file.size() - 4);
    const size_t directory = file.size() - 4 - 8 * count;
    const std::string ini =
        testfiles::Uncompress(file.substr(0, Le32At(file, directory + 4)), Le32At(file, directory));
    const size_t at = ini.find("\r\n" + key + "=");
    if (at == std::string::npos)
        return "<missing>";
    const size_t start = at + 2 + key.size() + 1;
    return ini.substr(start, ini.find("\r\n", start) - start);
}

class CliOptions : public ::testing::Test {
protected:
    clitest::Result Run(const std::vector<std::string>& args) {
        return clitest::Run(MURAVEL_CLI_PATH, args, "TMPDIR=" + clitest::Quote(dir / ""));
    }
    TempFolder dir;
};

TEST_F(CliOptions, EachSettingSetsItsKey) {
    WriteFile(dir / "licence.txt", "You may look.\nYou may not sell.\n");
    const struct {
        std::vector<std::string> options;
        const char* key;
        std::string stored; // as the project file holds it
        const char* shown;  // as project show prints the line, when it differs
    } cases[] = {
        {{"--movie", dir / "m.swf"}, "Flash0", dir / "m.swf", nullptr},
        // A path the code page cannot hold is kept in UTF-8 behind a byte-order mark.
        {{"--movie", dir / "\xE6\xA3\xAE.swf"},
         "Flash0",
         "\xEF\xBB\xBF" + dir / "\xE6\xA3\xAE.swf",
         nullptr},
        {{"--movie", dir / "Caf\xC3\xA9.swf"}, "Flash0", dir / "Caf\xE9.swf", nullptr},
        {{"--title", "Blue Lagoon"}, "FileTitle", "Blue Lagoon", nullptr},
        {{"--title", "Caf\xC3\xA9"}, "FileTitle", "Caf\xE9", "FileTitle=Caf\xC3\xA9"},
        {{"--output", dir / "out.exe"}, "OutputFile", dir / "out.exe", nullptr},
        {{"--background", "clWhite"}, "BackgroundColor", "clWhite", nullptr},
        {{"--background", "#336699"}, "BackgroundColor", "$00996633", nullptr},
        {{"--background", "$00C08080"}, "BackgroundColor", "$00C08080", nullptr},
        {{"--background", "255"}, "BackgroundColor", "clRed", nullptr},
        {{"--transparent-background"}, "TransparentBackground", "1", nullptr},
        {{"--show-license=1"}, "ShowLicense", "1", nullptr},
        {{"--show-text"}, "ShowText", "1", nullptr},
        {{"--url", "https://example.com/?a=1&b=2"}, "URL", "https://example.com/?a=1&b=2", nullptr},
        {{"--text-color", "clBtnFace"}, "TextColor", "clBtnFace", nullptr},
        {{"--text-background", "#FFFFFF"}, "TextBGColor", "clWhite", nullptr},
        {{"--text-transparent"}, "TextBGTransparent", "1", nullptr},
        {{"--loop"}, "Loop", "1", nullptr},
        {{"--loop=0"}, "Loop", "0", nullptr},
    };
    int i = 0;
    for (const auto& c : cases) {
        const std::string project = dir / ("p" + std::to_string(i++) + ".zvrk");
        std::vector<std::string> args{"project", "new", project, "--no-template"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const clitest::Result made = Run(args);
        ASSERT_EQ(made.exitCode, 0) << c.key << ": " << made.err;
        EXPECT_EQ(IniValue(project, c.key), c.stored) << c.key;
        const std::string line = c.shown                     ? c.shown
                                 : c.options[0] == "--movie" ? "Flash0=" + c.options[1]
                                                             : std::string(c.key) + "=" + c.stored;
        EXPECT_NE(Run({"project", "show", project}).out.find(line + "\n"), std::string::npos)
            << line;
    }
    const std::string project = dir / "texts.zvrk";
    ASSERT_EQ(
        Run({"project", "new", project, "--no-template", "--license-file", dir / "licence.txt"})
            .exitCode,
        0);
    EXPECT_NE(Run({"project", "show", project})
                  .out.find("[License]\nYou may look.\nYou may not "
                            "sell.\n[Text]\n"),
              std::string::npos);
}

TEST_F(CliOptions, BadValuesAreRefusedAndTheFileStaysAsItWas) {
    const std::string project = dir / "p.zvrk";
    ASSERT_EQ(Run({"project", "new", project, "--no-template", "--title", "Kept"}).exitCode, 0);
    const std::string before = ReadFile(project);
    // A value the user has only to change takes one line, without the usage.
    const std::string japanese = "\xE6\x97\xA5\xE6\x9C\xAC";
    const std::string lacking = "--title: \"" + japanese +
                                "\" holds \"\xE6\x97\xA5\", which code "
                                "page 1252 lacks; give --codepage 932, which holds it all.\n";
    const struct {
        std::vector<std::string> args;
        std::string named;
        bool oneLine = false;
    } cases[] = {
        {{"--background", "sea-green"}, "--background \"sea-green\""},
        {{"--text-color", "#12345"}, "--text-color \"#12345\""},
        {{"--loop=2"}, "--loop"},
        {{"--title", japanese}, lacking, true},
        {{"--codepage", "932", "--title", japanese},
         "--codepage 932: the project's text is in code page 1252; leave --codepage out\n",
         true},
        {{"--title"}, "--title needs a value"},
        {{"--codepage", "abc", "--title", "x"}, "--codepage \"abc\""},
        {{"--colour", "red"}, "unknown option --colour"},
        {{}, "project set takes one FILE"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"project", "set", project};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const clitest::Result r = Run(args);
        EXPECT_EQ(r.exitCode, 2) << c.named;
        EXPECT_NE(r.err.find("muravel-cli: " + c.named), std::string::npos) << r.err;
        if (c.oneLine)
            EXPECT_EQ(r.err, "muravel-cli: " + c.named);
        EXPECT_EQ(ReadFile(project), before) << c.named;
    }
    EXPECT_EQ(Run({"project", "set", project, "--license-file", dir / "none.txt"}).exitCode, 1);
    EXPECT_EQ(ReadFile(project), before);
    ASSERT_EQ(Run({"project", "set", project, "--title", "Changed"}).exitCode, 0);
    EXPECT_EQ(IniValue(project, "FileTitle"), "Changed");
}

TEST_F(CliOptions, OneLineBuildsWithTheSiblingFilesBesideTheTool) {
    std::filesystem::create_directories(dir / "tool");
    std::filesystem::copy_file(MURAVEL_CLI_PATH, dir / "tool/muravel-cli");
    WriteFile(dir / "tool/installer.dat", "MZ the stub");
    WriteFile(dir / "tool/FLVPlayer.swf", "FWS player");
    WriteFile(dir / "tool/swfobject.js", "var swfobject;");
    WriteFile(dir / "movie.swf", testfiles::SwfMovie());
    WriteFile(dir / "clip.flv", testfiles::FlvVideo());
    ASSERT_EQ(Run({"project", "new", dir / "tool/blankProject", "--no-template",
                   "--text-background", "clYellow"})
                  .exitCode,
              0);
    const auto build = [&](const std::string& movie, const std::string& out) {
        return clitest::Run(dir / "tool/muravel-cli", {"build", "--movie", dir / movie, "--title",
                                                       "Sea", "-o", dir / out, "--loop"});
    };
    for (const auto& [movie, entries] : {std::pair{"movie.swf", 3u}, std::pair{"clip.flv", 5u}}) {
        const clitest::Result r = build(movie, std::string(movie) + ".exe");
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const std::string installer = ReadFile(dir / (std::string(movie) + ".exe"));
        EXPECT_EQ(installer.substr(0, 11), "MZ the stub");
        EXPECT_EQ(Le32At(installer, installer.size() - 4), entries) << movie;
    }
    const auto projectOf = [&](const std::string& installer, size_t entries) {
        const std::string bytes = ReadFile(dir / installer);
        const size_t directory = bytes.size() - 4 - 8 * entries;
        const size_t projectStart = Le32At(bytes, directory + 4);
        WriteFile(dir / "entry1.zvrk",
                  testfiles::Uncompress(bytes.substr(projectStart, Le32At(bytes, directory + 12)),
                                        Le32At(bytes, directory + 8)));
        return dir / "entry1.zvrk";
    };
    // Without a project to open, the video keeps its Loop.
    const std::string video = projectOf("clip.flv.exe", 5);
    EXPECT_EQ(IniValue(video, "Loop"), "1");
    EXPECT_EQ(IniValue(video, "TextBGColor"), "clYellow") << "from the template";
    EXPECT_EQ(IniValue(video, "OutputFile"), dir / "clip.flv.exe");
    // No colour given: a video keeps the template's, a movie that sets none is on white.
    EXPECT_EQ(IniValue(video, "BackgroundColor"), "clBlack");
    EXPECT_EQ(IniValue(projectOf("movie.swf.exe", 3), "BackgroundColor"), "clWhite");
}

TEST_F(CliOptions, HelpPrintsTheUsageAndWritesNothing) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"project", "new", dir / "p.zvrk", "--help"},
          std::vector<std::string>{"build", "-h"}, std::vector<std::string>{"--help"}}) {
        const clitest::Result r = Run(args);
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.out.rfind("usage: muravel-cli", 0), 0u) << r.out;
        EXPECT_NE(r.out.find("Exit codes: 0"), std::string::npos);
    }
    EXPECT_EQ(dir.Names(), std::vector<std::string>{});
}

} // namespace
