#include "FolderFromFiles.h"

#include <vector>

#include "SystemColors.h"
#include "core/InstallerUnit.h"
#include "core/MovieInfoUnit.h"
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

namespace {

// The folder of the project, with the web player of the stub the sources name.
void WithFolder(const core::TProject& project, const rtl::TCodePage& codePage,
                const TFolderSources& sources,
                const std::function<void(const TWallpaperFolder& folder)>& use) {
    rtl::TMemoryStream stub;
    stub.LoadFromFile(sources.Stub);
    const TWebPlayer player(stub.Memory(), stub.Size());
    const TPreview preview{StageOf(core::TMovieInfo::Read(sources.Movie)), sources.Frame};
    use(TWallpaperFolder(
        project, WallpaperTitle(project), codePage, SystemColor, player, FileContent(sources.Movie),
        core::IsVideoPath(sources.Movie) ? FileContent(sources.PlayerMovie) : TContent{}, preview));
}

} // namespace

void WriteWallpaperFolder(const core::TProject& project, const rtl::TCodePage& codePage,
                          const TFolderSources& sources, const std::string& folder, bool replace) {
    WithFolder(project, codePage, sources, [&](const TWallpaperFolder& contents) {
        contents.WriteTo(folder, replace, sources.Reuse);
    });
}

void WriteWallpaperZip(const core::TProject& project, const rtl::TCodePage& codePage,
                       const TFolderSources& sources, const std::string& path) {
    WithFolder(project, codePage, sources, [&](const TWallpaperFolder& contents) {
        rtl::TReplacingFile file(path);
        contents.WriteZipTo(file.Stream());
        file.Commit();
    });
}

} // namespace wallpaper
