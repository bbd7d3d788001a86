#include "PreviewPicture.h"

#include <cmath>

#include "rtl/Streams.h"

namespace wallpaper {

namespace {

bool RealSide(double side) {
    return std::isfinite(side) && side >= 1 && side <= 16000;
}

} // namespace

TStage StageOf(const core::TMovieInfo& info) {
    TStage stage;
    if (info.Width && info.Height && RealSide(*info.Width) && RealSide(*info.Height)) {
        stage.Width = *info.Width;
        stage.Height = *info.Height;
    }
    // The video player movie draws on black; a movie that sets no colour is drawn on white.
    // The colour is taken from a movie's first bytes too, which are no whole movie.
    if (info.Kind == core::TMovieInfo::TKind::FlashVideo)
        stage.OwnColor = core::clBlack;
    else if (info.Kind == core::TMovieInfo::TKind::FlashMovie)
        stage.OwnColor = info.StageColor.value_or(core::clWhite);
    return stage;
}

TStage StageOfHead(const std::string& head) {
    rtl::TMemoryView stream(reinterpret_cast<const uint8_t*>(head.data()),
                            static_cast<int64_t>(head.size()));
    return StageOf(core::TMovieInfo::ReadFrom(stream));
}

} // namespace wallpaper
