#include "ProjectUnit.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "CompileUnit.h"
#include "DecompileUnit.h"
#include "rtl/Errors.h"
#include "rtl/Paths.h"
#include "rtl/TextUtils.h"

namespace core {

namespace {

// No project holds anywhere near this many movies; a larger count is a damaged or crafted
// file that would otherwise make the list take all memory.
constexpr int32_t MaxFlashFiles = 1 << 20;

const char* const MetaData = "MetaData";
const char* const FlashFilesSection = "FlashFiles";
const char* const Settings = "Settings";

// i for a key named "Flash<i>" (any case, i written as the writer writes it), else none.
std::optional<int32_t> MovieIndex(const std::string& key) {
    constexpr size_t prefix = 5;
    if (key.size() <= prefix || key.size() > prefix + 7 ||
        !rtl::SameTextAscii(key.substr(0, prefix), "Flash"))
        return std::nullopt;
    const std::string digits = key.substr(prefix);
    int32_t index;
    if (!rtl::TryStrToInt(digits, index) || index < 0 || rtl::IntToStr(index) != digits)
        return std::nullopt;
    return index;
}

} // namespace

TProject::TProject(std::string iniPath) : IniPath(std::move(iniPath)) {}

TProject::~TProject() = default;

void TProject::WriteValues() {
    rtl::TMemIniFile& ini = *IniFile;
    ini.WriteInteger(MetaData, "Version", Version);
    ini.WriteString(MetaData, "GUID", GUID);
    if (CodePage > 0)
        ini.WriteInteger(MetaData, "CodePage", CodePage);
    ini.WriteInteger(FlashFilesSection, "Count", FlashFiles.Count());
    for (int i = 0; i < FlashFiles.Count(); ++i)
        ini.WriteString(FlashFilesSection, "Flash" + rtl::IntToStr(i), FlashFiles.Get(i));
    ini.WriteString(Settings, "FileTitle", FileTitle);
    ini.WriteString(Settings, "BackgroundColor", ColorToString(BackgroundColor));
    ini.WriteBool(Settings, "TransparentBackground", TransparentBackground);
    ini.WriteBool(Settings, "ShowLicense", ShowLicense);
    ini.WriteBool(Settings, "ShowText", ShowText);
    ini.WriteString(Settings, "URL", URL);
    ini.WriteString(Settings, "TextColor", ColorToString(TextColor));
    ini.WriteString(Settings, "TextBGColor", ColorToString(TextBGColor));
    ini.WriteBool(Settings, "TextBGTransparent", TextBGTransparent);
    ini.WriteString(Settings, "OutputFile", OutputFile);
    ini.WriteBool(Settings, "Loop", Loop);
}

void TProject::ReadValues() {
    const rtl::TMemIniFile& ini = *IniFile;
    Version = ini.ReadInteger(MetaData, "Version", 0);
    GUID = ini.ReadString(MetaData, "GUID", "");
    CodePage = std::max(ini.ReadInteger(MetaData, "CodePage", 0), 0);
    const int32_t count = ini.ReadInteger(FlashFilesSection, "Count", 0);
    if (count > MaxFlashFiles)
        throw rtl::EOutOfMemory();
    // Movie i is the key "Flash<i>", empty when missing. Only the keys there are looked up,
    // so a large count in a small file costs no more than the empty names it makes.
    std::vector<std::string> files(static_cast<size_t>(std::max(count, 0)));
    rtl::TStringList keys;
    ini.ReadSection(FlashFilesSection, keys);
    for (const std::string& key : keys.Items()) {
        const std::optional<int32_t> index = MovieIndex(key);
        if (index && *index < count)
            files[static_cast<size_t>(*index)] = ini.ReadString(FlashFilesSection, key, "");
    }
    FlashFiles = rtl::TStringList(std::move(files));
    FileTitle = ini.ReadString(Settings, "FileTitle", "");
    BackgroundColor = StringToColor(ini.ReadString(Settings, "BackgroundColor", ""));
    TransparentBackground = ini.ReadBool(Settings, "TransparentBackground", false);
    ShowLicense = ini.ReadBool(Settings, "ShowLicense", false);
    ShowText = ini.ReadBool(Settings, "ShowText", false);
    URL = ini.ReadString(Settings, "URL", "");
    TextColor = StringToColor(ini.ReadString(Settings, "TextColor", ""));
    TextBGColor = StringToColor(ini.ReadString(Settings, "TextBGColor", ""));
    TextBGTransparent = ini.ReadBool(Settings, "TextBGTransparent", false);
    OutputFile = ini.ReadString(Settings, "OutputFile", "");
    Loop = ini.ReadBool(Settings, "Loop", false);
}

void TProject::AssignSettings(const TProject& source) {
    GUID = source.GUID;
    CodePage = source.CodePage;
    FlashFiles = source.FlashFiles;
    FileTitle = source.FileTitle;
    BackgroundColor = source.BackgroundColor;
    TransparentBackground = source.TransparentBackground;
    ShowLicense = source.ShowLicense;
    ShowText = source.ShowText;
    LicenseLines = source.LicenseLines;
    TextLines = source.TextLines;
    URL = source.URL;
    TextColor = source.TextColor;
    TextBGColor = source.TextBGColor;
    TextBGTransparent = source.TextBGTransparent;
    Loop = source.Loop;
    OutputFile = source.OutputFile;
}

bool TProject::SameSettings(const TProject& other) const {
    return GUID == other.GUID && CodePage == other.CodePage && FlashFiles == other.FlashFiles &&
           FileTitle == other.FileTitle && BackgroundColor == other.BackgroundColor &&
           TransparentBackground == other.TransparentBackground &&
           ShowLicense == other.ShowLicense && ShowText == other.ShowText &&
           LicenseLines == other.LicenseLines && TextLines == other.TextLines && URL == other.URL &&
           TextColor == other.TextColor && TextBGColor == other.TextBGColor &&
           TextBGTransparent == other.TextBGTransparent && Loop == other.Loop &&
           OutputFile == other.OutputFile;
}

void TProject::SaveToFile(const std::string& path) {
    const rtl::TScratchFile scratch(IniPath);
    IniFile = std::make_unique<rtl::TMemIniFile>(IniPath);
    WriteValues();
    IniFile->UpdateFile();
    IniFile.reset();
    rtl::TMemoryStream license, text;
    LicenseLines.SaveToStream(license);
    TextLines.SaveToStream(text);
    // A project's entries are small; the installer, which reads projects, carries no threads.
    TCompileStream writer(rtl::DeflateWhole);
    {
        rtl::TFileStream ini(IniPath, rtl::FileMode::OpenRead);
        writer.AddStream(ini, true);
    }
    writer.AddStream(license, true);
    writer.AddStream(text, true);
    writer.Compile().SaveToFileReplacing(path);
}

void TProject::LoadFromFile(const std::string& path) {
    const rtl::TScratchFile scratch(IniPath);
    // What the container layer finds is told in the user's words, naming the file.
    const auto fault = [&path](const std::string& what) {
        return rtl::EReadError("\"" + path + "\" is " + what + ".");
    };
    if (rtl::DirectoryExists(path))
        throw fault("a folder, not a project file");
    TDecompileStream reader;
    {
        rtl::TFileStream file(path, rtl::FileMode::OpenRead);
        try {
            reader.Decompile(file);
        } catch (const rtl::EReadError&) {
            throw fault("not a project file");
        }
    }
    // Every entry is a zlib stream, the settings first: a file without them is something else.
    // The texts may be missing; they are then empty.
    if (reader.EntryCount() == 0)
        throw fault("not a project file");
    const auto entry = [&](int32_t index, const std::string& unreadable) {
        try {
            return reader.GetStream(index, true);
        } catch (const rtl::EReadError&) {
        } catch (const rtl::ECompressionError&) {
        }
        throw fault(unreadable);
    };
    entry(0, "not a project file")->SaveToFile(IniPath);
    IniFile = std::make_unique<rtl::TMemIniFile>(IniPath);
    ReadValues();
    IniFile.reset();
    LicenseLines.LoadFromStream(*entry(1, "damaged: its licence text cannot be unpacked"));
    TextLines.LoadFromStream(*entry(2, "damaged: its website text cannot be unpacked"));
}

} // namespace core
