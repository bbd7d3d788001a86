#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "rtl/Streams.h"

namespace core {

// What the header of a Flash movie or Flash video says, read without playing it: the preview
// shows this where no Flash player is installed. Reads are bounded: at most a few dozen bytes
// of a movie (inflated from its first 64 KiB when compressed) and at most 1 MiB of a video's
// metadata and the first byte of its first video tag from its first 32 tags, whatever sizes
// the file claims.
class TMovieInfo {
public:
    enum class TKind {
        Unreadable, // missing or cannot be opened
        Unknown,    // neither a Flash movie nor a Flash video
        Damaged,    // a Flash signature, but a header no real movie or video has
        FlashMovie,
        FlashVideo,
    };
    enum class TCompression { None, Zlib, Lzma };

    // Never raises for a missing, unreadable, damaged or foreign file: that is reported in
    // Problem, and Kind says how far reading got.
    static TMovieInfo Read(const std::string& path);
    // The same, from the stream's position on.
    static TMovieInfo ReadFrom(rtl::TStream& stream);

    // One line for the user: what the header says, or why it says nothing. A frame size of 0,
    // below it or above 16,000 pixels, or a frame rate of 0 or above 1,000 is no real movie's:
    // "This file's header is damaged." instead of the numbers.
    std::string Summary() const;
    // One line when the video's codec is one the installed wallpaper's web player may not
    // decode; empty otherwise.
    std::string Warning() const;

    TKind Kind = TKind::Unreadable;
    // Empty when the header was read in full.
    std::string Problem;

    // Flash movie: the signature ("FWS", "CWS" or "ZWS") and what follows it. An LZMA body
    // is not decoded, so a ZWS movie gives its version and declared length only.
    std::string Signature;
    TCompression Compression = TCompression::None;
    int Version = 0;
    // The length of the whole movie once uncompressed, as the header declares it.
    uint32_t FileLength = 0;
    std::optional<int> FrameCount;

    // Flash video: the header's flags, and whether an onMetaData script tag was found.
    bool HasAudio = false;
    bool HasVideo = false;
    bool HasMetaData = false;
    std::optional<double> Duration; // seconds
    // The codec id of the first video tag: 2 Sorenson H.263 ... 7 H.264.
    std::optional<int> VideoCodec;

    // Both kinds: a movie's frame size and rate, or a video's from its metadata.
    std::optional<double> Width; // pixels
    std::optional<double> Height;
    std::optional<double> FrameRate; // frames per second
};

} // namespace core
