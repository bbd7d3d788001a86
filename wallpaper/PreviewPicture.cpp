#include "PreviewPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "rtl/Png.h"

namespace wallpaper {

std::string StagePicture(const TStage& stage, core::TColor color) {
    const bool known = stage.Width > 0 && stage.Height > 0;
    const double width = known ? stage.Width : 16;
    const double height = known ? stage.Height : 9;
    const double scale = PreviewSide / std::max(width, height);
    const int w = std::clamp(static_cast<int>(std::lround(width * scale)), 1, PreviewSide);
    const int h = std::clamp(static_cast<int>(std::lround(height * scale)), 1, PreviewSide);
    const auto rgb = static_cast<uint32_t>(color);
    return rtl::EncodePng(
        rtl::SolidPicture(w, h, rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF));
}

} // namespace wallpaper
