#include "WallpaperFolder.h"

#include <memory>

#include "DataScript.h"
#include "EngineProject.h"
#include "LivelyInfo.h"
#include "SafeNames.h"
#include "core/InstallerUnit.h"
#include "rtl/Paths.h"
#include "rtl/Streams.h"
#include "rtl/TextUtils.h"

namespace wallpaper {

namespace {

const char* const MovieType = "application/x-shockwave-flash";
const char* const VideoType = "video/x-flv";

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "\n") + line;
    return text;
}

std::vector<std::string> Lines(const rtl::TStringList& list, const rtl::TCodePage& codePage) {
    std::vector<std::string> lines;
    for (const std::string& line : list.Items())
        lines.push_back(codePage.ToUtf8(line));
    return lines;
}

} // namespace

TContent EntryContent(const TPackedImage& image, int32_t entry, const std::string& what) {
    return {image.Entry(entry).SourceSize,
            [&image, entry, what](const TSink& sink) { image.Inflate(entry, what, sink); }};
}

TContent PlayerFileContent(const TWebPlayer& player, size_t index) {
    const TWebPlayer::TFile& file = player.Files()[index];
    const TPackedImage& image = player.Image();
    const auto entry = static_cast<int32_t>(index + 1);
    const std::string what = TWebPlayer::PartName(file);
    if (!file.Lzma)
        return EntryContent(image, entry, what);
    return {image.LzmaSize(entry, what),
            [&image, entry, what](const TSink& sink) { image.DecodeLzma(entry, what, sink); }};
}

std::string WallpaperTitle(const core::TProject& project) {
    const std::string title = rtl::Trim(project.FileTitle);
    return title.empty() ? "Wallpaper" : title;
}

TWallpaperFolder::TWallpaperFolder(const core::TProject& project, const std::string& title,
                                   const rtl::TCodePage& codePage,
                                   const core::TSysColorFn& sysColor, const TWebPlayer& player,
                                   TContent movie, TContent playerMovie, const TPreview& preview) {
    const std::string moviePath =
        project.FlashFiles.Count() > 0 ? codePage.ToNativePath(project.FlashFiles.Get(0)) : "";
    TPageSettings page;
    page.Title = codePage.ToUtf8(title);
    page.MovieName = rtl::NativeToUtf8(MovieFileName(moviePath));
    page.Video = core::IsVideoPath(moviePath);
    page.Loop = project.Loop;
    page.BackgroundColor = project.BackgroundColor;
    page.TransparentBackground = project.TransparentBackground;
    page.ShowText = project.ShowText;
    page.TextLines = Lines(project.TextLines, codePage);
    page.URL = codePage.ToUtf8(project.URL);
    page.TextColor = project.TextColor;
    page.TextBGColor = project.TextBGColor;
    page.TextBGTransparent = project.TextBGTransparent;

    const std::vector<TWebPlayer::TFile>& playerFiles = player.Files();
    for (size_t i = 0; i < playerFiles.size(); ++i) {
        const TWebPlayer::TFile& file = playerFiles[i];
        if (file.Program)
            continue;
        TContent content = PlayerFileContent(player, i);
        if (file.IsData()) {
            AddData(file.Name, file.Url, file.Type, file.Gzip, std::move(content), true);
            page.DataScripts.push_back(file.Name);
        } else {
            files_.push_back(TFile{file.Name, content.Size,
                                   [content](const TWriteFn& write) {
                                       content.Read([&](const uint8_t* data, size_t size) {
                                           write(reinterpret_cast<const char*>(data), size);
                                       });
                                   },
                                   true});
        }
    }
    if (page.Video) {
        AddData(PlayerDataFileName, core::PlayerFileName, MovieType, false, std::move(playerMovie),
                false);
        page.DataScripts.push_back(PlayerDataFileName);
    }
    AddData(MovieDataFileName, page.MovieUrl(), page.Video ? VideoType : MovieType, false,
            std::move(movie), false);
    page.DataScripts.push_back(MovieDataFileName);

    AddText(PageFileName, WallpaperPage(page, sysColor));
    TLivelyInfo info;
    info.Title = page.Title;
    info.Description = Joined(page.TextLines);
    info.License = Joined(Lines(project.LicenseLines, codePage));
    info.Contact = LinkTarget(page.URL);
    AddText(InfoFileName, LivelyInfoJson(info));
    TLivelyProperties properties;
    properties.Background = PageBackground(page, sysColor);
    if (properties.Background == "transparent")
        properties.Background.clear();
    properties.HasText = ShowsText(page);
    AddText(PropertiesFileName, LivelyPropertiesJson(properties));
    AddText(EngineProjectFileName, EngineProjectJson(info, properties));
    if (!preview.Frame.empty()) {
        AddText(PreviewFileName, preview.Frame);
    } else {
        // A transparent wallpaper shows the desktop's own colour through it; its picture takes
        // the colour chosen for it.
        const std::optional<core::TColor> background =
            core::CssToColor(core::CssColor(page.BackgroundColor, sysColor));
        const core::TColor white = 0xFFFFFF;
        AddText(PreviewFileName,
                StagePicture(preview.Stage,
                             background ? *background : preview.Stage.OwnColor.value_or(white)));
    }
}

void TWallpaperFolder::AddData(const std::string& name, const std::string& url,
                               const std::string& type, bool gzip, TContent content, bool player) {
    auto script = std::make_shared<TDataScript>(url, type, gzip);
    const int64_t size = script->Size(content.Size);
    files_.push_back(TFile{name, size,
                           [script, content](const TWriteFn& write) {
                               script->Begin(write);
                               content.Read(
                                   [&](const uint8_t* data, size_t n) { script->Write(data, n); });
                               script->Finish();
                           },
                           player});
}

void TWallpaperFolder::AddText(const std::string& name, std::string text) {
    const int64_t size = static_cast<int64_t>(text.size());
    files_.push_back(TFile{name, size, [text = std::move(text)](const TWriteFn& write) {
                               write(text.data(), text.size());
                           }});
}

void TWallpaperFolder::WriteTo(const std::string& folder, bool replace,
                               const std::string& reuse) const {
    const std::string base = rtl::IncludeTrailingDelimiter(folder);
    for (const TFile& file : files_) {
        rtl::TFileStream out(base + file.Name,
                             replace ? rtl::FileMode::Create : rtl::FileMode::CreateNew);
        const std::string earlier =
            reuse.empty() ? "" : rtl::IncludeTrailingDelimiter(reuse) + file.Name;
        if (file.Player && !earlier.empty() && rtl::FileExists(earlier)) {
            rtl::TFileStream copy(earlier, rtl::FileMode::OpenRead);
            if (copy.Size() == file.Size) {
                out.CopyFrom(copy, 0);
                continue;
            }
        }
        file.Write([&](const char* data, size_t size) {
            out.WriteBuffer(data, static_cast<int64_t>(size));
        });
    }
}

} // namespace wallpaper
