#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../TestFiles.h"
#include "TestSupport.h"
#include "core/CompileUnit.h"
#include "core/ProjectUnit.h"
#include "rtl/Paths.h"
#include "rtl/StringList.h"
#include "rtl/TextUtils.h"
#include "ui/Application.h"
#include "ui/MainFormUnit.h"

namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

const char* const TemplateGuid = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
const char* const StoredGuid = "{12345678-9ABC-DEF0-1234-56789ABCDEF0}";

rtl::TStringList List(const Lines& lines) {
    rtl::TStringList list;
    for (const std::string& line : lines)
        list.Add(line);
    return list;
}

std::string TempListing() {
    char folder[MAX_PATH] = "";
    GetTempPathA(sizeof folder, folder);
    std::string names;
    for (const std::string& name : testfiles::TempFolder::NamesIn(folder))
        names += name + "\n";
    return names;
}

// A project file whose only entry is the INI text given.
std::string Container(const std::string& ini) {
    rtl::TMemoryStream text;
    text.WriteBuffer(ini.data(), static_cast<int64_t>(ini.size()));
    core::TCompileStream container;
    container.AddStream(text, true);
    return container.Compile().ToString();
}

bool IsGuidText(const std::string& text) {
    if (text.size() != 38 || text.front() != '{' || text.back() != '}')
        return false;
    for (size_t i = 1; i < 37; ++i) {
        const char c = text[i];
        const bool hyphen = i == 9 || i == 14 || i == 19 || i == 24;
        if (hyphen ? c != '-' : !((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
}

// A program folder holding the template, a folder for the projects, and the window, shown by
// each test once it has set up what start-up finds. Nothing may be left in the temporary
// directory by any of it.
class ProjectHandling : public ::testing::Test {
protected:
    void SetUp() override {
        arguments = ui::Application().Arguments();
        title = ui::Application().Title();
        ui::Application().SetArguments({});
        seams.ExecutableFolder = program.Path();
        tempBefore = TempListing();
    }
    void TearDown() override {
        ui::Application().SetArguments(arguments);
        ui::Application().SetTitle(title);
        EXPECT_EQ(TempListing(), tempBefore) << "scratch files were left behind";
    }

    std::string TemplatePath() const { return program / "blankProject"; }

    // Writes a project file with core::TProject, the way any other program version would.
    void WriteProject(const std::string& path, const std::function<void(core::TProject&)>& fill) {
        core::TProject project(work / "scratch.ini");
        fill(project);
        project.SaveToFile(path);
    }
    void WriteTemplate() {
        WriteProject(TemplatePath(), [](core::TProject& p) {
            p.GUID = TemplateGuid;
            p.FlashFiles.Add("");
            p.TextColor = static_cast<core::TColor>(0xFF000001);
            p.TextBGColor = 0xFFFFFF;
        });
    }
    // A project unlike the template in every setting.
    std::string WriteOther(const std::string& name = "Other.zvrk",
                           const std::string& movie = "C:\\Movies\\other.swf") {
        const std::string path = work / name;
        WriteProject(path, [&](core::TProject& p) {
            p.GUID = StoredGuid;
            p.FlashFiles.Add(movie);
            p.FileTitle = "Other wallpaper";
            p.BackgroundColor = 0x00C08080;
            p.TransparentBackground = true;
            p.ShowLicense = true;
            p.ShowText = true;
            p.LicenseLines = List({"Licence", "", "last"});
            p.TextLines = List({"Visit us"});
            p.URL = "https://example.com/?a=b";
            p.TextColor = 0x0000FF;
            p.TextBGColor = 0x123456;
            p.TextBGTransparent = true;
            p.Loop = true;
            p.OutputFile = "D:\\Out\\other.exe";
        });
        return path;
    }
    std::unique_ptr<core::TProject> Read(const std::string& path) {
        auto project = std::make_unique<core::TProject>(work / "read.ini");
        project->LoadFromFile(path);
        return project;
    }

    void Show() {
        form->Show();
        Pump();
    }
    // The window as it starts beside the template, which most tests begin from.
    void StartWithTheTemplate() {
        WriteTemplate();
        Show();
    }
    void Choose(ui::TMenuItem* item) {
        SendMessageA(form->Handle(), WM_COMMAND, item->Command(), 0);
        Pump();
    }
    // Chooses item with answer ready for the one question it must ask, and gives the question.
    ui::TMessageBoxRequest ChooseAnswering(ui::TMenuItem* item, int answer) {
        seams.MessageBoxes.clear();
        seams.MessageBoxAnswers = {answer};
        Choose(item);
        EXPECT_EQ(seams.MessageBoxes.size(), 1u) << "one question";
        return seams.MessageBoxes.empty() ? ui::TMessageBoxRequest{} : seams.MessageBoxes[0];
    }
    void Open(const std::string& path) {
        seams.FileDialogAnswers.push_back(path);
        Choose(form->MMOpenProject);
    }
    void Save(const std::string& path) {
        seams.FileDialogAnswers.push_back(path);
        Choose(form->MMSaveProject);
    }
    // Handles messages until the auto-load timer has ticked; a timer that never ticks fails.
    void WaitForAutoLoad() {
        for (int i = 0; i < 500 && form->AutoLoadTimer.Enabled(); ++i) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            Pump();
        }
        EXPECT_FALSE(form->AutoLoadTimer.Enabled()) << "the auto-load timer never ticked";
    }

    std::string Guid() { return form->GUIDLabel->Caption().substr(std::string("GUID: ").size()); }

    // Everything a user could see of the project, with the two paths and both titles.
    Lines Settings() {
        Lines settings = VisibleSettings(*form);
        settings.push_back(ui::Application().Title());
        return settings;
    }

    std::vector<std::string> arguments;
    std::string title;
    testfiles::TempFolder program;
    testfiles::TempFolder work;
    std::string tempBefore;
    TFakeSeams seams;
    std::unique_ptr<ui::TMainForm> form = std::make_unique<ui::TMainForm>();
};

TEST_F(ProjectHandling, WithoutTheTemplateTheWindowStartsAsDescribedAndSavesAnEmptyGuid) {
    const Lines described = Settings();
    Show();
    EXPECT_EQ(Settings(), described);
    EXPECT_EQ(form->GUIDLabel->Caption(), "GUID:");
    EXPECT_FALSE(form->AutoLoadTimer.Enabled());
    EXPECT_TRUE(seams.MessageBoxes.empty());

    Save(work / "first.zvrk");
    const auto saved = Read(work / "first.zvrk");
    EXPECT_EQ(saved->GUID, "");
    EXPECT_EQ(saved->FlashFiles.Items(), Lines{""});
    EXPECT_EQ(saved->TextColor, static_cast<core::TColor>(0xFF000001));
    EXPECT_EQ(saved->TextBGColor, 0xFFFFFF);
    EXPECT_EQ(form->Caption(), "Zenvoy Muravel - first.zvrk");
    EXPECT_EQ(ui::Application().Title(), "Zenvoy Muravel - first.zvrk");
}

TEST_F(ProjectHandling, TheTemplateIsLoadedAtStartWithANewGuidEachTime) {
    StartWithTheTemplate();
    EXPECT_TRUE(seams.MessageBoxes.empty());
    EXPECT_EQ(form->Caption(), "Zenvoy Muravel - Blank");
    EXPECT_EQ(ui::Application().Title(), "Zenvoy Muravel - Blank");
    const std::string first = Guid();
    EXPECT_TRUE(IsGuidText(first)) << first;
    EXPECT_NE(first, TemplateGuid);
    EXPECT_EQ(form->TextColorPanel->Color(), static_cast<ui::TColor>(0xFF000001));
    EXPECT_EQ(form->TextBGColorPanel->Color(), 0xFFFFFF);
    // The template's movie is empty, as the window's already is: the preview is left alone.
    EXPECT_EQ(form->FlashFileLabel->Caption(), "Flash:");
    EXPECT_EQ(form->OutputFileLabel->Caption(), "Output File: ");
    EXPECT_FALSE(form->AutoLoadTimer.Enabled());

    // Opened by the very same path string, it is still the template.
    Open(TemplatePath());
    EXPECT_EQ(form->Caption(), "Zenvoy Muravel - Blank");
    EXPECT_TRUE(IsGuidText(Guid()));
    EXPECT_NE(Guid(), first);
    EXPECT_NE(Guid(), TemplateGuid);

    // Reached by another spelling it is an ordinary project: its name and its stored GUID.
    const std::string otherSpelling = rtl::UpperCaseAscii(program.Path()) + "blankProject";
    ASSERT_NE(otherSpelling, TemplatePath());
    Open(otherSpelling);
    EXPECT_TRUE(seams.MessageBoxes.empty());
    EXPECT_EQ(form->Caption(), "Zenvoy Muravel - blankProject");
    EXPECT_EQ(ui::Application().Title(), form->Caption());
    EXPECT_EQ(Guid(), TemplateGuid);
}

TEST_F(ProjectHandling, AnotherProjectShowsItsStoredGuidAndSavingWritesItBack) {
    StartWithTheTemplate();
    Open(WriteOther());
    EXPECT_EQ(form->Caption(), "Zenvoy Muravel - Other.zvrk");
    EXPECT_EQ(form->GUIDLabel->Caption(), "GUID: "s + StoredGuid);
    Save(work / "copy.zvrk");
    EXPECT_EQ(Read(work / "copy.zvrk")->GUID, StoredGuid);
    EXPECT_EQ(form->Caption(), "Zenvoy Muravel - copy.zvrk");
    EXPECT_EQ(ui::Application().Title(), "Zenvoy Muravel - copy.zvrk");
}

TEST_F(ProjectHandling, ADamagedTemplateIsReportedOnceAndTheArgumentIsNotOpened) {
    const std::string notAProject = "\"" + TemplatePath() + "\" is not a project file.";
    const std::pair<std::string, std::string> damages[] = {
        {"not a container", notAProject},
        {"", notAProject},
        {Container("[FlashFiles]\r\nCount=1\r\n[Settings]\r\nBackgroundColor=clWhite\r\n"
                   "TextColor=purple\r\nTextBGColor=clWhite\r\n"),
         "'purple' is not a valid integer value."},
    };
    for (const auto& [bytes, message] : damages) {
        SCOPED_TRACE(message);
        form = std::make_unique<ui::TMainForm>();
        seams.MessageBoxes.clear();
        testfiles::WriteFile(TemplatePath(), bytes);
        ui::Application().SetArguments({"C:\\Movies\\intro.swf"});
        const Lines described = Settings();
        Show();
        ASSERT_EQ(seams.MessageBoxes.size(), 1u);
        EXPECT_EQ(seams.MessageBoxes[0].Text, message);
        EXPECT_EQ(seams.MessageBoxes[0].Type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
        EXPECT_TRUE(IsWindowVisible(form->Handle()));
        EXPECT_FALSE(form->AutoLoadTimer.Enabled());
        EXPECT_EQ(Settings(), described);
        EXPECT_EQ(form->PageControl->ActivePage(), form->InfoSheet);
    }
}

TEST_F(ProjectHandling, TheFirstArgumentIsOpenedByItsExtensionOnceTheWindowShows) {
    const std::string project = WriteOther("Named Project.zvrk");
    struct TCase {
        Lines Arguments;
        std::string Caption;
        std::string FlashPath;
        bool FlashPage;
        std::string Error;
    };
    const TCase cases[] = {
        {{project}, "Zenvoy Muravel - Named Project.zvrk", "C:\\Movies\\other.swf", false, ""},
        {{"C:\\Movies\\MOVIE.SWF"}, "Zenvoy Muravel - Blank", "C:\\Movies\\MOVIE.SWF", true, ""},
        {{"C:\\Clips\\clip.flv", project},
         "Zenvoy Muravel - Blank",
         "C:\\Clips\\clip.flv",
         true,
         ""},
        {{"C:\\Docs\\notes.txt", "C:\\Movies\\intro.swf"}, "Zenvoy Muravel - Blank", "", false, ""},
        {{"C:\\Docs\\README"}, "Zenvoy Muravel - Blank", "", false, ""},
        {{work / "missing.zvrk"},
         "Zenvoy Muravel - Blank",
         "",
         false,
         "Cannot open file \"" + (work / "missing.zvrk") + "\". "},
    };
    WriteTemplate();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Arguments[0]);
        form = std::make_unique<ui::TMainForm>();
        seams.MessageBoxes.clear();
        ui::Application().SetArguments(c.Arguments);
        // No messages are handled before the looks below, so the timer cannot have ticked yet.
        form->Show();
        EXPECT_EQ(form->Caption(), "Zenvoy Muravel - Blank");
        const std::string templateGuid = Guid();
        EXPECT_TRUE(form->AutoLoadTimer.Enabled());
        WaitForAutoLoad();
        EXPECT_EQ(form->Caption(), c.Caption);
        EXPECT_EQ(ui::Application().Title(), c.Caption);
        EXPECT_EQ(form->FlashPath, c.FlashPath);
        EXPECT_EQ(form->PageControl->ActivePage(),
                  c.FlashPage ? form->FlashSheet : form->InfoSheet);
        if (c.Caption == "Zenvoy Muravel - Blank") {
            EXPECT_EQ(Guid(), templateGuid);
            EXPECT_EQ(form->TitleEdit->Text(), "");
        } else {
            EXPECT_EQ(Guid(), StoredGuid);
            EXPECT_EQ(form->TitleEdit->Text(), "Other wallpaper");
        }
        if (c.Error.empty()) {
            EXPECT_TRUE(seams.MessageBoxes.empty());
        } else {
            ASSERT_EQ(seams.MessageBoxes.size(), 1u);
            EXPECT_EQ(seams.MessageBoxes[0].Text.rfind(c.Error, 0), 0u)
                << seams.MessageBoxes[0].Text;
        }
        // The timer ticks once only.
        for (int i = 0; i < 20; ++i) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            Pump();
        }
        EXPECT_EQ(seams.MessageBoxes.size(), c.Error.empty() ? 0u : 1u);
    }
}

TEST_F(ProjectHandling, SavingThenLoadingRestoresEveryControl) {
    StartWithTheTemplate();
    for (const bool showText : {true, false}) {
        SCOPED_TRACE(showText ? "with text" : "without text");
        form->LoadFlash("C:\\Movies\\intro.swf");
        form->TitleEdit->SetText("My wallpaper");
        form->BGColorPanel->SetColor(0x00C08080);
        form->BGTransparentCheckBox->SetChecked(true);
        form->ShowLicenseCheckBox->SetChecked(!showText);
        form->ShowTextCheckBox->SetChecked(showText);
        form->LicenseMemo->SetLines(List({"First", "", "Third", ""}));
        form->TextMemo->SetLines(List({"Visit", "us"}));
        form->WebEdit->SetText("https://example.com/a=b");
        form->TextColorPanel->SetColor(core::clBlue);
        form->TextBGColorPanel->SetColor(static_cast<ui::TColor>(0xFF00000F));
        form->TransparentCheckBox->SetChecked(true);
        form->LoopCheckBox->SetChecked(true);
        form->OutputPath = "D:\\Out\\setup.exe";
        form->OutputFileLabel->SetCaption("Output File: D:\\Out\\setup.exe");
        const std::string path = work / "round.zvrk";
        Save(path);
        const Lines saved = Settings();
        const auto written = Read(path);
        EXPECT_EQ(written->LicenseLines.Items(), (Lines{"First", "", "Third", ""}));
        EXPECT_EQ(written->FlashFiles.Items(), Lines{"C:\\Movies\\intro.swf"});

        Open(WriteOther());
        ASSERT_NE(Settings(), saved);
        Open(path);
        EXPECT_EQ(Settings(), saved);
        EXPECT_TRUE(seams.MessageBoxes.empty());
    }
}

TEST_F(ProjectHandling, FoldersOfAnyScriptOpenAndSaveAndTextKeepsToTheCodePage) {
    StartWithTheTemplate();
    for (const std::string name :
         {"\xE6\xA3\xAE\xE6\x9E\x97", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82",
          "Caf\xC3\xA9", "Wald \xF0\x9F\x8C\xB2"}) {
        SCOPED_TRACE(name);
        const std::string folder = work / name;
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        const std::string movie = folder + "\\" + name + ".swf";
        form->LoadFlash(movie);
        form->TitleEdit->SetText("Caf\xC3\xA9 au lait");
        form->OutputPath = folder + "\\" + name + ".exe";
        form->OutputFileLabel->SetCaption("Output File: " + form->OutputPath);
        const std::string path = folder + "\\" + name + ".zvrk";
        Save(path);
        // Text in code page 1252 as ever, and so a path it holds; another path in UTF-8 behind
        // a byte-order mark.
        const auto written = Read(path);
        EXPECT_EQ(written->FileTitle, "Caf\xE9 au lait");
        const bool held = name == "Caf\xC3\xA9";
        EXPECT_EQ(written->FlashFiles.Get(0),
                  held ? work / "Caf\xE9\\Caf\xE9.swf" : "\xEF\xBB\xBF" + movie);
        const Lines saved = Settings();
        Open(WriteOther());
        Open(path);
        EXPECT_EQ(Settings(), saved);
    }
    EXPECT_TRUE(seams.MessageBoxes.empty());

    // Typed or pasted, a character the code page lacks is refused by name in a balloon, which
    // leaves the keys typed after it to the edit, and the rest of the text stays.
    form->TitleEdit->SetText("Lagoon");
    SendMessageW(form->TitleEdit->Handle(), EM_SETSEL, 6, 6);
    for (const wchar_t typed : std::wstring(L" \x039A\x03B1\x03BB\x03AE 1"))
        SendMessageW(form->TitleEdit->Handle(), WM_CHAR, typed, 1);
    form->WebEdit->SetText("https://example.com/\xF0\x9F\x8C\xB2");
    Pump();
    EXPECT_EQ(form->TitleEdit->Text(), "Lagoon  1");
    EXPECT_EQ(form->TitleEdit->BalloonText(), "\"\xCE\xAE\" cannot be kept: a project holds its "
                                              "text in code page 1252, which lacks it.");
    EXPECT_EQ(form->WebEdit->Text(), "https://example.com/");
    EXPECT_NE(form->WebEdit->BalloonText().find("\"\xF0\x9F\x8C\xB2\""), std::string::npos);
    EXPECT_TRUE(seams.MessageBoxes.empty());
    HWND balloon = nullptr;
    while ((balloon = FindWindowExW(nullptr, balloon, TOOLTIPS_CLASSW, nullptr)) != nullptr &&
           !IsWindowVisible(balloon)) {
    }
    EXPECT_NE(balloon, nullptr) << "no balloon is shown";
}

TEST_F(ProjectHandling, AMovieBringsItsOwnColourUntilSomebodyChoseOne) {
    StartWithTheTemplate();
    const std::string onBlue = work / "blue.swf", plain = work / "plain.swf";
    testfiles::WriteFile(onBlue, testfiles::SwfMovieOn(0x33, 0x66, 0x99));
    testfiles::WriteFile(plain, testfiles::SwfMovie());
    const auto colourAfter = [&](const std::string& movie) {
        form->LoadFlash(movie);
        return form->BGColorPanel->Color();
    };
    // The template's colour follows the movie: its stage colour, white where it sets none, the
    // template's for a video.
    EXPECT_EQ(colourAfter(onBlue), 0x996633);
    EXPECT_EQ(colourAfter(plain), 0xFFFFFF);
    EXPECT_EQ(colourAfter("C:\\Clips\\clip.flv"), 0);
    // A colour the user chose, or one a project brings, stays.
    seams.ColorDialogAnswers = {RGB(1, 2, 3)};
    form->PageControl->SetActivePage(form->InfoSheet);
    SendMessageA(form->BGColorBtn->Handle(), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(colourAfter(onBlue), static_cast<ui::TColor>(RGB(1, 2, 3)));
    seams.MessageBoxAnswers = {IDNO};
    Open(WriteOther());
    EXPECT_EQ(colourAfter(plain), 0x00C08080);
}

TEST_F(ProjectHandling, AVideoProjectsLoopSurvivesOnlyALoadThatKeepsTheMovie) {
    StartWithTheTemplate();
    form->LoadFlash("C:\\Clips\\clip.flv");
    form->LoopCheckBox->SetChecked(true);
    const std::string path = work / "video.zvrk";
    Save(path);
    EXPECT_TRUE(Read(path)->Loop);

    Open(path);
    EXPECT_TRUE(form->LoopCheckBox->Checked()) << "the movie shown did not change";
    seams.MessageBoxAnswers = {IDYES};
    Choose(form->MMNewProject);
    ASSERT_EQ(form->FlashPath, "");
    Open(path);
    EXPECT_EQ(form->FlashPath, "C:\\Clips\\clip.flv");
    EXPECT_FALSE(form->LoopCheckBox->Checked());
}

TEST_F(ProjectHandling, NewProjectAsksFirstAndOnYesOnlyLoadsTheTemplate) {
    StartWithTheTemplate();
    Open(WriteOther());
    const Lines opened = Settings();
    seams.MessageBoxAnswers = {IDNO, IDYES};
    Choose(form->MMNewProject);
    ASSERT_EQ(seams.MessageBoxes.size(), 1u);
    const ui::TMessageBoxRequest& box = seams.MessageBoxes[0];
    EXPECT_EQ(box.Caption, "Confirm");
    EXPECT_EQ(box.Text, "Do you really want to create a new project?");
    EXPECT_EQ(box.Type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1));
    EXPECT_EQ(Settings(), opened);

    Choose(form->MMNewProject);
    EXPECT_EQ(seams.MessageBoxes.size(), 2u);
    EXPECT_EQ(form->Caption(), "Zenvoy Muravel - Blank");
    EXPECT_EQ(form->TitleEdit->Text(), "");
    EXPECT_EQ(form->FlashPath, "");
    EXPECT_EQ(form->OutputPath, "");
    EXPECT_NE(Guid(), StoredGuid);
    EXPECT_FALSE(form->LicenseMemo->Enabled());
    EXPECT_FALSE(form->WebEdit->Enabled());
}

TEST_F(ProjectHandling, NewProjectWithoutTheTemplateReportsItAndChangesNothing) {
    StartWithTheTemplate();
    Open(WriteOther());
    rtl::RemoveFile(TemplatePath());
    const Lines opened = Settings();
    seams.MessageBoxAnswers = {IDYES};
    Choose(form->MMNewProject);
    ASSERT_EQ(seams.MessageBoxes.size(), 2u);
    EXPECT_EQ(seams.MessageBoxes[1].Text.rfind("Cannot open file \"" + TemplatePath() + "\". ", 0),
              0u)
        << seams.MessageBoxes[1].Text;
    EXPECT_EQ(seams.MessageBoxes[1].Type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(Settings(), opened);
}

TEST_F(ProjectHandling, AFailedSaveIsReportedAndLeavesTheCaption) {
    StartWithTheTemplate();
    Open(WriteOther());
    const Lines opened = Settings();
    const std::string targets[] = {work / "no such folder\\saved.zvrk", work.Path()};
    for (const std::string& target : targets) {
        SCOPED_TRACE(target);
        seams.MessageBoxes.clear();
        Save(target);
        ASSERT_EQ(seams.MessageBoxes.size(), 1u);
        EXPECT_EQ(seams.MessageBoxes[0].Text.rfind("Cannot create file \"", 0), 0u)
            << seams.MessageBoxes[0].Text;
        EXPECT_EQ(Settings(), opened);
    }
    EXPECT_EQ(testfiles::TempFolder::NamesIn(work.Path()), (Lines{"Other.zvrk"}));
}

TEST_F(ProjectHandling, OpeningADamagedProjectChangesNothing) {
    StartWithTheTemplate();
    Open(WriteOther());
    form->LoadFlash("C:\\Movies\\chosen.swf");
    form->OutputPath = "D:\\Out\\chosen.exe";
    const Lines before = Settings();

    const std::string valid = testfiles::ReadFile(WriteOther("valid.zvrk"));
    testfiles::WriteFile(work / "nocolour.zvrk",
                         Container("[MetaData]\r\nGUID={00000000-0000-0000-0000-000000000001}\r\n"
                                   "[FlashFiles]\r\nCount=1\r\nFlash0=C:\\x.swf\r\n"
                                   "[Settings]\r\nFileTitle=Damaged\r\nBackgroundColor=clRed\r\n"));
    const std::pair<std::string, std::string> damages[] = {
        {"garbage.zvrk", "\"" + (work / "garbage.zvrk") + "\" is not a project file."},
        {"truncated.zvrk", "\"" + (work / "truncated.zvrk") + "\" is not a project file."},
        {"nocolour.zvrk", "'' is not a valid integer value."},
        {"absent.zvrk", "Cannot open file \"" + (work / "absent.zvrk") + "\". "},
    };
    testfiles::WriteFile(work / "garbage.zvrk", std::string(64, '\x5A'));
    testfiles::WriteFile(work / "truncated.zvrk", valid.substr(0, valid.size() - 5));
    for (const auto& [name, message] : damages) {
        SCOPED_TRACE(name);
        seams.MessageBoxes.clear();
        // The changed settings are given up for the project that then fails to load.
        seams.MessageBoxAnswers = {IDNO};
        Open(work / name);
        ASSERT_EQ(seams.MessageBoxes.size(), 2u);
        EXPECT_EQ(seams.MessageBoxes[1].Text.substr(0, message.size()), message);
        EXPECT_EQ(Settings(), before);
    }
}

TEST_F(ProjectHandling, ChangedSettingsAreSavedDroppedOrKeptBeforeAnotherProjectOpens) {
    StartWithTheTemplate();
    const std::string other = WriteOther();
    Open(other);
    EXPECT_TRUE(seams.MessageBoxes.empty()) << "nothing to lose yet";
    form->TitleEdit->SetText("Changed title");
    seams.FileDialogs.clear();

    // Cancel: no dialog, nothing opened.
    const ui::TMessageBoxRequest question = ChooseAnswering(form->MMOpenProject, IDCANCEL);
    EXPECT_EQ(question.Text, "Save changes to Other.zvrk?");
    EXPECT_EQ(question.Caption, "Zenvoy Muravel - Other.zvrk");
    EXPECT_EQ(question.Type, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_TRUE(seams.FileDialogs.empty());
    EXPECT_EQ(form->TitleEdit->Text(), "Changed title");

    // Yes: saved into the project's own file, without a dialog, before the next one opens.
    seams.MessageBoxAnswers = {IDYES};
    Open(WriteOther("Next.zvrk"));
    EXPECT_EQ(seams.FileDialogs.size(), 1u) << "the open dialog only";
    EXPECT_EQ(Read(other)->FileTitle, "Changed title");
    EXPECT_EQ(form->Caption(), "Zenvoy Muravel - Next.zvrk");

    // New Project on changed settings asks the one question in place of its confirmation.
    form->TitleEdit->SetText("Dropped");
    EXPECT_EQ(ChooseAnswering(form->MMNewProject, IDNO).Text, "Save changes to Next.zvrk?");
    EXPECT_EQ(form->Caption(), "Zenvoy Muravel - Blank");
    EXPECT_EQ(Read(work / "Next.zvrk")->FileTitle, "Other wallpaper");
}

TEST_F(ProjectHandling, AProjectWithoutMoviesLoadsWholeWithAnEmptyMovie) {
    StartWithTheTemplate();
    form->LoadFlash("C:\\Movies\\shown.swf");
    // Out of step with the box on purpose: only the enable rules bring it back.
    form->TextMemo->SetEnabled(true);
    const std::string path = work / "empty.zvrk";
    WriteProject(path, [](core::TProject& p) {
        p.GUID = StoredGuid;
        p.FileTitle = "No movie yet";
        p.ShowLicense = true;
    });
    ASSERT_EQ(Read(path)->FlashFiles.Count(), 0);
    seams.MessageBoxAnswers = {IDNO};
    Open(path);
    EXPECT_EQ(seams.MessageBoxes.size(), 1u) << "the chosen movie was never saved";
    EXPECT_EQ(form->Caption(), "Zenvoy Muravel - empty.zvrk");
    EXPECT_EQ(form->GUIDLabel->Caption(), "GUID: "s + StoredGuid);
    EXPECT_EQ(form->TitleEdit->Text(), "No movie yet");
    EXPECT_EQ(form->FlashPath, "");
    EXPECT_EQ(form->FlashFileLabel->Caption(), "Flash: ");
    EXPECT_TRUE(form->LicenseMemo->Enabled());
    EXPECT_FALSE(form->TextMemo->Enabled());
    EXPECT_FALSE(form->WebEdit->Enabled());

    Save(work / "resaved.zvrk");
    EXPECT_EQ(Read(work / "resaved.zvrk")->FlashFiles.Items(), Lines{""});
}

} // namespace
