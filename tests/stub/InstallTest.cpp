#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "StubRunner.h"
#include "stub/DesktopWallpaper.h"
#include "stub/Uninstallation.h"

using stubrun::UninstallNumber;
using stubrun::UninstallString;

namespace {

class InstallTest : public stubrun::TStubTest {};

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string SysColorCss(int index) {
    const COLORREF rgb = GetSysColor(index);
    char css[8];
    std::snprintf(css, sizeof css, "#%02x%02x%02x", GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
    return css;
}

// A path as a JSON string holds it.
std::string Escaped(const std::string& path) {
    std::string escaped;
    for (const char c : path)
        escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return escaped;
}

int64_t SizeOnDisk(const std::string& folder) {
    int64_t size = 0;
    for (const std::string& name : Names(folder))
        size += static_cast<int64_t>(ReadFile(folder + "\\" + name).size());
    return size;
}

std::string LocalAppData() {
    char path[MAX_PATH];
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// Lively Wallpaper's settings folder, as its first start leaves it, with a Settings.json when
// given; gone again at the end with all its library holds.
class TLively {
public:
    explicit TLively(const std::string& settings = "")
        : root_(LocalAppData() + "\\Lively Wallpaper") {
        CreateDirectoryA(root_.c_str(), nullptr);
        if (!settings.empty())
            WriteFile(root_ + "\\Settings.json", settings);
    }
    ~TLively() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TLively(const TLively&) = delete;
    TLively& operator=(const TLively&) = delete;
    std::string Library() const { return root_ + "\\Library\\wallpapers"; }

private:
    std::string root_;
};

// Lively Wallpaper's program where its installer's entry in the installed programs says it is:
// the stand-in, answering or not; ended, with its entry, when the test is over.
class TLivelyProgram {
public:
    TLivelyProgram(std::string folder, bool answers) : folder_(std::move(folder)) {
        CreateDirectoryA(folder_.c_str(), nullptr);
        CopyFileA(stubrun::WindowsPath(MURAVEL_LIVELY_PATH).c_str(),
                  (folder_ + "\\Lively.exe").c_str(), FALSE);
        if (!answers)
            WriteFile(folder_ + "\\never-answers", "");
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(stub::UninstallKeyPath) + Entry).c_str(), 0,
                        nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
        RegSetValueExA(key, "Inno Setup: App Path", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(folder_.c_str()),
                       static_cast<DWORD>(folder_.size() + 1));
        RegCloseKey(key);
    }
    ~TLivelyProgram() {
        stubrun::RunProgram(folder_ + "\\Lively.exe", "--shutdown");
        RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(stub::UninstallKeyPath) + Entry).c_str());
    }
    TLivelyProgram(const TLivelyProgram&) = delete;
    TLivelyProgram& operator=(const TLivelyProgram&) = delete;

    // The arguments each later start was given, joined by "|"; --shutdown left out.
    Strings Commands() const {
        Strings lines;
        std::string text = ReadFile(folder_ + "\\arguments.txt");
        for (size_t end; (end = text.find('\n')) != std::string::npos; text.erase(0, end + 1))
            if (text.substr(0, end) != "--shutdown")
                lines.push_back(text.substr(0, end));
        return lines;
    }

private:
    static constexpr const char* Entry = "{E3E43E1B-DEC8-44BF-84A6-243DBA3F2CB1}_is1";
    std::string folder_;
};

} // namespace

TEST_F(InstallTest, ASilentInstallPutsTheWallpaperOnTheDesktopThroughLively) {
    const TLively lively;
    const TLivelyProgram program(Path("Lively"), true);
    const std::string guid = NewGuid();
    const std::string folder = Path("w");
    const std::string copy = lively.Library() + "\\" + guid;
    const TRun run = InstallSilently(CraftMovie("s", guid), folder);
    ASSERT_EQ(run.ExitCode, 0u) << run.Error;
    EXPECT_EQ(run.Error, "");
    EXPECT_EQ(program.Commands(), Strings{"setwp|--file|" + copy});

    // The uninstaller takes it off the screen it is on, with what Lively kept of it.
    const std::string kept = lively.Library() + "\\..\\SaveData\\wpdata\\" + guid;
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, (kept + "\\1").c_str(), nullptr), ERROR_SUCCESS);
    WriteFile(kept + "\\1\\LivelyProperties.json", "{}");
    EXPECT_EQ(UninstallSilently(folder).ExitCode, 0u);
    EXPECT_EQ(program.Commands(), (Strings{"setwp|--file|" + copy, "closewp|--monitor|1"}));
    EXPECT_FALSE(Exists(kept));
    EXPECT_FALSE(Exists(copy));

    // /NOWALLPAPER leaves the desktop as it is.
    const TRun quiet = stubrun::RunProgram(CraftMovie("q", guid), "/S /NOWALLPAPER /D=" + folder);
    ASSERT_EQ(quiet.ExitCode, 0u) << quiet.Error;
    EXPECT_EQ(program.Commands().size(), 2u);
    EXPECT_TRUE(Exists(copy));
    EXPECT_EQ(UninstallSilently(folder).ExitCode, 0u);
}

TEST_F(InstallTest, ALivelyThatNeverAnswersLeavesTheWallpaperInstalledAndSaysWhereItIs) {
    const TLively lively;
    const TLivelyProgram program(Path("Lively"), false);
    const std::string guid = NewGuid();
    const std::string folder = Path("w");
    const ULONGLONG start = GetTickCount64();
    const TRun run = InstallSilently(CraftMovie("s", guid), folder);
    EXPECT_LT(GetTickCount64() - start, 45000u) << "Lively is waited for 30 seconds";
    ASSERT_EQ(run.ExitCode, 0u) << run.Error;
    EXPECT_TRUE(Has(run.Error, "Lively Wallpaper did not answer. The wallpaper is in its library"))
        << run.Error;
    EXPECT_TRUE(program.Commands().empty());
    EXPECT_TRUE(Exists(lively.Library() + "\\" + guid + "\\wallpaper.html"));
    EXPECT_EQ(UninstallSilently(folder).ExitCode, 0u);
}

TEST_F(InstallTest, MovieIsInstalledWithPageInfoAndEntryAndUninstalledWhole) {
    const std::string movie = testfiles::SwfMovie(stubtest::RandomBytes(300000, 11));
    WriteFile(Path("Blue Lagoon.swf"), movie);
    const std::string guid = NewGuid();
    const std::string project = Project("lagoon.zvrk", [&](core::TProject& p) {
        stubtest::Basic(Path("Blue Lagoon.swf"), guid, "Blue <Lagoon> & Co")(p);
        p.BackgroundColor = 0x00FF8000;
        p.Loop = true;
        p.ShowText = true;
        p.TextLines.Add("Made with <script>alert('x')</script> & love");
        p.URL = "javascript:alert(1)";
        p.TextColor = 0x000000FF;
        p.TextBGColor = static_cast<core::TColor>(0xFF00000F);
    });
    const std::string installer = Build(project, "lagoon.exe");
    const std::string folder = Path("installed\\lagoon");

    const TRun run = InstallSilently(installer, folder);
    ASSERT_EQ(run.ExitCode, 0u) << run.Error;
    EXPECT_EQ(run.Error, std::string(stub::NoDesktopText) + "\r\n");
    EXPECT_EQ(Names(folder), InstalledNames());
    EXPECT_EQ(InstalledMovie(folder), movie);
    EXPECT_TRUE(Has(ReadFile(folder + "\\movie.js"), "MuravelData(\"Blue%20Lagoon.swf\""));
    const std::string uninstaller = ReadFile(folder + "\\uninstall.exe");
    EXPECT_EQ(uninstaller.substr(0, ProgramBytes().size()), ProgramBytes());
    EXPECT_LT(uninstaller.size(), ProgramBytes().size() + 4096) << "without the web player";

    testfiles::ExpectContains(
        ReadFile(folder + "\\wallpaper.html"),
        {"<title>Blue &lt;Lagoon&gt; &amp; Co</title>", "background: #0080ff;",
         "data-movie=\"Blue%20Lagoon.swf\" data-background=\"#0080ff\"",
         "<script src=\"movie.js\"></script>\n<script src=\"ruffle.js\">",
         "Made with &lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; love",
         "color: #ff0000; background: " + SysColorCss(COLOR_BTNFACE) + ";",
         "<br>\njavascript:alert(1)</div>"},
        {"data-play-once", "href"});

    const std::string info = ReadFile(folder + "\\LivelyInfo.json");
    EXPECT_TRUE(Has(info, "\"Title\": \"Blue <Lagoon> & Co\"")) << info;
    EXPECT_TRUE(Has(info, "\"Type\": 1,"));
    EXPECT_TRUE(Has(info, "\"FileName\": \"wallpaper.html\""));

    EXPECT_EQ(UninstallString(guid, "DisplayName"), "Blue <Lagoon> & Co");
    EXPECT_EQ(UninstallString(guid, "UninstallString"), "\"" + folder + "\\uninstall.exe\"");
    EXPECT_EQ(UninstallString(guid, "DisplayIcon"), folder + "\\uninstall.exe");
    EXPECT_EQ(UninstallString(guid, "InstallLocation"), folder);
    EXPECT_EQ(UninstallNumber(guid, "EstimatedSize"), (SizeOnDisk(folder) + 1023) / 1024);
    EXPECT_EQ(UninstallNumber(guid, "NoModify"), 1u);
    EXPECT_EQ(UninstallString(guid, "Publisher"), "Zenvoy");
    EXPECT_EQ(UninstallString(guid, "DisplayVersion"), "3.0.0");
    EXPECT_EQ(UninstallString(guid, "InstallDate").size(), 8u);
    EXPECT_EQ(UninstallString(guid, "QuietUninstallString"),
              "\"" + folder + "\\uninstall.exe\" /S");
    EXPECT_EQ(UninstallNumber(guid, "NoRepair"), 1u);

    ExpectUninstalled(folder, guid);
    EXPECT_EQ(Names(Path("installed")), Strings{});
}

TEST_F(InstallTest, VideoIsInstalledWithThePlayerMovie) {
    const std::string video = testfiles::FlvVideo(stubtest::RandomBytes(100000, 12));
    WriteFile(Path("clip.flv"), video);
    const std::string guid = NewGuid();
    const std::string project = Project("clip.zvrk", [&](core::TProject& p) {
        stubtest::Basic(Path("clip.flv"), guid, "Clip")(p);
        p.TransparentBackground = true;
        p.Loop = true;
        p.ShowText = true;
        p.TextLines.Add("Visit us");
        p.URL = "https://example.com/a?b=1&c=2";
        p.TextBGTransparent = true;
    });
    const std::string folder = Path("clip");
    const TRun run = InstallSilently(Build(project, "clip.exe"), folder);
    ASSERT_EQ(run.ExitCode, 0u) << run.Error;
    // The page starts the web player itself, so swfobject.js stays in the installer.
    EXPECT_EQ(Names(folder), InstalledNames({"player.js"}));
    EXPECT_EQ(InstalledMovie(folder), video);
    EXPECT_EQ(stubtest::DataScriptBytes(ReadFile(folder + "\\player.js")), PlayerBytes);

    // The player movie loops a video whatever the project says.
    testfiles::ExpectContains(ReadFile(folder + "\\wallpaper.html"),
                              {"data-movie=\"FLVPlayer.swf\" data-flashvars=\"file=clip.flv\"",
                               "background: transparent;", " data-transparent>",
                               "<a href=\"https://example.com/a?b=1&amp;c=2\"",
                               "color: #000000; background: transparent;"});
    EXPECT_EQ(UninstallString(guid, "URLInfoAbout"), "https://example.com/a?b=1&c=2");

    ExpectUninstalled(folder, guid);
}

TEST_F(InstallTest, WithoutAFolderItGoesUnderLocalAppDataNamedAfterItsTitle) {
    const std::string base = LocalAppData() + "\\Zenvoy Muravel";
    const bool baseExisted = Exists(base);
    const std::string guid = NewGuid();
    const std::string first = CraftMovie("a", guid, "Sunset: Part 2/3");
    TRun run = stubrun::RunProgram(first, "/S");
    ASSERT_EQ(run.ExitCode, 0u) << run.Error;
    const std::string folder = base + "\\Wallpapers\\Sunset Part 23";
    EXPECT_EQ(InstalledMovie(folder), "FWS a");
    EXPECT_EQ(UninstallString(guid, "UninstallString"), "\"" + folder + "\\uninstall.exe\"");

    // Another wallpaper of that title never takes the folder over; the same one goes back to it.
    const std::string other = NewGuid();
    run = stubrun::RunProgram(CraftMovie("b", other, "Sunset: Part 2/3"), "/S");
    ASSERT_EQ(run.ExitCode, 0u) << run.Error;
    const std::string second = folder + " (2)";
    EXPECT_EQ(InstalledMovie(second), "FWS b");
    ASSERT_EQ(stubrun::RunProgram(first, "/S").ExitCode, 0u);
    EXPECT_EQ(InstalledMovie(folder), "FWS a");
    EXPECT_EQ(UninstallString(guid, "DisplayName"), "Sunset: Part 2/3");

    ExpectUninstalled(folder, guid);
    EXPECT_TRUE(Exists(second));
    ExpectUninstalled(second, other);
    if (!baseExisted) {
        EXPECT_FALSE(Exists(base)) << "the last wallpaper takes the folders that held it along";
    }
}

TEST_F(InstallTest, CraftedMoviePathsStayInsideTheFolder) {
    const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"..\\..\\evil.swf", "evil.swf"},  {"C:\\x\\con.swf", "_con.swf"},
        {"C:\\x\\", "movie.swf"},          {"..\\wallpaper.html", "movie.swf"},
        {"a/b/../../../up.swf", "up.swf"},
    };
    int i = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const std::string guid = NewGuid();
        const std::string movie = "FWS " + std::string(c.path);
        const std::string installer =
            Craft("crafted" + std::to_string(i) + ".exe", stubtest::Basic(c.path, guid), movie);
        const std::string outer = Path("w" + std::to_string(i));
        const std::string folder = outer + "\\a\\b";
        const TRun run = InstallSilently(installer, folder);
        ASSERT_EQ(run.ExitCode, 0u) << run.Error;
        EXPECT_EQ(Names(outer), Strings{"a"});
        EXPECT_EQ(Names(outer + "\\a"), Strings{"b"});
        EXPECT_EQ(InstalledMovie(folder), movie);
        EXPECT_TRUE(Has(ReadFile(folder + "\\movie.js"), "(\"" + std::string(c.name) + "\""));
        EXPECT_EQ(Names(folder), InstalledNames());
        EXPECT_TRUE(Has(ReadFile(folder + "\\wallpaper.html"), "<!DOCTYPE html>"));
        EXPECT_EQ(UninstallSilently(folder).ExitCode, 0u);
        ++i;
    }
}

TEST_F(InstallTest, InstallingAgainReplacesTheEarlierInstallation) {
    const std::string guid = NewGuid();
    const std::string folder = Path("again");
    const std::string first = CraftMovie("v1", guid, "Version One");
    ASSERT_EQ(InstallSilently(first, folder).ExitCode, 0u);
    const std::string second = CraftMovie("v2", guid, "Version Two");
    const TRun run = InstallSilently(second, folder);
    ASSERT_EQ(run.ExitCode, 0u) << run.Error;
    EXPECT_EQ(Names(folder), InstalledNames());
    EXPECT_EQ(InstalledMovie(folder), "FWS v2");
    EXPECT_EQ(UninstallString(guid, "DisplayName"), "Version Two");
    ExpectUninstalled(folder, guid);
}

TEST_F(InstallTest, InstallingAgainElsewhereRemovesTheEarlierCopy) {
    const std::string guid = NewGuid();
    const std::string installer = CraftMovie("w", guid);
    ASSERT_EQ(InstallSilently(installer, Path("here")).ExitCode, 0u);
    ASSERT_EQ(InstallSilently(installer, Path("there")).ExitCode, 0u);
    EXPECT_FALSE(Exists(Path("here")));
    EXPECT_EQ(UninstallString(guid, "InstallLocation"), Path("there"));
    ExpectUninstalled(Path("there"), guid);
}

TEST_F(InstallTest, AFailedInstallationLeavesTheEarlierOneAsItWas) {
    const std::string guid = NewGuid();
    const std::string folder = Path("kept");
    ASSERT_EQ(InstallSilently(CraftMovie("v1", guid, "Version One"), folder).ExitCode, 0u);
    const Strings before = Names(folder);
    const std::string page = ReadFile(folder + "\\wallpaper.html");
    {
        // A browser showing the page holds it open without letting it be moved.
        const HANDLE open = CreateFileA((folder + "\\wallpaper.html").c_str(), GENERIC_READ, 0,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(open, INVALID_HANDLE_VALUE);
        const TRun run = InstallSilently(CraftMovie("v2", guid, "Version Two"), folder);
        CloseHandle(open);
        EXPECT_EQ(run.ExitCode, 1u);
        EXPECT_TRUE(Has(run.Error, "The wallpaper could not be installed.")) << run.Error;
        EXPECT_TRUE(Has(run.Error, "wallpaper.html")) << run.Error;
    }
    EXPECT_EQ(Names(folder), before);
    EXPECT_EQ(ReadFile(folder + "\\wallpaper.html"), page);
    EXPECT_EQ(InstalledMovie(folder), "FWS v1");
    EXPECT_EQ(UninstallString(guid, "DisplayName"), "Version One");
    ExpectUninstalled(folder, guid);
}

TEST_F(InstallTest, AFolderHoldingOtherFilesOfTheSameNamesIsRefused) {
    const std::string mine = Path("mine");
    CreateDirectoryA(mine.c_str(), nullptr);
    WriteFile(mine + "\\wallpaper.html", "my own page");
    const std::string guid = NewGuid();
    const TRun run = InstallSilently(CraftMovie("x", guid), mine);
    EXPECT_EQ(run.ExitCode, 1u);
    EXPECT_TRUE(Has(run.Error, "already holds \"wallpaper.html\"")) << run.Error;
    EXPECT_EQ(Names(mine), Strings{"wallpaper.html"});
    EXPECT_EQ(ReadFile(mine + "\\wallpaper.html"), "my own page");
    EXPECT_FALSE(UninstallKeyExists(guid));

    const std::string other = NewGuid();
    const std::string shared = Path("shared");
    ASSERT_EQ(InstallSilently(CraftMovie("o", other, "Other"), shared).ExitCode, 0u);
    const TRun refused = InstallSilently(CraftMovie("y", guid), shared);
    EXPECT_EQ(refused.ExitCode, 1u);
    EXPECT_TRUE(Has(refused.Error, "holds another wallpaper, \"Other\"")) << refused.Error;
    EXPECT_EQ(Names(shared), InstalledNames());
    EXPECT_EQ(UninstallSilently(shared).ExitCode, 0u);
}

TEST_F(InstallTest, AFailureHalfWayLeavesNoFolderNoFileAndNoEntry) {
    // Room in the path for the folder, its staging folder and the page's script in it, but not
    // for the page's description: the path limit stops the installation after the first files
    // have been written.
    const std::string parent = Path("parent");
    const std::string staged = "\\~install-" + std::string(32, '0');
    std::string folder = parent + "\\";
    folder += std::string(MAX_PATH + 1 - folder.size() - staged.size() - 16, 'x');
    ASSERT_EQ((folder + staged + "\\LivelyInfo.json").size(), static_cast<size_t>(MAX_PATH + 1));
    ASSERT_LT((folder + staged + "\\wallpaper.js").size(), static_cast<size_t>(MAX_PATH - 1));
    const std::string guid = NewGuid();
    const TRun run = InstallSilently(CraftMovie("long", guid), folder);
    EXPECT_EQ(run.ExitCode, 1u);
    EXPECT_TRUE(Has(run.Error, "Cannot create file")) << run.Error;
    EXPECT_TRUE(Has(run.Error, "\\~install-")) << run.Error;
    EXPECT_FALSE(Exists(parent));
    EXPECT_FALSE(UninstallKeyExists(guid));
}

TEST_F(InstallTest, WallpaperEnginesProjectsGetACopyThatTheUninstallerRemoves) {
    // Steam's folder as its registry value names it, with forward slashes, and a second library
    // in its list that holds Wallpaper Engine.
    const std::string steam = Path("steam");
    const std::string library = Path("library \xE6\xA3\xAE");
    const std::string engine = library + "\\steamapps\\common\\wallpaper_engine";
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, (steam + "\\steamapps").c_str(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, engine.c_str(), nullptr), ERROR_SUCCESS);
    const auto escaped = [](std::string path) {
        for (size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 2))
            path.insert(at, 1, '\\');
        return path;
    };
    WriteFile(steam + "\\steamapps\\libraryfolders.vdf",
              "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + escaped(steam) +
                  "\"\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + escaped(library) +
                  "\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"431960\"\t\t\"1\"\n\t\t}\n\t}\n}\n");
    std::string forward = steam;
    std::replace(forward.begin(), forward.end(), '\\', '/');
    struct TSteamKey {
        explicit TSteamKey(const std::string& path) {
            RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Valve\\Steam", "SteamPath", REG_SZ,
                            path.c_str(), static_cast<DWORD>(path.size() + 1));
        }
        ~TSteamKey() { RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Valve\\Steam"); }
    } key(forward);

    const std::string guid = NewGuid();
    const std::string folder = Path("w");
    const std::string copy = engine + "\\projects\\myprojects\\" + guid;
    const TRun run = InstallSilently(CraftMovie("e", guid), folder);
    ASSERT_EQ(run.ExitCode, 0u) << run.Error;
    Strings expected = InstalledNames();
    for (const char* own : {"uninstall.exe", "wallpaper-host.exe"})
        expected.erase(std::find(expected.begin(), expected.end(), own));
    EXPECT_EQ(Names(copy), expected);
    EXPECT_TRUE(Has(ReadFile(copy + "\\project.json"), "\"type\": \"web\""));
    EXPECT_EQ(UninstallSilently(folder).ExitCode, 0u);
    EXPECT_FALSE(Exists(copy));
    EXPECT_TRUE(Exists(engine + "\\projects\\myprojects"));

    // /NOWALLPAPERENGINE leaves it out.
    const TRun quiet =
        stubrun::RunProgram(CraftMovie("q", guid), "/S /NOWALLPAPERENGINE /D=" + folder);
    ASSERT_EQ(quiet.ExitCode, 0u) << quiet.Error;
    EXPECT_FALSE(Exists(copy));
    EXPECT_EQ(UninstallSilently(folder).ExitCode, 0u);
}

TEST_F(InstallTest, LivelysLibraryGetsACopyThatTheUninstallerRemoves) {
    const std::string custom = Path("lively \xE6\xA3\xAE\xE6\x9E\x97 library");
    for (const std::string& settings :
         {std::string(), "{\"WallpaperDir\": \"" + Escaped(custom) + "\"}"}) {
        SCOPED_TRACE(settings);
        const TLively lively(settings);
        const std::string library = settings.empty() ? lively.Library() : custom + "\\wallpapers";
        const std::string guid = NewGuid();
        const std::string folder = Path("w");
        const TRun run = InstallSilently(CraftMovie("l", guid), folder);
        ASSERT_EQ(run.ExitCode, 0u);
        EXPECT_EQ(run.Error, std::string(stub::NoDesktopText) + "\r\n");
        const std::string copy = library + "\\" + guid;
        Strings expected = InstalledNames();
        for (const char* own : {"uninstall.exe", "wallpaper-host.exe"})
            expected.erase(std::find(expected.begin(), expected.end(), own));
        EXPECT_EQ(Names(copy), expected);
        EXPECT_EQ(InstalledMovie(copy), "FWS l");
        EXPECT_EQ(UninstallSilently(folder).ExitCode, 0u);
        EXPECT_FALSE(Exists(copy));
        EXPECT_FALSE(Exists(folder));
    }
    // /NOLIVELY keeps the wallpaper to its own folder.
    const TLively lively;
    const std::string guid = NewGuid();
    const std::string folder = Path("own");
    ASSERT_EQ(stubrun::RunProgram(CraftMovie("n", guid), "/NOLIVELY /S /D=" + folder).ExitCode, 0u);
    EXPECT_FALSE(Exists(lively.Library() + "\\" + guid));
    EXPECT_EQ(UninstallSilently(folder).ExitCode, 0u);
}

TEST_F(InstallTest, FoldersAndTitlesOfAnyScriptFromTheMovieToTheUninstaller) {
    // The title in the code page given, which the project records and the installer reads it
    // in, whatever the system's is; a title no code page holds is refused in one line.
    const struct {
        std::string name;
        const char* codePage;
        std::string title;
        bool nameRefused = false; // as a title
    } cases[] = {
        {"\xE6\xA3\xAE\xE6\x9E\x97", "936", "\xE6\xA3\xAE\xE6\x9E\x97"},
        {"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "1251",
         "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"},
        {"Kalimera", "1253",
         "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1 "
         "\xCE\xBA\xCF\x8C\xCF\x83\xCE\xBC\xCE\xB5"},
        {"Caf\xC3\xA9", "1252", "Caf\xC3\xA9 au lait"},
        {"Wald \xF0\x9F\x8C\xB2", "1252", "Wald", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = Path(c.name);
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        const std::string movie = folder + "\\" + c.name + ".swf";
        WriteFile(movie, testfiles::SwfMovie());
        const std::string project = folder + "\\" + c.name + ".zvrk";
        const auto make = [&](const std::string& title) {
            return stubrun::RunProgram(
                CliPath(), "project new \"" + project + "\" --no-template --movie \"" + movie +
                               "\" --title \"" + title + "\" --codepage " + c.codePage);
        };
        if (c.nameRefused) {
            const TRun refused = make(c.name);
            EXPECT_EQ(refused.ExitCode, 2u);
            EXPECT_TRUE(Has(refused.Error, "no --codepage holds it all")) << refused.Error;
            EXPECT_FALSE(Has(refused.Error, "usage:")) << refused.Error;
        }
        const TRun made = make(c.title);
        ASSERT_EQ(made.ExitCode, 0u) << made.Error;
        core::TProject saved(folder + "\\read.ini");
        saved.LoadFromFile(project);
        RemoveKeyAtEnd(saved.GUID);
        const std::string installer = Build(project, c.name + "\\" + c.name + ".exe");

        const std::string installed = folder + "\\installed";
        const TRun run = InstallSilently(installer, installed);
        ASSERT_EQ(run.ExitCode, 0u) << run.Error;
        EXPECT_EQ(Names(installed), InstalledNames());
        EXPECT_EQ(InstalledMovie(installed), testfiles::SwfMovie());
        EXPECT_TRUE(
            Has(ReadFile(installed + "\\LivelyInfo.json"), "\"Title\": \"" + c.title + "\""));
        EXPECT_EQ(UninstallString(saved.GUID, "DisplayName"), c.title);
        EXPECT_EQ(UninstallString(saved.GUID, "InstallLocation"), installed);
        ExpectUninstalled(installed, saved.GUID);
    }
}

TEST_F(InstallTest, ALibraryThatCannotBeWrittenLeavesTheWallpaperInstalledAndSaysSo) {
    WriteFile(Path("a file"), "");
    const TLively lively("{\"WallpaperDir\": \"" + Escaped(Path("a file\\library")) + "\"}");
    const std::string guid = NewGuid();
    const std::string folder = Path("w");
    const TRun run = InstallSilently(CraftMovie("l", guid), folder);
    ASSERT_EQ(run.ExitCode, 0u) << run.Error;
    EXPECT_TRUE(Has(run.Error, "It could not be added to Lively Wallpaper's library. "))
        << run.Error;
    EXPECT_EQ(Names(folder), InstalledNames());
    // Its uninstaller leaves the library alone.
    ExpectUninstalled(folder, guid);
    EXPECT_TRUE(Exists(Path("a file")));
}

TEST_F(InstallTest, TheFolderArgumentTakesBlanksAndQuotesEitherWay) {
    const std::string guid = NewGuid();
    const std::string installer = CraftMovie("q", guid);
    for (const auto& [arguments, folder] :
         {std::pair{"/S \"/D=" + Path("my walls\\one") + "\"", Path("my walls\\one")},
          std::pair{"/S /D=\"" + Path("my walls\\two") + "\"", Path("my walls\\two")}}) {
        const TRun run = stubrun::RunProgram(installer, arguments);
        ASSERT_EQ(run.ExitCode, 0u) << arguments << ": " << run.Error;
        EXPECT_EQ(InstalledMovie(folder), "FWS q") << arguments;
        EXPECT_EQ(UninstallSilently(folder).ExitCode, 0u);
    }
}
