// The installer stub reading its own file: the container at its end, then either the
// uninstall record or the installer's settings, movie parts and the web player in the program.
// Damage must be reported as damage: any other exception escapes and is a finding.
#include <optional>

#include "FuzzSupport.h"
#include "stub/InstallerPackage.h"
#include "stub/UninstallRecord.h"
#include "wallpaper/WebPlayer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::optional<wallpaper::TPackedImage> image;
    try {
        image.emplace(data, static_cast<int64_t>(size));
        if (stub::IsUninstallerImage(*image)) {
            stub::ReadUninstallRecord(*image);
            return 0;
        }
        const stub::TInstallerPackage package(*image, fuzz::ScratchFolder());
        package.Title();
        // The other entries are checked as installing unpacks them.
        for (int32_t i = core::MovieEntry; i < image->Count(); ++i)
            image->Inflate(i, stub::TInstallerPackage::PartName(i), [](const uint8_t*, size_t) {});
        const wallpaper::TWebPlayer player(image->StoredBytes(core::StubEntry),
                                           image->Entry(core::StubEntry).StoredSize);
        for (size_t i = 0; i < player.Files().size(); ++i)
            player.Image().Inflate(static_cast<int32_t>(i + 1),
                                   wallpaper::TWebPlayer::PartName(player.Files()[i]),
                                   [](const uint8_t*, size_t) {});
    } catch (const wallpaper::EDamaged&) {
    }
    return 0;
}
