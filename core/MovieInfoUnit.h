#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "Colors.h"
#include "rtl/Streams.h"

namespace core {

// What the header of a Flash movie or Flash video says, read without playing it, and whether
// the bytes are all there: the preview shows this where no Flash player is installed, and
// nothing that fails the check goes into an installer. Memory is bounded whatever sizes the
// file claims: a movie's header is a few dozen bytes, a video's metadata at most 1 MiB; the
// check streams a compressed movie through inflate or the LZMA decoder (whose window grows
// only with what the data decodes to) and steps from tag to tag of a video.
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
    // Why the file must not go into an installer.
    enum class TFault {
        None,    // none found; also a file that cannot be read, which opening it reports
        Folder,  // a folder, not a file
        Empty,   // no bytes at all
        Foreign, // no Flash signature
        Damaged, // a header no real movie has, or compressed data that does not inflate
        CutOff,  // the bytes end before the header or the stream says they do
    };

    // Never raises for a missing, unreadable, damaged or foreign file: that is reported in
    // Problem and Fault, and Kind says how far reading got.
    static TMovieInfo Read(const std::string& path);
    // The same, from the stream's position to its end.
    static TMovieInfo ReadFrom(rtl::TStream& stream);
    // The one line that stops path from going into an installer, naming it: "\"x.swf\" is
    // cut off: its header says 232,299 bytes, the file holds 77,433."; empty when it may go.
    static std::string Check(const std::string& path);

    // One line for the user: what the header says, or why it says nothing. A frame size of 0,
    // below it or above 16,000 pixels, or a frame rate of 0 or above 1,000 is no real movie's:
    // "This file's header is damaged." instead of the numbers.
    std::string Summary() const;
    // One line when the video's codec is one the installed wallpaper's web player may not
    // decode; empty otherwise.
    std::string Warning() const;
    // Up to two decimals, without trailing zeros: "24", "29.97", "12.5".
    static std::string FormatNumber(double value);
    // The names of the codecs, "codec N" for one not known.
    static std::string VideoCodecName(int codec);
    static std::string AudioCodecName(int codec);

    // What follows the file's name in the line of Check: "is empty", "is damaged: ...";
    // empty when Fault is None.
    std::string FaultText() const;
    // The line of Check for the file at path; empty when Fault is None.
    std::string FaultLine(const std::string& path) const;

    // The colour a Flash player draws the movie on when it is given none: the stage colour, or
    // white for a movie that sets none. Nothing for a video and for a file that is no whole
    // movie.
    std::optional<TColor> OwnBackground() const;

    TKind Kind = TKind::Unreadable;
    TFault Fault = TFault::None;
    // Empty when the file is whole: for Unreadable, Unknown and Damaged a sentence, else what
    // is damaged or cut off ("its compressed data ends early").
    std::string Problem;

    // Flash movie: the signature ("FWS", "CWS" or "ZWS") and what follows it.
    std::string Signature;
    TCompression Compression = TCompression::None;
    int Version = 0;
    // The length of the whole movie once uncompressed, as the header declares it.
    uint32_t FileLength = 0;
    std::optional<int> FrameCount;
    // The colour the movie's stage is drawn in, where the movie sets one before its first frame.
    std::optional<TColor> StageColor;

    // Flash video: the header's flags, and whether an onMetaData script tag was found.
    bool HasAudio = false;
    bool HasVideo = false;
    bool HasMetaData = false;
    std::optional<double> Duration; // seconds
    // The codec id of the first video tag: 2 Sorenson H.263 ... 7 H.264.
    std::optional<int> VideoCodec;
    // The sound format of the first audio tag: 2 MP3 ... 10 AAC.
    std::optional<int> AudioCodec;

    // Both kinds: a movie's frame size and rate, or a video's from its metadata.
    std::optional<double> Width; // pixels
    std::optional<double> Height;
    std::optional<double> FrameRate; // frames per second
};

} // namespace core
