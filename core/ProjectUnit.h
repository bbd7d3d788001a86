#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "Colors.h"
#include "rtl/IniFile.h"
#include "rtl/StringList.h"

namespace core {

// The record of one wallpaper project and its file: a container of three compressed
// entries, the INI text, the licence lines and the website text lines.
class TProject {
public:
    // IniPath is the scratch file the INI text passes through; it must be private to this
    // project. Touches no file.
    explicit TProject(std::string iniPath);
    ~TProject();
    TProject(const TProject&) = delete;
    TProject& operator=(const TProject&) = delete;

    // Replaces the values with those of the project file at path. On failure the values
    // already read stay; the scratch file is removed either way.
    void LoadFromFile(const std::string& path);
    // Writes the project file to path through a new file in the same folder that then
    // replaces path, so a failure leaves an existing file as it was.
    void SaveToFile(const std::string& path);
    // Takes every setting of source: all but IniPath and the file format's Version.
    void AssignSettings(const TProject& source);
    // Whether every setting AssignSettings takes is the same in other.
    bool SameSettings(const TProject& other) const;

    std::string IniPath;
    int32_t Version = 3;
    std::string GUID;
    // The Windows code page the project's text is in; 0 where the file does not say, as files
    // of earlier versions do not, and each reader then takes the one it always has.
    int32_t CodePage = 0;
    rtl::TStringList FlashFiles;
    std::string FileTitle;
    TColor BackgroundColor = 0;
    bool TransparentBackground = false;
    bool ShowLicense = false;
    bool ShowText = false;
    rtl::TStringList LicenseLines;
    rtl::TStringList TextLines;
    std::string URL;
    TColor TextColor = 0;
    TColor TextBGColor = 0;
    bool TextBGTransparent = false;
    bool Loop = false;
    std::string OutputFile;

private:
    void ReadValues();
    void WriteValues();

    std::unique_ptr<rtl::TMemIniFile> IniFile;
};

} // namespace core
