#include <gtest/gtest.h>

#include "TestFiles.h"
#include "core/CompileUnit.h"
#include "core/DecompileUnit.h"
#include "core/ProjectUnit.h"
#include "rtl/Errors.h"
#include "rtl/Guid.h"

using testfiles::MessageOf;
using testfiles::ReadFile;
using testfiles::TempFolder;
using testfiles::WriteFile;

namespace {

const std::string FreshIni = "[MetaData]\r\nVersion=3\r\nGUID=\r\n\r\n"
                             "[FlashFiles]\r\nCount=0\r\n\r\n"
                             "[Settings]\r\nFileTitle=\r\nBackgroundColor=clBlack\r\n"
                             "TransparentBackground=0\r\nShowLicense=0\r\nShowText=0\r\nURL=\r\n"
                             "TextColor=clBlack\r\nTextBGColor=clBlack\r\nTextBGTransparent=0\r\n"
                             "OutputFile=\r\nLoop=0\r\n\r\n";

// FreshIni with the value of one key replaced.
std::string IniWith(const std::string& key, const std::string& value) {
    std::string ini = FreshIni;
    const size_t start = ini.find("\n" + key + "=") + key.size() + 2;
    return ini.replace(start, ini.find('\r', start) - start, value);
}

std::unique_ptr<core::TDecompileStream> ReadContainer(const std::string& path) {
    auto reader = std::make_unique<core::TDecompileStream>();
    rtl::TFileStream file(path, rtl::FileMode::OpenRead);
    reader->Decompile(file);
    return reader;
}

// Every scratch INI file goes into its own folder, which must be empty after each test.
class ProjectFile : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(temp.Names(), std::vector<std::string>()) << "scratch file left behind";
    }
    std::unique_ptr<core::TProject> NewProject() {
        return std::make_unique<core::TProject>(temp / rtl::NewGuidText());
    }
    // A project file packed from the given entry texts, all compressed.
    std::string Pack(const std::vector<std::string>& entries) {
        core::TCompileStream writer;
        for (const std::string& text : entries) {
            rtl::TMemoryStream stream;
            stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
            writer.AddStream(stream, true);
        }
        const std::string path = work / rtl::NewGuidText() + ".zvrk";
        writer.Compile().SaveToFile(path);
        return path;
    }
    std::unique_ptr<core::TProject> Load(const std::vector<std::string>& entries) {
        auto project = NewProject();
        project->LoadFromFile(Pack(entries));
        return project;
    }

    TempFolder work, temp;
};

TEST_F(ProjectFile, AFreshProjectWritesTheDefaultIniAndEmptyTexts) {
    const std::string path = work / "fresh.zvrk";
    NewProject()->SaveToFile(path);
    auto reader = ReadContainer(path);
    ASSERT_EQ(reader->EntryCount(), 3);
    EXPECT_EQ(reader->GetStream(0, true)->ToString(), FreshIni);
    EXPECT_NE(reader->StoredSize(0), reader->SourceSize(0));
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(reader->SourceSize(i), 0);
        EXPECT_EQ(reader->StoredSize(i), 8);
    }
    EXPECT_EQ(work.Names(), std::vector<std::string>{"fresh.zvrk"});

    auto back = NewProject();
    back->Version = 0;
    back->LicenseLines.Add("old");
    back->LoadFromFile(path);
    EXPECT_EQ(back->Version, 3);
    EXPECT_EQ(back->FlashFiles.Count(), 0);
    EXPECT_EQ(back->BackgroundColor, 0);
    EXPECT_EQ(back->LicenseLines.Count(), 0);
    EXPECT_EQ(back->TextLines.Count(), 0);
}

TEST_F(ProjectFile, EveryValueSurvivesASaveAndLoad) {
    auto project = NewProject();
    project->GUID = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
    project->CodePage = 1253;
    project->FlashFiles.Add("C:\\movies\\intro.swf");
    project->FlashFiles.Add("clip.flv");
    project->FileTitle = "  Sunset  ";
    project->BackgroundColor = 0x00FFFFFF;
    project->TransparentBackground = project->ShowLicense = project->ShowText = true;
    project->URL = "http://example.test/?a=1&b=2";
    project->TextColor = 0x00C08080;
    project->TextBGColor = static_cast<core::TColor>(0xFF000001);
    project->TextBGTransparent = project->Loop = true;
    project->OutputFile = "C:\\out\\setup.exe";
    project->LicenseLines.Add("Terms");
    project->LicenseLines.Add("");
    project->TextLines.Add("Visit us");
    const std::string path = work / "full.zvrk";
    project->SaveToFile(path);

    auto reader = ReadContainer(path);
    EXPECT_EQ(reader->GetStream(0, true)->ToString(),
              "[MetaData]\r\nVersion=3\r\nGUID={0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}\r\n"
              "CodePage=1253\r\n\r\n"
              "[FlashFiles]\r\nCount=2\r\nFlash0=C:\\movies\\intro.swf\r\nFlash1=clip.flv\r\n\r\n"
              "[Settings]\r\nFileTitle=  Sunset  \r\nBackgroundColor=clWhite\r\n"
              "TransparentBackground=1\r\nShowLicense=1\r\nShowText=1\r\n"
              "URL=http://example.test/?a=1&b=2\r\nTextColor=$00C08080\r\n"
              "TextBGColor=clBackground\r\nTextBGTransparent=1\r\nOutputFile=C:\\out\\setup.exe\r\n"
              "Loop=1\r\n\r\n");
    EXPECT_EQ(reader->GetStream(1, true)->ToString(), "Terms\r\n\r\n");
    EXPECT_EQ(reader->GetStream(2, true)->ToString(), "Visit us\r\n");

    auto back = NewProject();
    back->LoadFromFile(path);
    EXPECT_EQ(back->GUID, project->GUID);
    EXPECT_EQ(back->CodePage, 1253);
    EXPECT_EQ(back->FlashFiles, project->FlashFiles);
    EXPECT_EQ(back->FileTitle, "Sunset");
    EXPECT_EQ(back->BackgroundColor, project->BackgroundColor);
    EXPECT_TRUE(back->TransparentBackground && back->ShowLicense && back->ShowText);
    EXPECT_EQ(back->URL, project->URL);
    EXPECT_EQ(back->TextColor, project->TextColor);
    EXPECT_EQ(back->TextBGColor, project->TextBGColor);
    EXPECT_TRUE(back->TextBGTransparent && back->Loop);
    EXPECT_EQ(back->OutputFile, project->OutputFile);
    EXPECT_EQ(back->LicenseLines, project->LicenseLines);
    EXPECT_EQ(back->TextLines, project->TextLines);
}

TEST_F(ProjectFile, ColourKeysReadAsColourTextsOrFail) {
    const std::pair<const char*, core::TColor core::TProject::*> keys[] = {
        {"BackgroundColor", &core::TProject::BackgroundColor},
        {"TextColor", &core::TProject::TextColor},
        {"TextBGColor", &core::TProject::TextBGColor},
    };
    for (const auto& [key, field] : keys) {
        const auto loaded = Load({IniWith(key, "  clWhite  ")});
        EXPECT_EQ((*loaded).*field, core::clWhite) << key;
        auto project = NewProject();
        const std::string path = Pack({IniWith(key, "white")});
        EXPECT_EQ(MessageOf<rtl::EConvertError>([&] { project->LoadFromFile(path); }),
                  "'white' is not a valid integer value")
            << key;
    }
}

TEST_F(ProjectFile, BooleansReadAsIntegers) {
    const std::pair<const char*, bool> cases[] = {
        {"2", true},   {"yes", false}, {"-1", true},    {"0", false},
        {"$10", true}, {"", false},    {"true", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Load({IniWith("TransparentBackground", c.first)})->TransparentBackground,
                  c.second)
            << c.first;
}

TEST_F(ProjectFile, MissingSettingsFailsAfterTheEarlierValues) {
    auto project = NewProject();
    project->FileTitle = "old title";
    project->BackgroundColor = 0x000000FF;
    project->ShowText = true;
    project->LicenseLines.Add("old licence");
    const std::string path = Pack({"[MetaData]\r\nVersion=7\r\nGUID={G}\r\n"
                                   "[FlashFiles]\r\nCount=1\r\nFlash0=m.swf\r\n",
                                   "new licence\r\n"});
    EXPECT_EQ(MessageOf<rtl::EConvertError>([&] { project->LoadFromFile(path); }),
              "'' is not a valid integer value");
    EXPECT_EQ(project->Version, 7);
    EXPECT_EQ(project->GUID, "{G}");
    EXPECT_EQ(project->FlashFiles.Items(), std::vector<std::string>{"m.swf"});
    EXPECT_EQ(project->FileTitle, "");
    EXPECT_EQ(project->BackgroundColor, 0x000000FF);
    EXPECT_TRUE(project->ShowText);
    EXPECT_EQ(project->LicenseLines.Items(), std::vector<std::string>{"old licence"});
}

TEST_F(ProjectFile, FlashCountDecidesTheNumberOfItems) {
    const std::string twoWithOne = IniWith("Count", "2\r\nFlash0=a.swf");
    EXPECT_EQ(Load({twoWithOne})->FlashFiles.Items(), (std::vector<std::string>{"a.swf", ""}));
    // Names in any case, the last of a name counting; only "Flash" and the index as written.
    const std::string mixed =
        IniWith("Count", "5\r\nFLASH3=d.swf\r\nflash0=x.swf\r\n"
                         "Flash01=no.swf\r\nFlash+2=no.swf\r\nFlash 1=no.swf\r\n"
                         "Flash5=no.swf\r\nFlash0=a.swf");
    EXPECT_EQ(Load({mixed})->FlashFiles.Items(),
              (std::vector<std::string>{"a.swf", "", "", "d.swf", ""}));
    for (const char* count : {"0", "-3", "many"}) {
        auto project = NewProject();
        project->FlashFiles.Add("old.swf");
        project->LoadFromFile(Pack({IniWith("Count", std::string(count) + "\r\nFlash0=a.swf")}));
        EXPECT_EQ(project->FlashFiles.Count(), 0) << count;
    }
}

TEST_F(ProjectFile, MissingTextEntriesGiveEmptyListsAndExtraEntriesAreIgnored) {
    auto project = NewProject();
    project->LicenseLines.Add("old");
    project->TextLines.Add("old");
    project->LoadFromFile(Pack({FreshIni}));
    EXPECT_EQ(project->LicenseLines.Count(), 0);
    EXPECT_EQ(project->TextLines.Count(), 0);

    auto four = Load({FreshIni, "a\r\nb", "x\ry\nz\r\n", "ignored"});
    EXPECT_EQ(four->LicenseLines.Items(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(four->TextLines.Items(), (std::vector<std::string>{"x", "y", "z"}));
}

TEST_F(ProjectFile, AMissingOrDamagedFileChangesNothing) {
    auto project = NewProject();
    project->FileTitle = "kept";
    const std::string missing = work / "missing.zvrk";
    const std::string message =
        MessageOf<rtl::EFOpenError>([&] { project->LoadFromFile(missing); });
    EXPECT_EQ(message.rfind("Cannot open file \"" + missing + "\". ", 0), 0u) << message;

    // Each is told in plain words, naming the file.
    const std::string whole = ReadFile(Pack({FreshIni, "licence", ""}));
    std::string noZlib = whole;
    noZlib[0] = 'R';
    std::string brokenLicence = whole;
    brokenLicence[whole.size() - 4 - 24 - 8 - 2] ^= 0x55;
    const std::pair<std::string, std::string> cases[] = {
        {whole.substr(0, whole.size() - 1), "is not a project file."},
        {whole.substr(0, 3), "is not a project file."},
        {testfiles::Le32(0), "is not a project file."},
        {"FWS\x0a" + std::string(100, '\0'), "is not a project file."},
        {noZlib, "is not a project file."},
    };
    const std::string file = work / "bad.zvrk";
    for (const auto& [bytes, says] : cases) {
        WriteFile(file, bytes);
        EXPECT_EQ(MessageOf<rtl::EReadError>([&] { project->LoadFromFile(file); }),
                  "\"" + file + "\" " + says);
    }
    EXPECT_EQ(MessageOf<rtl::EReadError>([&] { project->LoadFromFile(work.Path()); }),
              "\"" + work.Path() + "\" is a folder, not a project file.");
    EXPECT_EQ(project->FileTitle, "kept");
    // Past the settings, what was read stays.
    WriteFile(file, brokenLicence);
    EXPECT_EQ(MessageOf<rtl::EReadError>([&] { project->LoadFromFile(file); }),
              "\"" + file + "\" is damaged: its licence text cannot be unpacked.");
}

TEST_F(ProjectFile, SavingIntoAMissingFolderNamesTheTarget) {
    const std::string target = work / "gone" + testfiles::Sep + "p.zvrk";
    const std::string message =
        MessageOf<rtl::EFCreateError>([&] { NewProject()->SaveToFile(target); });
    EXPECT_EQ(message.rfind("Cannot create file \"" + target + "\". ", 0), 0u) << message;
}

TEST_F(ProjectFile, ATargetThatCannotBeReplacedKeepsTheOldFile) {
    const std::string target = work / "old.zvrk";
    const std::string old = ReadFile(Pack({FreshIni, "old", ""}));
#ifdef _WIN32
    // Another program holds the old file open, without delete sharing.
    WriteFile(target, old);
    rtl::TFileStream holder(target, rtl::FileMode::OpenRead);
    const std::string kept = target;
#else
    // Nobody, root included, can replace a folder with a file.
    std::filesystem::create_directory(target);
    const std::string kept = target + testfiles::Sep + "inside.zvrk";
    WriteFile(kept, old);
#endif
    auto project = NewProject();
    project->FileTitle = "new";
    const std::string message = MessageOf<rtl::EFCreateError>([&] { project->SaveToFile(target); });
    EXPECT_EQ(message.rfind("Cannot create file \"" + target + "\". ", 0), 0u) << message;
    EXPECT_EQ(ReadFile(kept), old);
    EXPECT_EQ(work.Names().size(), 2u) << "the packed file and the target, nothing else";
}

} // namespace
