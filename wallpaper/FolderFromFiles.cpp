#include "FolderFromFiles.h"

#include <vector>

#include "SystemColors.h"
#include "core/InstallerUnit.h"
#include "rtl/Streams.h"

namespace wallpaper {

TContent FileContent(const std::string& path) {
    const int64_t size = rtl::TFileStream(path, rtl::FileMode::OpenRead).Size();
    return {size, [path](const TSink& sink) {
                rtl::TFileStream file(path, rtl::FileMode::OpenRead);
                std::vector<uint8_t> piece(static_cast<size_t>(rtl::CopyPieceSize));
                for (int64_t n; (n = file.Read(piece.data(), rtl::CopyPieceSize)) > 0;)
                    sink(piece.data(), static_cast<size_t>(n));
            }};
}

void WriteWallpaperFolder(const core::TProject& project, const rtl::TCodePage& codePage,
                          const TFolderSources& sources, const std::string& folder, bool replace) {
    rtl::TMemoryStream stub;
    stub.LoadFromFile(sources.Stub);
    const TWebPlayer player(stub.Memory(), stub.Size());
    TWallpaperFolder(
        project, WallpaperTitle(project), codePage, SystemColor, player, FileContent(sources.Movie),
        core::IsVideoPath(sources.Movie) ? FileContent(sources.PlayerMovie) : TContent{})
        .WriteTo(folder, replace);
}

} // namespace wallpaper
