#pragma once

#include <optional>
#include <string>

#include "core/Colors.h"
#include "core/MovieInfoUnit.h"

namespace wallpaper {

// The largest side of the preview picture; engines' libraries show it at 128 to 384 pixels.
// A frame of the movie that a web view captured is made this size by the system layer.
constexpr int PreviewSide = 480;

// What the preview picture is drawn from when no frame of the movie is at hand.
struct TStage {
    double Width = 0; // the movie's stage or the video's frame; 0 when it does not say
    double Height = 0;
    // The colour the movie is drawn on when the wallpaper keeps it.
    std::optional<core::TColor> OwnColor;
};

// The stage as the header of the movie or video tells it.
TStage StageOf(const core::TMovieInfo& info);
// The same from the first bytes of a movie or video, which need not be all of it.
TStage StageOfHead(const std::string& head);
// How many of a movie's first bytes StageOfHead needs to find what most movies and videos say.
constexpr int64_t StageHeadSize = 64 * 1024;

// The stage as a PNG picture in color (an RGB value), at the stage's aspect within
// PreviewSide by PreviewSide pixels; 16:9 when the stage's size is not known or no real one.
std::string StagePicture(const TStage& stage, core::TColor color);

} // namespace wallpaper
