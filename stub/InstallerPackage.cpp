#include "InstallerPackage.h"

#include "rtl/Guid.h"
#include "rtl/Paths.h"
#include "rtl/Streams.h"
#include "rtl/TextUtils.h"
#include "wallpaper/SafeNames.h"
#include "wallpaper/WallpaperFolder.h"

namespace stub {

std::string TInstallerPackage::PartName(int32_t index) {
    static const char* const names[] = {"The program", "The wallpaper settings", "The movie",
                                        "The video player", "The video player script"};
    const std::string name = index >= 0 && index < 5 ? names[index] : "A part";
    return name + " (part " + rtl::IntToStr(index) + ")";
}

TInstallerPackage::TInstallerPackage(const wallpaper::TPackedImage& image,
                                     const std::string& scratchFolder)
    : image_(image) {
    const int32_t count = image.Count();
    if (count != core::MovieEntryCount && count != core::VideoEntryCount)
        throw wallpaper::EDamaged("It holds " + rtl::IntToStr(count) +
                                  " parts, where an installer holds 3 or 5.");
    const wallpaper::TPackedImage::TEntry& stub = image.Entry(core::StubEntry);
    if (stub.Offset != 0 || stub.StoredSize == 0 || stub.StoredSize != stub.SourceSize)
        throw wallpaper::EDamaged(PartName(core::StubEntry) +
                                  " is not stored as the installer needs it.");
    // The small settings first, so damage there is reported before the movie is unpacked.
    const std::string projectBytes =
        image.InflateToString(core::ProjectEntry, PartName(core::ProjectEntry));
    // The project reader takes a file, so the settings pass through one.
    const rtl::TScratchFile projectFile(scratchFolder + rtl::NewGuidText() + ".zvrk");
    {
        rtl::TFileStream file(projectFile.Path(), rtl::FileMode::Create);
        file.WriteBuffer(projectBytes.data(), static_cast<int64_t>(projectBytes.size()));
    }
    project_ = std::make_unique<core::TProject>(scratchFolder + rtl::NewGuidText());
    try {
        project_->LoadFromFile(projectFile.Path());
    } catch (const rtl::EFileStreamError&) {
        throw;
    } catch (const rtl::EReadError&) {
        // Its message names the scratch file, which tells the user nothing.
        throw wallpaper::EDamaged(PartName(core::ProjectEntry) + " cannot be read.");
    } catch (const rtl::Exception& error) {
        throw wallpaper::EDamaged(PartName(core::ProjectEntry) +
                                  " cannot be read: " + error.Message + ".");
    }
    if (project_->FlashFiles.Count() == 0 || project_->FlashFiles.Get(0).empty())
        throw wallpaper::EDamaged(PartName(core::ProjectEntry) + " name no movie.");
    // A project of an earlier version does not say; the machine that made it was the system's.
    if (project_->CodePage > 0) {
        try {
            codePage_ = rtl::TCodePage(project_->CodePage);
        } catch (const rtl::Exception&) {
            // A code page this Windows cannot convert: the text reads as it always has.
        }
    }
    video_ = core::IsVideoPath(MoviePath());
    if (video_ != (count == core::VideoEntryCount))
        throw wallpaper::EDamaged("It holds " + rtl::IntToStr(count) + " parts, but a Flash " +
                                  (video_ ? "video" : "movie") + " comes with " +
                                  (video_ ? "5." : "3."));
}

std::string TInstallerPackage::TrimmedTitle() const {
    return codePage_.ToNative(rtl::Trim(project_->FileTitle));
}

std::string TInstallerPackage::Title() const {
    return codePage_.ToNative(wallpaper::WallpaperTitle(*project_));
}

} // namespace stub
