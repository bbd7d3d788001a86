#pragma once

#include <memory>
#include <string>

#include "core/InstallerUnit.h"
#include "core/ProjectUnit.h"
#include "rtl/CodePage.h"
#include "wallpaper/PackedImage.h"

namespace stub {

// What a wallpaper installer carries, checked before anything is installed: 3 entries (the
// stub raw, the project file, the movie) or 5 (and the video player and its script), and the
// project file readable, naming a movie whose kind fits the entry count. The other entries
// are checked as they are unpacked into place, so each byte is inflated once. Damage of any
// kind raises EDamaged; failing to write the scratch files that reading the project needs
// raises the file error.
class TInstallerPackage {
public:
    // Reads the project through scratch files in scratchFolder (ending with a delimiter),
    // which are gone again when this returns.
    TInstallerPackage(const wallpaper::TPackedImage& image, const std::string& scratchFolder);

    const wallpaper::TPackedImage& Image() const { return image_; }
    const core::TProject& Project() const { return *project_; }
    bool IsVideo() const { return video_; }
    // The movie's path as the project holds it.
    const std::string& MoviePath() const { return project_->FlashFiles.Get(0); }
    // The code page the project holds its text in: the one it records, else the system's, as
    // on the machine that made the installer with the window.
    const rtl::TCodePage& CodePage() const { return codePage_; }
    // The trimmed title in the program's own text, empty when the project has none.
    std::string TrimmedTitle() const;
    // The trimmed title in the program's own text, or "Wallpaper" when the project has none.
    std::string Title() const;

    // The name of an entry in messages: "the movie (part 2)".
    static std::string PartName(int32_t index);

private:
    const wallpaper::TPackedImage& image_;
    std::unique_ptr<core::TProject> project_;
    bool video_ = false;
    rtl::TCodePage codePage_ = rtl::TCodePage::System();
};

} // namespace stub
