#include "Commands.h"

#include <cstdio>
#include <optional>

#include "Arguments.h"
#include "core/Colors.h"
#include "core/MovieInfoUnit.h"
#include "rtl/Errors.h"

namespace cli {

// One "key: value" line for each thing the preview knows, in a fixed order; "warning:" lines last.
int Info(const std::vector<std::string>& args) {
    const TArguments parsed(args, {});
    if (parsed.Operands().size() != 1)
        throw EUsage{"info takes one MOVIE"};
    using core::TMovieInfo;
    const TMovieInfo info = TMovieInfo::Read(parsed.Operands()[0]);
    if (info.Kind == TMovieInfo::TKind::Unreadable || info.Kind == TMovieInfo::TKind::Unknown)
        throw rtl::Exception(info.Summary());
    const bool video = info.Signature == "FLV";
    const auto line = [](const char* key, const std::string& value) {
        std::printf("%s: %s\n", key, value.c_str());
    };
    const auto number = [&line](const char* key, const std::optional<double>& value) {
        if (value)
            line(key, TMovieInfo::FormatNumber(*value));
    };
    line("kind", video ? "flash video" : "flash movie");
    line("version", std::to_string(info.Version));
    if (!video)
        line("compression", info.Compression == TMovieInfo::TCompression::None   ? "none"
                            : info.Compression == TMovieInfo::TCompression::Zlib ? "zlib"
                                                                                 : "lzma");
    number("width", info.Width);
    number("height", info.Height);
    number("frame rate", info.FrameRate);
    if (info.FrameCount)
        line("frames", std::to_string(*info.FrameCount));
    if (info.StageColor)
        line("background", core::CssColor(*info.StageColor, nullptr));
    if (video) {
        number("duration", info.Duration);
        if (info.VideoCodec)
            line("video codec", TMovieInfo::VideoCodecName(*info.VideoCodec));
        if (info.AudioCodec)
            line("audio codec", TMovieInfo::AudioCodecName(*info.AudioCodec));
    }
    if (!info.Warning().empty())
        line("warning", info.Warning());
    if (info.Fault != TMovieInfo::TFault::None)
        line("warning", "the file " + info.FaultText());
    return ExitSuccess;
}

} // namespace cli
