#include "MovieInfoUnit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "rtl/Bytes.h"
#include "rtl/Errors.h"
#include "rtl/Lzma.h"
#include "rtl/Paths.h"
#include "rtl/ZStreams.h"

namespace core {

namespace {

using Bytes = std::vector<uint8_t>;

// The RECT of the frame size (5 + 4 * 31 bits at most), the frame rate and the frame count.
constexpr int64_t MovieHeadSize = 17 + 2 + 2;
constexpr int64_t FlvTagHeaderSize = 11;
constexpr int MaxVideoTags = 32;
constexpr uint32_t MaxScriptData = 1 << 20;
// AMF0 values nest; a damaged file must not take the parser deeper than this.
constexpr int MaxAmfDepth = 32;
constexpr uint8_t FlvAudioTag = 8;
constexpr uint8_t FlvVideoTag = 9;
constexpr uint8_t FlvScriptTag = 18;

// The FLV video codecs by their id; the web player that installed wallpapers use decodes
// Sorenson H.263, both VP6 kinds and Screen video, and H.264 where the browser has WebCodecs.
struct TCodec {
    const char* Name;
    bool WebPlayable;
};
const TCodec Codecs[] = {
    {nullptr, false},          {nullptr, false},  {"Sorenson H.263", true},
    {"Screen video", true},    {"On2 VP6", true}, {"On2 VP6 with alpha", true},
    {"Screen video 2", false}, {"H.264", false},
};

// The FLV sound formats by their id.
const char* const AudioCodecs[16] = {
    "Linear PCM",
    "ADPCM",
    "MP3",
    "Linear PCM, little-endian",
    "Nellymoser 16 kHz",
    "Nellymoser 8 kHz",
    "Nellymoser",
    "G.711 A-law",
    "G.711 mu-law",
    nullptr,
    "AAC",
    "Speex",
    nullptr,
    nullptr,
    "MP3 8 kHz",
    "Device-specific sound",
};

Bytes ReadUpTo(rtl::TStream& stream, int64_t count) {
    Bytes bytes(static_cast<size_t>(count));
    int64_t done = 0;
    while (done < count) {
        const int64_t n = stream.Read(bytes.data() + done, count - done);
        if (n <= 0)
            break;
        done += n;
    }
    bytes.resize(static_cast<size_t>(done));
    return bytes;
}

uint32_t Be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

std::string Plural(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// Reads the SWF frame-size RECT: a 5-bit field width, then Xmin, Xmax, Ymin, Ymax as signed
// fields of that width, in twips. Returns the number of bytes used, or 0 when cut short.
size_t ReadRect(const Bytes& head, double& width, double& height) {
    if (head.empty())
        return 0;
    const int nbits = head[0] >> 3;
    const size_t size = (5 + 4 * static_cast<size_t>(nbits) + 7) / 8;
    if (head.size() < size)
        return 0;
    size_t bit = 5;
    int64_t fields[4] = {};
    for (int64_t& field : fields) {
        uint32_t raw = 0;
        for (int i = 0; i < nbits; ++i, ++bit)
            raw = raw << 1 | ((head[bit / 8] >> (7 - bit % 8)) & 1);
        field = nbits > 0 && (raw >> (nbits - 1)) & 1 ? int64_t(raw) - (int64_t(1) << nbits)
                                                      : int64_t(raw);
    }
    width = static_cast<double>(fields[1] - fields[0]) / 20;
    height = static_cast<double>(fields[3] - fields[2]) / 20;
    return size;
}

// "232,299": the sizes of a cut-off movie as the user compares them.
std::string Grouped(int64_t value) {
    std::string digits = std::to_string(value);
    for (int64_t at = static_cast<int64_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<size_t>(at), ",");
    return digits;
}

void SetFault(TMovieInfo& info, TMovieInfo::TFault fault, std::string problem) {
    info.Fault = fault;
    info.Problem = std::move(problem);
}

// A movie's own stage colour is the SetBackgroundColor tag among those before its first frame
// is shown; tags gives what follows the header, rest the bytes of it already read. Reading stops
// at the first frame, at the end or after MaxHeadTags tags; a tag cut short ends it quietly,
// since the check of the whole file reports that.
constexpr int MaxHeadTags = 4096;
constexpr uint16_t EndTag = 0;
constexpr uint16_t ShowFrameTag = 1;
constexpr uint16_t SetBackgroundColorTag = 9;

std::optional<TColor> ReadStageColor(rtl::TStream& tags, bool seekable, Bytes rest) {
    size_t used = 0;
    const auto take = [&](size_t count) {
        if (rest.size() - used < count) {
            rest.erase(rest.begin(), rest.begin() + static_cast<long>(used));
            used = 0;
            const Bytes more = ReadUpTo(tags, static_cast<int64_t>(count - rest.size()));
            rest.insert(rest.end(), more.begin(), more.end());
        }
        if (rest.size() - used < count)
            return static_cast<const uint8_t*>(nullptr);
        const uint8_t* at = rest.data() + used;
        used += count;
        return at;
    };
    uint8_t skipped[4096];
    for (int i = 0; i < MaxHeadTags; ++i) {
        const uint8_t* header = take(2);
        if (header == nullptr)
            return std::nullopt;
        const uint16_t code = rtl::LoadLe16(header) >> 6;
        int64_t length = rtl::LoadLe16(header) & 63;
        if (length == 63) {
            const uint8_t* longLength = take(4);
            if (longLength == nullptr)
                return std::nullopt;
            length = rtl::LoadLe32(longLength);
        }
        if (code == SetBackgroundColorTag && length >= 3) {
            const uint8_t* rgb = take(3);
            return rgb == nullptr ? std::nullopt
                                  : std::optional<TColor>(rgb[0] | rgb[1] << 8 | rgb[2] << 16);
        }
        if (code == EndTag || code == ShowFrameTag)
            return std::nullopt;
        // The tag's body: what is left of the bytes read, then the stream.
        const int64_t buffered = std::min<int64_t>(length, int64_t(rest.size() - used));
        used += static_cast<size_t>(buffered);
        length -= buffered;
        if (seekable && length > 0) {
            tags.Seek(length, rtl::SeekOrigin::Current);
            continue;
        }
        for (int64_t n = 0; length > 0; length -= n) {
            n = tags.Read(skipped, std::min<int64_t>(length, sizeof skipped));
            if (n <= 0)
                return std::nullopt;
        }
    }
    return std::nullopt;
}

// The bytes after the 8 of signature, version and length: the header, then the rest of the
// movie, which must be all there; a compressed movie's is a whole zlib stream, or LZMA data
// behind its compressed length and the LZMA properties that gives the declared length less
// the 8 bytes.
void ReadMovieBody(rtl::TStream& stream, int64_t start, TMovieInfo& info) {
    using TFault = TMovieInfo::TFault;
    const bool zlib = info.Compression == TMovieInfo::TCompression::Zlib;
    const bool lzma = info.Compression == TMovieInfo::TCompression::Lzma;
    std::unique_ptr<rtl::TDecompressionStream> inflater;
    std::unique_ptr<rtl::TLzmaDecompressionStream> decoder;
    if (lzma) {
        // The compressed length is not checked: whether it takes in the properties differs
        // between writers, and the data's own end tells.
        const Bytes head = ReadUpTo(stream, 4 + rtl::LzmaPropertiesSize);
        if (head.size() < 4 + size_t(rtl::LzmaPropertiesSize)) {
            SetFault(info, TFault::CutOff, "its header is cut short");
            return;
        }
        if (info.FileLength < 8) {
            SetFault(info, TFault::Damaged, "its header gives a length shorter than itself");
            return;
        }
        try {
            decoder = std::make_unique<rtl::TLzmaDecompressionStream>(stream, head.data() + 4,
                                                                      int64_t(info.FileLength) - 8);
        } catch (const rtl::ECompressionError& error) {
            SetFault(info, TFault::Damaged, "its compressed data is broken: " + error.Detail);
            return;
        }
    }
    if (zlib)
        inflater = std::make_unique<rtl::TDecompressionStream>(stream);
    rtl::TStream& body = zlib   ? static_cast<rtl::TStream&>(*inflater)
                         : lzma ? static_cast<rtl::TStream&>(*decoder)
                                : stream;
    Bytes head;
    try {
        head = ReadUpTo(body, MovieHeadSize);
        double width = 0;
        double height = 0;
        const size_t rect = ReadRect(head, width, height);
        if (rect == 0 || head.size() < rect + 4) {
            SetFault(info, TFault::CutOff, "its header is cut short");
            return;
        }
        info.Width = width;
        info.Height = height;
        info.FrameRate = rtl::LoadLe16(head.data() + rect) / 256.0;
        info.FrameCount = rtl::LoadLe16(head.data() + rect + 2);
        info.StageColor = ReadStageColor(
            body, !zlib && !lzma, Bytes(head.begin() + static_cast<long>(rect) + 4, head.end()));
        if (zlib)
            inflater->CheckEnd();
        if (lzma)
            decoder->CheckEnd();
    } catch (const rtl::ECompressionError&) {
        SetFault(info, TFault::Damaged, "its compressed data is broken");
        return;
    } catch (const rtl::EReadError&) {
        SetFault(info, TFault::CutOff, "its compressed data ends early");
        return;
    }
    const int64_t size = stream.Size() - start;
    if (!zlib && !lzma && size < info.FileLength)
        SetFault(info, TFault::CutOff,
                 "its header says " + Grouped(info.FileLength) + " bytes, the file holds " +
                     Grouped(size));
}

void ReadMovie(rtl::TStream& stream, int64_t start, const uint8_t* first, TMovieInfo& info) {
    info.Kind = TMovieInfo::TKind::FlashMovie;
    info.Signature.assign(reinterpret_cast<const char*>(first), 3);
    info.Compression = first[0] == 'F'   ? TMovieInfo::TCompression::None
                       : first[0] == 'C' ? TMovieInfo::TCompression::Zlib
                                         : TMovieInfo::TCompression::Lzma;
    info.Version = first[3];
    info.FileLength = rtl::LoadLe32(first + 4);
    ReadMovieBody(stream, start, info);
}

constexpr double MaxSide = 16000;
constexpr double MaxFrameRate = 1000;

// Whether the numbers read could be a real movie's or video's; those not read do not count.
bool RealMovie(const TMovieInfo& info) {
    const auto side = [](const std::optional<double>& v) {
        return !v || (*v > 0 && *v <= MaxSide);
    };
    return side(info.Width) && side(info.Height) &&
           (!info.FrameRate || (*info.FrameRate > 0 && *info.FrameRate <= MaxFrameRate));
}

// AMF0, the encoding of a video's script tags; only numbers are taken out, everything else is
// stepped over. Every read is checked against the end, and a failed one stops the parse.
class AmfReader {
public:
    AmfReader(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}

    bool Byte(uint8_t& value) {
        if (p_ == end_)
            return false;
        value = *p_++;
        return true;
    }
    bool Skip(uint64_t count) {
        if (count > uint64_t(end_ - p_))
            return false;
        p_ += count;
        return true;
    }
    bool U16(uint32_t& value) {
        if (end_ - p_ < 2)
            return false;
        value = uint32_t(p_[0]) << 8 | p_[1];
        p_ += 2;
        return true;
    }
    bool U32(uint32_t& value) {
        if (end_ - p_ < 4)
            return false;
        value = Be32(p_);
        p_ += 4;
        return true;
    }
    bool Double(double& value) {
        if (end_ - p_ < 8)
            return false;
        uint64_t bits = uint64_t(Be32(p_)) << 32 | Be32(p_ + 4);
        std::memcpy(&value, &bits, sizeof value);
        p_ += 8;
        return true;
    }
    bool String(std::string& value, uint32_t length) {
        if (length > uint64_t(end_ - p_))
            return false;
        value.assign(reinterpret_cast<const char*>(p_), length);
        p_ += length;
        return true;
    }
    bool ShortString(std::string& value) {
        uint32_t length = 0;
        return U16(length) && String(value, length);
    }

    // Name-value pairs up to the empty name followed by the object-end marker; onNumber is
    // given each number among them, nested values are stepped over.
    template <typename OnNumber> bool Properties(int depth, OnNumber&& onNumber) {
        for (;;) {
            std::string name;
            if (!ShortString(name))
                return false;
            if (name.empty() && p_ != end_ && *p_ == ObjectEnd) {
                ++p_;
                return true;
            }
            uint8_t type = 0;
            if (!Byte(type))
                return false;
            if (type == Number) {
                double number = 0;
                if (!Double(number))
                    return false;
                onNumber(name, number);
            } else if (!SkipValue(type, depth + 1)) {
                return false;
            }
        }
    }

    static constexpr uint8_t Number = 0x00;
    static constexpr uint8_t Text = 0x02;
    static constexpr uint8_t Object = 0x03;
    static constexpr uint8_t EcmaArray = 0x08;
    static constexpr uint8_t ObjectEnd = 0x09;

private:
    bool SkipValue(uint8_t type, int depth) {
        if (depth > MaxAmfDepth)
            return false;
        auto ignore = [](const std::string&, double) {};
        uint32_t n = 0;
        switch (type) {
        case Number:
            return Skip(8);
        case 0x01: // boolean
            return Skip(1);
        case Text:
        case 0x07: // reference
            return U16(n) && Skip(type == Text ? n : 0);
        case Object:
            return Properties(depth, ignore);
        case 0x05: // null
        case 0x06: // undefined
        case 0x0D: // unsupported
            return true;
        case EcmaArray:
            return U32(n) && Properties(depth, ignore);
        case 0x0A: // strict array: the count is untrusted, but every value takes a byte
            if (!U32(n))
                return false;
            for (uint32_t i = 0; i < n; ++i) {
                uint8_t element = 0;
                if (!Byte(element) || !SkipValue(element, depth + 1))
                    return false;
            }
            return true;
        case 0x0B: // date: milliseconds and a time zone
            return Skip(8 + 2);
        case 0x0C: // long string
        case 0x0F: // XML document
            return U32(n) && Skip(n);
        case 0x10: { // typed object: a class name, then properties
            std::string className;
            return ShortString(className) && Properties(depth, ignore);
        }
        default:
            return false;
        }
    }

    const uint8_t* p_;
    const uint8_t* end_;
};

bool Plausible(double value) {
    return std::isfinite(value) && value >= 0 && value < 1e9;
}

// When the script data is onMetaData, takes the numbers the preview shows.
void ReadMetaData(const Bytes& data, TMovieInfo& info) {
    AmfReader amf(data.data(), data.size());
    uint8_t type = 0;
    std::string name;
    if (!amf.Byte(type) || type != AmfReader::Text || !amf.ShortString(name) ||
        name != "onMetaData")
        return;
    info.HasMetaData = true;
    uint32_t count = 0;
    if (!amf.Byte(type) || (type == AmfReader::EcmaArray && !amf.U32(count)) ||
        (type != AmfReader::EcmaArray && type != AmfReader::Object))
        return;
    amf.Properties(0, [&info](const std::string& key, double value) {
        if (!Plausible(value))
            return;
        if (key == "duration")
            info.Duration = value;
        else if (key == "width")
            info.Width = value;
        else if (key == "height")
            info.Height = value;
        else if (key == "framerate")
            info.FrameRate = value;
    });
}

// Every tag's header and data must lie within the file; the size of the last tag after it
// may be missing, since no picture or sound is lost without it.
void CheckVideoTags(rtl::TStream& stream, int64_t first, int64_t end, TMovieInfo& info) {
    if (first > end) {
        SetFault(info, TMovieInfo::TFault::CutOff, "it ends before its first tag");
        return;
    }
    for (int64_t at = first; at < end;) {
        stream.SetPosition(at);
        const Bytes tag = ReadUpTo(stream, FlvTagHeaderSize);
        const bool whole = int64_t(tag.size()) == FlvTagHeaderSize;
        const uint32_t size = whole ? uint32_t(tag[1]) << 16 | uint32_t(tag[2]) << 8 | tag[3] : 0;
        if (!whole || end - at - FlvTagHeaderSize < size) {
            SetFault(info, TMovieInfo::TFault::CutOff, "the file ends inside its last tag");
            return;
        }
        at += FlvTagHeaderSize + int64_t(size) + 4;
    }
}

void ReadVideo(rtl::TStream& stream, int64_t start, const uint8_t* header, TMovieInfo& info) {
    info.Kind = TMovieInfo::TKind::FlashVideo;
    info.Signature = "FLV";
    info.Version = header[3];
    info.HasAudio = (header[4] & 0x04) != 0;
    info.HasVideo = (header[4] & 0x01) != 0;
    const uint32_t dataOffset = Be32(header + 5);
    if (dataOffset < 9) {
        SetFault(info, TMovieInfo::TFault::Damaged, "its header points into itself");
        return;
    }
    // The tags follow the header and the first previous-tag size, which is always 0.
    const int64_t firstTag = start + int64_t(dataOffset) + 4;
    stream.SetPosition(firstTag);
    const auto complete = [&info] {
        return info.HasMetaData && (info.VideoCodec || !info.HasVideo) &&
               (info.AudioCodec || !info.HasAudio);
    };
    for (int i = 0; i < MaxVideoTags && !complete(); ++i) {
        const Bytes tag = ReadUpTo(stream, FlvTagHeaderSize);
        if (tag.size() < FlvTagHeaderSize)
            break;
        const uint32_t size = uint32_t(tag[1]) << 16 | uint32_t(tag[2]) << 8 | tag[3];
        const uint8_t type = tag[0] & 0x1F;
        uint32_t taken = 0;
        if ((type == FlvVideoTag && !info.VideoCodec) ||
            (type == FlvAudioTag && !info.AudioCodec)) {
            const Bytes first = ReadUpTo(stream, size > 0 ? 1 : 0);
            taken = static_cast<uint32_t>(first.size());
            if (taken == 1 && type == FlvVideoTag)
                info.VideoCodec = first[0] & 0x0F;
            else if (taken == 1)
                info.AudioCodec = first[0] >> 4;
        } else if (type == FlvScriptTag && !info.HasMetaData) {
            taken = size < MaxScriptData ? size : MaxScriptData;
            ReadMetaData(ReadUpTo(stream, taken), info);
        }
        stream.Seek(int64_t(size - taken) + 4, rtl::SeekOrigin::Current);
    }
    CheckVideoTags(stream, firstTag, stream.Size(), info);
}

TMovieInfo Failed(TMovieInfo::TKind kind, TMovieInfo::TFault fault, std::string problem) {
    TMovieInfo info;
    info.Kind = kind;
    SetFault(info, fault, std::move(problem));
    return info;
}

} // namespace

TMovieInfo TMovieInfo::Read(const std::string& path) {
    if (rtl::DirectoryExists(path))
        return Failed(TKind::Unreadable, TFault::Folder, "This is a folder, not a movie.");
    if (!rtl::FileExists(path))
        return Failed(TKind::Unreadable, TFault::None, "File not found.");
    std::unique_ptr<rtl::TFileStream> file;
    try {
        file = std::make_unique<rtl::TFileStream>(path, rtl::FileMode::OpenRead);
    } catch (const rtl::EFOpenError& error) {
        // The preview explains an unreadable file in place rather than interrupting the user.
        return Failed(TKind::Unreadable, TFault::None, "Cannot open the file. " + error.Reason);
    }
    return ReadFrom(*file);
}

TMovieInfo TMovieInfo::ReadFrom(rtl::TStream& stream) {
    const int64_t start = stream.Position();
    const Bytes first = ReadUpTo(stream, 9);
    if (first.empty())
        return Failed(TKind::Unknown, TFault::Empty, "The file is empty.");
    const bool movie = first.size() >= 3 &&
                       (first[0] == 'F' || first[0] == 'C' || first[0] == 'Z') && first[1] == 'W' &&
                       first[2] == 'S';
    const bool video = first.size() >= 3 && first[0] == 'F' && first[1] == 'L' && first[2] == 'V';
    if (!movie && !video)
        return Failed(TKind::Unknown, TFault::Foreign, "Not a Flash movie or Flash video.");
    TMovieInfo info;
    if (movie) {
        if (first.size() < 8)
            return Failed(TKind::FlashMovie, TFault::CutOff, "its header is cut short");
        stream.SetPosition(start + 8);
        ReadMovie(stream, start, first.data(), info);
    } else {
        if (first.size() < 9)
            return Failed(TKind::FlashVideo, TFault::CutOff, "its header is cut short");
        ReadVideo(stream, start, first.data(), info);
    }
    // A video of sound alone may say its picture is 0 by 0. What the header said stays.
    if (!RealMovie(info) && (movie || info.HasVideo)) {
        info.Kind = TKind::Damaged;
        SetFault(info, TFault::Damaged, "This file's header is damaged.");
    }
    return info;
}

std::string TMovieInfo::Check(const std::string& path) {
    return Read(path).FaultLine(path);
}

std::string TMovieInfo::FaultLine(const std::string& path) const {
    const std::string fault = FaultText();
    return fault.empty() ? fault : "\"" + path + "\" " + fault + ".";
}

std::optional<TColor> TMovieInfo::OwnBackground() const {
    if (Kind != TKind::FlashMovie || Fault != TFault::None)
        return std::nullopt;
    return StageColor.value_or(clWhite);
}

std::string TMovieInfo::FaultText() const {
    switch (Fault) {
    case TFault::None:
        break;
    case TFault::Folder:
        return "is a folder, not a movie";
    case TFault::Empty:
        return "is empty";
    case TFault::Foreign:
        return "is not a Flash movie or Flash video";
    case TFault::Damaged:
        return Kind == TKind::Damaged
                   ? "is damaged: its header gives a size or frame rate that no real movie has"
                   : "is damaged: " + Problem;
    case TFault::CutOff:
        return "is cut off: " + Problem;
    }
    return "";
}

std::string TMovieInfo::FormatNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string s = text;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    return s;
}

std::string TMovieInfo::VideoCodecName(int codec) {
    return codec >= 0 && codec < 8 && Codecs[codec].Name != nullptr
               ? Codecs[codec].Name
               : "codec " + std::to_string(codec);
}

std::string TMovieInfo::AudioCodecName(int codec) {
    return codec >= 0 && codec < 16 && AudioCodecs[codec] != nullptr
               ? AudioCodecs[codec]
               : "codec " + std::to_string(codec);
}

std::string TMovieInfo::Warning() const {
    if (!VideoCodec || (*VideoCodec < 8 && Codecs[*VideoCodec].WebPlayable))
        return "";
    if (*VideoCodec == 7)
        return "Installed wallpapers show H.264 only in browsers with WebCodecs; Sorenson H.263 "
               "or VP6 plays everywhere.";
    return "Installed wallpapers cannot show this video: the web player does not decode " +
           VideoCodecName(*VideoCodec) + ".";
}

std::string TMovieInfo::Summary() const {
    std::string s;
    switch (Kind) {
    case TKind::Unreadable:
    case TKind::Unknown:
    case TKind::Damaged:
        return Problem;
    case TKind::FlashMovie:
        s = "Flash movie";
        if (Signature.empty())
            break;
        s += ", version " + std::to_string(Version);
        s += Compression == TCompression::None   ? ", uncompressed ("
             : Compression == TCompression::Zlib ? ", zlib-compressed ("
                                                 : ", LZMA-compressed (";
        s += Signature + ")";
        break;
    case TKind::FlashVideo:
        s = "Flash video";
        if (Signature.empty())
            break;
        s += HasAudio && HasVideo ? " with audio and video"
             : HasAudio           ? " with audio only"
             : HasVideo           ? " with video only"
                                  : " with neither audio nor video";
        if (VideoCodec)
            s += ", " + VideoCodecName(*VideoCodec);
        if (!HasMetaData && Problem.empty())
            s += "; no metadata";
        break;
    }
    std::string details;
    auto add = [&details](const std::string& part) {
        details += (details.empty() ? ": " : ", ") + part;
    };
    if (Duration)
        add(FormatNumber(*Duration) + " seconds");
    if (Width && Height)
        add(FormatNumber(*Width) + " x " + FormatNumber(*Height) + " pixels");
    if (FrameRate)
        add(FormatNumber(*FrameRate) + " frames per second");
    if (FrameCount)
        add(Plural(*FrameCount, "frame", "frames"));
    s += details;
    if (!Problem.empty())
        s += (Fault == TFault::CutOff ? "; cut off: " : "; damaged: ") + Problem;
    return s;
}

} // namespace core
