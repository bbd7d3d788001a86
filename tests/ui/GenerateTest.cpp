#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>

#include "TestSupport.h"
#include "core/DecompileUnit.h"
#include "core/InstallerBuilder.h"
#include "core/ProjectUnit.h"
#include "rtl/Streams.h"
#include "tests/TestFiles.h"
#include "ui/Application.h"
#include "ui/Dispatch.h"
#include "ui/MainFormUnit.h"
#include "ui/ProductInfo.h"

namespace {

using testfiles::Le32;
using testfiles::ReadFile;
using testfiles::WriteFile;

const std::string Stub =
    std::string("MZ\x90\0\x03\0\0\0stub\0\xFF\xFE", 16) + std::string(300, 's');
const std::string Player = "FWS\x0A player movie";
const std::string SwfObject = "var swfobject = function() { return 1; }();\r\n";

std::string SwfMovie() {
    std::string filler;
    for (int i = 0; i < 2000; ++i)
        filler += static_cast<char>(i * 7 % 251);
    return testfiles::SwfMovie(filler);
}

std::string FlvMovie() {
    return testfiles::FlvVideo(1500);
}

std::vector<std::string> TempListing() {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    return testfiles::TempFolder::NamesIn(temp);
}

// The main window with its sibling files in a test folder of their own: installer.dat and the
// two player files beside a pretended executable, a movie and an output path beside them.
class Generate : public ::testing::Test {
protected:
    void SetUp() override {
        ui::Application().SetTitle(ui::ProductName);
        std::filesystem::create_directories(exe);
        WriteFile(exe + "installer.dat", Stub);
        WriteFile(exe + "FLVPlayer.swf", Player);
        WriteFile(exe + "swfobject.js", SwfObject);
        WriteFile(movie, SwfMovie());
        seams.ExecutableFolder = exe;
        const auto answer = ui::Seams().ShowMessageBox;
        ui::Seams().ShowMessageBox = [this, answer](const ui::TMessageBoxRequest& request) {
            PagesAtBoxes.push_back(form.PageControl->ActivePage());
            return answer(request);
        };
        // The test program's own options must not reach the window as a file to open.
        ui::Application().SetArguments({});
        form.Show();
        Pump();
        tempBefore = TempListing();
    }

    void TearDown() override { ui::Application().SetArguments(arguments); }

    // Everything a run needs, set the way a user sets it.
    void Ready(const std::string& flash) {
        form.LoadFlash(flash);
        form.TitleEdit->SetText("Sea");
        seams.FileDialogAnswers = {output};
        form.ChangeFileBtnClick(form.ChangeFileBtn);
        ASSERT_EQ(form.OutputPath, output);
    }

    // A click on the real button, on its page.
    void Run() {
        form.PageControl->SetActivePage(form.OutputSheet);
        SendMessageA(form.GenerateBtn->Handle(), BM_CLICK, 0, 0);
        Pump();
    }

    std::vector<std::string> Log() {
        const rtl::TStringList lines = form.LogMemo->Lines();
        std::vector<std::string> log;
        for (int i = 0; i < lines.Count(); ++i)
            log.push_back(lines.Get(i));
        return log;
    }

    std::vector<std::string> SuccessLog(const std::string& flash) {
        return {"Preparing...", "Collecting project settings...",
                "loading and compressing " + flash + "...", "Generating wallpaper installer...",
                "Mission Accomplished."};
    }

    static std::unique_ptr<core::TDecompileStream> Open(const std::string& path) {
        auto reader = std::make_unique<core::TDecompileStream>();
        rtl::TFileStream file(path, rtl::FileMode::OpenRead);
        reader->Decompile(file);
        return reader;
    }

    // The INI text of the project that went into the installer as entry 1.
    static std::string ProjectIniText(const std::string& installer) {
        auto project = Open(installer)->GetStream(1, true);
        core::TDecompileStream inner;
        inner.Decompile(*project);
        return inner.GetStream(0, true)->ToString();
    }

    // Runs Generate through the dispatch point, as a click on its button does, from page.
    void GenerateFrom(ui::TTabSheet* page) {
        form.PageControl->SetActivePage(page);
        seams.MessageBoxes.clear();
        PagesAtBoxes.clear();
        ui::Dispatch([&] { form.GenerateBtnClick(form.GenerateBtn); });
        Pump();
    }

    // The run stopped before it wrote anything, with one information box that says text and
    // the page to put right in front; the log, the button and the temporary directory are as
    // they were.
    void ExpectStoppedOn(ui::TTabSheet* page, const std::string& text) {
        ASSERT_EQ(seams.MessageBoxes.size(), 1u);
        const ui::TMessageBoxRequest& box = seams.MessageBoxes[0];
        EXPECT_EQ(box.Text, text);
        EXPECT_EQ(box.Caption, "Information");
        EXPECT_EQ(box.Type, static_cast<UINT>(MB_ICONINFORMATION | MB_OK));
        EXPECT_EQ(PagesAtBoxes[0], page) << "the page comes to the front before the box";
        EXPECT_EQ(form.PageControl->ActivePage(), page);
        EXPECT_EQ(form.LogMemo->Text(), EarlierLog);
        EXPECT_TRUE(form.GenerateBtn->Enabled());
        EXPECT_FALSE(std::filesystem::exists(output));
        EXPECT_EQ(TempListing(), tempBefore);
        EXPECT_TRUE(seams.ShellRequests.empty());
    }

    // One stop-icon error box that begins with prefix.
    void ExpectErrorBox(const std::string& prefix) {
        ASSERT_EQ(seams.MessageBoxes.size(), 1u);
        const ui::TMessageBoxRequest& box = seams.MessageBoxes[0];
        EXPECT_EQ(box.Text.substr(0, prefix.size()), prefix) << box.Text;
        EXPECT_GT(box.Text.size(), prefix.size()) << "the system's reason follows";
        EXPECT_EQ(box.Caption, "Zenvoy Muravel");
        EXPECT_EQ(box.Type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    }

    static constexpr const char* EarlierLog = "an earlier run\r\n";
    testfiles::TempFolder dir;
    const std::string exe = dir / "program\\";
    const std::string movie = dir / "movie.swf";
    const std::string output = dir / "wall.exe";
    std::vector<std::string> tempBefore;
    std::vector<ui::TTabSheet*> PagesAtBoxes;
    const std::vector<std::string> arguments = ui::Application().Arguments();
    TFakeSeams seams;
    ui::TMainForm form;
};

TEST_F(Generate, EachMissingSettingStopsTheRunOnItsPageInOrder) {
    struct TCase {
        bool Output;
        bool Flash;
        std::string Title;
        const char* Message;
        ui::TTabSheet* Page;
        ui::TTabSheet* From;
    };
    const TCase cases[] = {
        {false, false, "", "Please assign an ouput file name.", form.OutputSheet, form.InfoSheet},
        {false, true, "Sea", "Please assign an ouput file name.", form.OutputSheet,
         form.FlashSheet},
        {true, false, "", "Please assign a Flash file to this project.", form.FlashSheet,
         form.OutputSheet},
        {true, false, "Sea", "Please assign a Flash file to this project.", form.FlashSheet,
         form.InfoSheet},
        {true, true, " \t\r\n  \t", "Please input your wallpaper title.", form.InfoSheet,
         form.OutputSheet},
        {true, true, "", "Please input your wallpaper title.", form.InfoSheet, form.FlashSheet},
    };
    form.LogMemo->SetText(EarlierLog);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Message + (" title \"" + c.Title + "\""));
        form.OutputPath = c.Output ? output : "";
        form.LoadFlash(c.Flash ? movie : "");
        form.TitleEdit->SetText(c.Title);
        GenerateFrom(c.From);
        ExpectStoppedOn(c.Page, c.Message);
        EXPECT_EQ(ReadFile(movie), SwfMovie());
    }
}

TEST_F(Generate, AMovieThatCannotShipStopsTheRunOnTheFlashPage) {
    const std::pair<std::string, const char*> cases[] = {
        {"", "is empty."},
        {"\x89PNG\r\n\x1a\n", "is not a Flash movie or Flash video."},
        {SwfMovie().substr(0, 1000),
         "is cut off: its header says 2,031 bytes, the file holds 1,000."},
    };
    form.LogMemo->SetText(EarlierLog);
    for (const auto& [bytes, says] : cases) {
        WriteFile(movie, bytes);
        Ready(movie);
        seams.MessageBoxes.clear();
        PagesAtBoxes.clear();
        Run();
        ExpectStoppedOn(form.FlashSheet, "\"" + movie + "\" " + says);
    }
}

TEST_F(Generate, AMovieInstallerIsTheStubRawThenProjectAndMovie) {
    Ready(movie);
    const std::string caption = form.Caption();
    Run();

    EXPECT_TRUE(seams.MessageBoxes.empty());
    EXPECT_EQ(Log(), SuccessLog(movie));
    EXPECT_TRUE(form.GenerateBtn->Enabled());
    const std::string bytes = ReadFile(output);
    ASSERT_GT(bytes.size(), Stub.size() + 4);
    EXPECT_EQ(bytes.substr(0, Stub.size()), Stub);
    EXPECT_EQ(bytes.substr(bytes.size() - 4), Le32(3));
    auto installer = Open(output);
    ASSERT_EQ(installer->EntryCount(), 3);
    EXPECT_EQ(installer->SourceSize(0), static_cast<int32_t>(Stub.size()));
    EXPECT_EQ(installer->StoredSize(0), static_cast<int32_t>(Stub.size()));
    EXPECT_EQ(installer->GetStream(2, true)->ToString(), SwfMovie());
    EXPECT_EQ(TempListing(), tempBefore) << "no scratch file stays";
    EXPECT_EQ(form.FlashPath, movie);
    EXPECT_EQ(form.OutputPath, output);
    EXPECT_EQ(form.Caption(), caption);
}

TEST_F(Generate, TheTitleIsSavedAsTypedWithItsLeadingBlank) {
    Ready(movie);
    form.TitleEdit->SetText(" Sea");
    Run();
    ASSERT_TRUE(seams.MessageBoxes.empty());
    const std::string ini = ProjectIniText(output);
    EXPECT_NE(ini.find("\r\nFileTitle= Sea\r\n"), std::string::npos) << ini;

    WriteFile(dir / "entry1.zvrk", Open(output)->GetStream(1, true)->ToString());
    core::TProject project(dir / "ini");
    project.LoadFromFile(dir / "entry1.zvrk");
    ASSERT_EQ(project.FlashFiles.Count(), 1);
    EXPECT_EQ(project.FlashFiles.Get(0), movie);
    EXPECT_EQ(project.OutputFile, output);
}

TEST_F(Generate, AVideoNamedInCapitalsGetsThePlayerFiles) {
    const std::string video = dir / "clip.FLV";
    WriteFile(video, FlvMovie());
    Ready(video);
    Run();

    ASSERT_TRUE(seams.MessageBoxes.empty());
    EXPECT_EQ(Log(), SuccessLog(video));
    const std::string bytes = ReadFile(output);
    EXPECT_EQ(bytes.substr(bytes.size() - 4), Le32(5));
    auto installer = Open(output);
    ASSERT_EQ(installer->EntryCount(), 5);
    EXPECT_EQ(installer->GetStream(2, true)->ToString(), FlvMovie());
    EXPECT_EQ(installer->GetStream(3, true)->ToString(), Player);
    EXPECT_EQ(installer->GetStream(4, true)->ToString(), SwfObject);
}

TEST_F(Generate, AMovieWithoutExtensionInAFolderNamedLikeAVideoIsNoVideo) {
    std::filesystem::create_directories(dir / "clips.flv");
    const std::string plain = dir / "clips.flv\\movie";
    WriteFile(plain, SwfMovie());
    Ready(plain);
    Run();

    ASSERT_TRUE(seams.MessageBoxes.empty());
    auto installer = Open(output);
    EXPECT_EQ(installer->EntryCount(), 3);
    EXPECT_EQ(installer->GetStream(2, true)->ToString(), SwfMovie());
}

TEST_F(Generate, AnExistingInstallerIsReplacedWithoutAQuestion) {
    WriteFile(output, std::string(100000, 'o'));
    Ready(movie);
    Run();
    EXPECT_TRUE(seams.MessageBoxes.empty());
    const std::string bytes = ReadFile(output);
    EXPECT_EQ(bytes.substr(0, Stub.size()), Stub);
    EXPECT_EQ(Open(output)->EntryCount(), 3);
    EXPECT_LT(bytes.size(), 100000u);
}

TEST_F(Generate, WithoutTheStubTheRunStopsAtOnceAndLeavesNothing) {
    std::filesystem::remove(exe + "installer.dat");
    Ready(movie);
    Run();

    ExpectErrorBox("Cannot open file \"" + exe + "installer.dat\". ");
    // The failure stays in the log, after the steps that ran.
    EXPECT_EQ(Log(), (std::vector<std::string>{"Preparing...", seams.MessageBoxes[0].Text}));
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_EQ(TempListing(), tempBefore);
    EXPECT_TRUE(form.GenerateBtn->Enabled());
    EXPECT_TRUE(seams.ShellRequests.empty());
}

TEST_F(Generate, AMovieGoneSinceItWasChosenFailsAtTheMovieAndKeepsTheOldInstaller) {
    WriteFile(output, "the installer of an earlier run");
    Ready(movie);
    std::filesystem::remove(movie);
    Run();

    ExpectErrorBox("Cannot open file \"" + movie + "\". ");
    EXPECT_EQ(Log(), (std::vector<std::string>{"Preparing...", "Collecting project settings...",
                                               "loading and compressing " + movie + "...",
                                               seams.MessageBoxes[0].Text}));
    EXPECT_EQ(ReadFile(output), "the installer of an earlier run");
    EXPECT_EQ(TempListing(), tempBefore);
    EXPECT_TRUE(form.GenerateBtn->Enabled());
    EXPECT_TRUE(seams.ShellRequests.empty());

    // Nothing is left in a state that stops the next run.
    WriteFile(movie, SwfMovie());
    seams.MessageBoxes.clear();
    Run();
    EXPECT_TRUE(seams.MessageBoxes.empty());
    EXPECT_EQ(Log(), SuccessLog(movie));
}

TEST_F(Generate, TheInstallerIsStartedOnlyWhenRunIsChecked) {
    Ready(movie);
    form.RunCheckBox->SetChecked(false);
    Run();
    ASSERT_TRUE(std::filesystem::exists(output));
    EXPECT_TRUE(seams.ShellRequests.empty());

    form.RunCheckBox->SetChecked(true);
    Run();
    ASSERT_EQ(seams.ShellRequests.size(), 1u);
    const ui::TShellRequest& request = seams.ShellRequests[0];
    EXPECT_EQ(request.Owner, form.Handle());
    EXPECT_EQ(request.Verb, std::optional<std::string>("open"));
    EXPECT_EQ(request.File, output);
    EXPECT_EQ(request.Parameters, "");
    EXPECT_EQ(request.Directory, "");
    EXPECT_EQ(request.Show, SW_SHOWNORMAL);
    EXPECT_TRUE(seams.MessageBoxes.empty());
}

TEST_F(Generate, TwoRunsWithTheSameSettingsWriteTheSameBytes) {
    Ready(movie);
    form.GUIDLabel->SetCaption("GUID: {0D1E2F3A-4B5C-6D7E-8F90-A1B2C3D4E5F6}");
    Run();
    const std::string first = ReadFile(output);
    Run();
    EXPECT_TRUE(seams.MessageBoxes.empty());
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(ReadFile(output), first);
}

TEST_F(Generate, AnOutputPathNamingAnInputIsRefusedOnTheOutputPage) {
    const std::string video = dir / "clip.flv";
    WriteFile(video, FlvMovie());
    struct TCase {
        std::string Flash;
        std::string Output;
        std::string Kept;
    };
    const TCase cases[] = {
        {movie, dir / ".\\movie.swf", movie},
        {movie, exe + "INSTALLER.DAT", exe + "installer.dat"},
        {video, dir / "program\\..\\clip.flv", video},
        {video, exe + ".\\swfobject.js", exe + "swfobject.js"},
    };
    form.LogMemo->SetText(EarlierLog);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Output);
        const std::string kept = ReadFile(c.Kept);
        form.LoadFlash(c.Flash);
        form.TitleEdit->SetText("Sea");
        form.OutputPath = c.Output;
        GenerateFrom(form.InfoSheet);
        ExpectStoppedOn(form.OutputSheet,
                        "The output file cannot be one of the files that go into the installer.");
        EXPECT_EQ(ReadFile(c.Kept), kept);
    }
}

} // namespace

namespace {

DWORD RunAndWait(const std::string& program, std::string command) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &process))
        return ~DWORD{0};
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = ~DWORD{0};
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

} // namespace

TEST_F(Generate, SaveForLivelyWritesTheFolderAsAZipWhereTheUserChooses) {
    ASSERT_TRUE(
        CopyFileA(WinePath(MURAVEL_STUB_PATH).c_str(), (exe + "installer.dat").c_str(), FALSE));
    form.MMSaveForLivelyClick(form.MMSaveForLively);
    ASSERT_EQ(seams.MessageBoxes.size(), 1u);
    EXPECT_EQ(seams.MessageBoxes[0].Text, core::NoMovieMessage);
    form.LoadFlash(movie);
    const std::string zip = dir / "lagoon.zip";
    seams.FileDialogAnswers = {zip};
    form.MMSaveForLivelyClick(form.MMSaveForLively);
    const std::string bytes = ReadFile(zip);
    EXPECT_EQ(bytes.substr(0, 4), "PK\x03\x04");
    // The central directory names the files at the archive's root.
    const size_t directoryStart = bytes.find(std::string("PK\x01\x02", 4));
    ASSERT_NE(directoryStart, std::string::npos);
    const std::string directory = bytes.substr(directoryStart);
    for (const char* name : {"LivelyInfo.json", "wallpaper.html", "movie.js", "project.json"})
        EXPECT_NE(directory.find(name), std::string::npos) << name;
    EXPECT_EQ(directory.find("uninstall.exe"), std::string::npos);
}

TEST_F(Generate, PlayInBrowserWritesTheFolderOfTheSettingsAsTheyAreAndOpensItsPage) {
    ASSERT_TRUE(
        CopyFileA(WinePath(MURAVEL_STUB_PATH).c_str(), (exe + "installer.dat").c_str(), FALSE));
    EXPECT_FALSE(form.PlayBtn->Enabled()) << "no movie yet";
    form.LoadFlash(movie);
    EXPECT_TRUE(form.PlayBtn->Enabled());
    form.TitleEdit->SetText("Not saved yet");
    form.GUIDLabel->SetCaption("GUID: {0D1E2F3A-4B5C-6D7E-8F90-A1B2C3D4E5F6}");
    const auto play = [&] {
        form.PageControl->SetActivePage(form.FlashSheet);
        SendMessageA(form.PlayBtn->Handle(), BM_CLICK, 0, 0);
        Pump();
    };
    play();
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    const std::string folder =
        std::string(temp) + "Zenvoy Muravel Preview\\{0D1E2F3A-4B5C-6D7E-8F90-A1B2C3D4E5F6}\\";
    ASSERT_EQ(seams.ShellRequests.size(), 1u);
    EXPECT_EQ(seams.ShellRequests[0].Verb, std::optional<std::string>("open"));
    EXPECT_EQ(seams.ShellRequests[0].File, folder + "wallpaper.html");
    EXPECT_NE(ReadFile(folder + "wallpaper.html").find("<title>Not saved yet</title>"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(folder + "movie.js"));
    EXPECT_TRUE(seams.MessageBoxes.empty());

    // A system that cannot open the page says so, with its reason.
    seams.ShellFailure = "No application is associated with the specified file.";
    play();
    ExpectErrorBox("The system cannot open \"" + folder + "wallpaper.html\". No application");
    seams.ShellFailure.clear();
    seams.MessageBoxes.clear();

    // A movie that cannot ship, and a missing stub, open nothing.
    WriteFile(movie, SwfMovie().substr(0, 100));
    play();
    ASSERT_EQ(seams.MessageBoxes.size(), 1u);
    EXPECT_EQ(seams.MessageBoxes[0].Text.find("\"" + movie + "\" is cut off"), 0u);
    WriteFile(movie, SwfMovie());
    std::filesystem::remove(exe + "installer.dat");
    seams.MessageBoxes.clear();
    play();
    ExpectErrorBox("Cannot open file \"" + exe + "installer.dat\". ");
    EXPECT_EQ(seams.ShellRequests.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(folder));
}

// The window and muravel-cli assemble installers with the same code: a project saved from the
// window builds on the command line into the very bytes the window wrote.
TEST_F(Generate, TheCommandLineBuildsTheSameInstallerFromTheSavedProject) {
    Ready(movie);
    form.GUIDLabel->SetCaption("GUID: {0D1E2F3A-4B5C-6D7E-8F90-A1B2C3D4E5F6}");
    form.LicenseMemo->SetText("First line\r\nSecond line");
    form.LoopCheckBox->SetChecked(true);
    Run();
    const std::string fromWindow = ReadFile(output);
    ASSERT_FALSE(fromWindow.empty());
    const std::string project = dir / "wall.zvrk";
    form.SaveProject(project);
    const std::string cli = exe + "muravel-cli.exe";
    ASSERT_TRUE(CopyFileA(WinePath(MURAVEL_CLI_PATH).c_str(), cli.c_str(), FALSE));
    ASSERT_EQ(RunAndWait(cli, "muravel-cli build \"" + project + "\" -o \"" + output + "\""), 0u);
    EXPECT_EQ(ReadFile(output), fromWindow);
}
