#include <gtest/gtest.h>

#include <zlib.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "TestFiles.h"
#include "core/MovieInfoUnit.h"
#include "rtl/Streams.h"

namespace {

using namespace std::string_literals;
using core::TMovieInfo;
using Kind = TMovieInfo::TKind;

// Builds test files byte by byte.
class Bytes {
public:
    Bytes& Raw(const std::string& s) {
        data_ += s;
        return *this;
    }
    Bytes& U8(uint32_t v) {
        data_ += static_cast<char>(v & 0xFF);
        return *this;
    }
    Bytes& Le16(uint32_t v) { return U8(v).U8(v >> 8); }
    Bytes& Le32(uint32_t v) { return Le16(v).Le16(v >> 16); }
    Bytes& Be16(uint32_t v) { return U8(v >> 8).U8(v); }
    Bytes& Be24(uint32_t v) { return U8(v >> 16).Be16(v); }
    Bytes& Be32(uint32_t v) { return Be16(v >> 16).Be16(v); }
    Bytes& Double(double d) {
        uint64_t bits = 0;
        std::memcpy(&bits, &d, sizeof bits);
        return Be32(static_cast<uint32_t>(bits >> 32)).Be32(static_cast<uint32_t>(bits));
    }
    // A SWF RECT: nbits, then four signed fields of nbits bits, padded to a byte.
    Bytes& Rect(int nbits, std::initializer_list<int32_t> fields) {
        std::vector<uint32_t> bits;
        for (int i = 4; i >= 0; --i)
            bits.push_back((nbits >> i) & 1);
        for (int32_t f : fields)
            for (int i = nbits - 1; i >= 0; --i)
                bits.push_back((static_cast<uint32_t>(f) >> i) & 1);
        while (bits.size() % 8 != 0)
            bits.push_back(0);
        for (size_t i = 0; i < bits.size(); i += 8) {
            uint32_t byte = 0;
            for (size_t j = 0; j < 8; ++j)
                byte = byte << 1 | bits[i + j];
            U8(byte);
        }
        return *this;
    }
    Bytes& Append(const Bytes& other) { return Raw(other.data_); }

    const std::string& Str() const { return data_; }
    size_t Size() const { return data_.size(); }

private:
    std::string data_;
};

TMovieInfo ReadBytes(const std::string& bytes) {
    rtl::TMemoryView view(reinterpret_cast<const uint8_t*>(bytes.data()),
                          static_cast<int64_t>(bytes.size()));
    return TMovieInfo::ReadFrom(view);
}

// RECT, frame rate (8.8), frame count and one ShowFrame and an End tag.
Bytes MovieBody(int nbits, std::initializer_list<int32_t> rect, uint16_t rate, uint16_t count) {
    Bytes body;
    body.Rect(nbits, rect).Le16(rate).Le16(count).Le16(1 << 6).Le16(0);
    return body;
}

Bytes Fws(int version, const Bytes& body) {
    Bytes b;
    b.Raw("FWS").U8(version).Le32(static_cast<uint32_t>(8 + body.Size())).Append(body);
    return b;
}

std::string Deflate(const std::string& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    EXPECT_EQ(Z_OK, compress2(reinterpret_cast<Bytef*>(&out[0]), &size,
                              reinterpret_cast<const Bytef*>(data.data()),
                              static_cast<uLong>(data.size()), 9));
    out.resize(size);
    return out;
}

Bytes Cws(int version, const Bytes& body) {
    Bytes b;
    b.Raw("CWS").U8(version).Le32(static_cast<uint32_t>(8 + body.Size())).Raw(Deflate(body.Str()));
    return b;
}

// 480 x 360 pixels is 9600 x 7200 twips: 15-bit signed fields.
const Bytes StandardBody = MovieBody(15, {0, 9600, 0, 7200}, 24 << 8, 1);

TEST(MovieInfoFlashMovie, UncompressedHeaderGivesEveryField) {
    const TMovieInfo info = ReadBytes(Fws(10, StandardBody).Str());
    EXPECT_EQ(Kind::FlashMovie, info.Kind);
    EXPECT_EQ("", info.Problem);
    EXPECT_EQ("FWS", info.Signature);
    EXPECT_EQ(TMovieInfo::TCompression::None, info.Compression);
    EXPECT_EQ(10, info.Version);
    EXPECT_EQ(8 + StandardBody.Size(), info.FileLength);
    EXPECT_EQ(480, info.Width.value());
    EXPECT_EQ(360, info.Height.value());
    EXPECT_EQ(24, info.FrameRate.value());
    EXPECT_EQ(1, info.FrameCount.value());
    EXPECT_FALSE(info.Duration.has_value());
    EXPECT_EQ("Flash movie, version 10, uncompressed (FWS): 480 x 360 pixels, "
              "24 frames per second, 1 frame",
              info.Summary());
}

TEST(MovieInfoFlashMovie, ZlibHeaderIsInflated) {
    const TMovieInfo info =
        ReadBytes(Cws(9, MovieBody(15, {0, 11000, 0, 8000}, 0x0C80, 300)).Str());
    EXPECT_EQ("", info.Problem);
    EXPECT_EQ("CWS", info.Signature);
    EXPECT_EQ(TMovieInfo::TCompression::Zlib, info.Compression);
    EXPECT_EQ("Flash movie, version 9, zlib-compressed (CWS): 550 x 400 pixels, "
              "12.5 frames per second, 300 frames",
              info.Summary());
}

TEST(MovieInfoFlashMovie, LzmaDataThatIsNoLzmaIsDamaged) {
    Bytes zws;
    zws.Raw("ZWS").U8(13).Le32(123456).Le32(64).Raw(std::string("\x5D\0\0\x10\0", 5));
    zws.Raw(std::string(64, '\x7F'));
    const TMovieInfo info = ReadBytes(zws.Str());
    EXPECT_EQ(Kind::FlashMovie, info.Kind);
    EXPECT_EQ(TMovieInfo::TFault::Damaged, info.Fault);
    EXPECT_EQ(13, info.Version);
    EXPECT_EQ(123456u, info.FileLength);
    EXPECT_FALSE(info.Width.has_value());
}

TEST(MovieInfoFlashMovie, RectFieldsAreSignedAndOfAnyWidth) {
    struct Case {
        int nbits;
        std::initializer_list<int32_t> rect;
        double width, height;
    };
    const Case cases[] = {
        {12, {-200, 1800, -100, 300}, 100, 20},
        {31, {-1073741824, -1073741824 + 320000, 0, 20}, 16000, 1},
        {16, {0, 11, 0, 10}, 0.55, 0.5},
    };
    for (const Case& c : cases) {
        const TMovieInfo info = ReadBytes(Fws(8, MovieBody(c.nbits, c.rect, 1 << 8, 1)).Str());
        ASSERT_EQ("", info.Problem) << c.nbits;
        EXPECT_DOUBLE_EQ(c.width, info.Width.value()) << c.nbits;
        EXPECT_DOUBLE_EQ(c.height, info.Height.value()) << c.nbits;
    }
}

TEST(MovieInfoFlashMovie, FrameRateIsEightDotEightFixedPoint) {
    const TMovieInfo info = ReadBytes(Fws(8, MovieBody(15, {0, 9600, 0, 7200}, 0x1DF8, 2)).Str());
    EXPECT_DOUBLE_EQ(29.96875, info.FrameRate.value());
    EXPECT_NE(std::string::npos, info.Summary().find("29.97 frames per second, 2 frames"));
}

TEST(MovieInfoCorruption, EveryTruncatedMovieHeaderSaysItIsCutShort) {
    const std::string whole = Fws(10, StandardBody).Str();
    // Signature, version, length (8), RECT (9), rate and count (4).
    const size_t headerEnd = 8 + 9 + 4;
    for (size_t n = 3; n < headerEnd; ++n) {
        const TMovieInfo info = ReadBytes(whole.substr(0, n));
        EXPECT_EQ(Kind::FlashMovie, info.Kind) << n;
        EXPECT_EQ("its header is cut short", info.Problem) << n;
        EXPECT_FALSE(info.Width.has_value()) << n;
        EXPECT_NE(std::string::npos, info.Summary().find("cut short")) << n;
    }
    EXPECT_EQ("its header says 25 bytes, the file holds 21",
              ReadBytes(whole.substr(0, headerEnd)).Problem);
    EXPECT_EQ("", ReadBytes(whole).Problem);
}

TEST(MovieInfoCorruption, CompressedMovieCutInsideItsZlibHeader) {
    const std::string whole = Cws(10, StandardBody).Str();
    const TMovieInfo info = ReadBytes(whole.substr(0, 8 + 4));
    EXPECT_EQ("its header is cut short", info.Problem);
    EXPECT_EQ(10, info.Version);
}

TEST(MovieInfoCorruption, CompressedMovieThatZlibRejects) {
    Bytes bad;
    bad.Raw("CWS").U8(10).Le32(100).Raw("\x77\x85 this is no zlib stream");
    const TMovieInfo info = ReadBytes(bad.Str());
    EXPECT_EQ(Kind::FlashMovie, info.Kind);
    EXPECT_EQ(TMovieInfo::TFault::Damaged, info.Fault);
    EXPECT_EQ("Flash movie, version 10, zlib-compressed (CWS); damaged: its compressed data is "
              "broken",
              info.Summary());
}

TEST(MovieInfoCorruption, CompressedMovieWhoseBodyEndsBeforeTheFrameCount) {
    Bytes shortBody;
    shortBody.Rect(15, {0, 9600, 0, 7200}).Le16(24 << 8);
    const TMovieInfo info = ReadBytes(Cws(10, shortBody).Str());
    EXPECT_EQ("its header is cut short", info.Problem);
}

TEST(MovieInfoCorruption, SignatureWithoutTheRestOfTheHeader) {
    EXPECT_EQ("Flash movie; cut off: its header is cut short", ReadBytes("FWS").Summary());
    EXPECT_EQ("Flash video; cut off: its header is cut short", ReadBytes("FLV\x01\x05").Summary());
}

TEST(MovieInfoOtherFiles, EmptyTextAndLookalikeFilesAreNoMovies) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "The file is empty."},
        {"Hello, this is a text file.\r\n", "Not a Flash movie or Flash video."},
        {"FW", "Not a Flash movie or Flash video."},
        {"fws\x0a\x20\0\0\0"s, "Not a Flash movie or Flash video."},
        {"GWS\x0a\x20\0\0\0"s, "Not a Flash movie or Flash video."},
        {"FLW\x01\x05\0\0\0\x09"s, "Not a Flash movie or Flash video."},
    };
    for (const auto& c : cases) {
        const TMovieInfo info = ReadBytes(c.first);
        EXPECT_EQ(Kind::Unknown, info.Kind) << c.first;
        EXPECT_EQ(c.second, info.Summary()) << c.first;
    }
}

// FLV: header, the first previous-tag size, then tags each followed by its size.
Bytes FlvHeader(uint8_t flags, uint32_t dataOffset = 9) {
    Bytes b;
    b.Raw("FLV").U8(1).U8(flags).Be32(dataOffset);
    for (uint32_t i = 9; i < dataOffset; ++i)
        b.U8(0xEE);
    return b.Be32(0);
}

Bytes& Tag(Bytes& flv, uint8_t type, const Bytes& data, uint32_t declaredSize = UINT32_MAX) {
    const uint32_t size =
        declaredSize == UINT32_MAX ? static_cast<uint32_t>(data.Size()) : declaredSize;
    flv.U8(type).Be24(size).Be24(0).U8(0).Be24(0).Append(data);
    return flv.Be32(static_cast<uint32_t>(11 + data.Size()));
}

Bytes AmfName(const std::string& name) {
    Bytes b;
    return b.Be16(static_cast<uint32_t>(name.size())).Raw(name);
}

Bytes AmfNumber(const std::string& name, double value) {
    return AmfName(name).U8(0x00).Double(value);
}

Bytes AmfEnd() {
    Bytes b;
    return b.Be16(0).U8(0x09);
}

// "onMetaData" followed by an ECMA array (or an object) of the given properties.
Bytes MetaData(std::initializer_list<Bytes> properties, bool asObject = false) {
    Bytes b;
    b.U8(0x02).Append(AmfName("onMetaData"));
    if (asObject)
        b.U8(0x03);
    else
        b.U8(0x08).Be32(static_cast<uint32_t>(properties.size()));
    for (const Bytes& p : properties)
        b.Append(p);
    return b.Append(AmfEnd());
}

const Bytes AllFour[] = {AmfNumber("duration", 12.5), AmfNumber("width", 320),
                         AmfNumber("height", 240), AmfNumber("framerate", 25)};

Bytes VideoTag() {
    Bytes b;
    return b.U8(0x22).Raw(std::string(40, '\x55'));
}

TEST(MovieInfoCorruption, ANumberNoRealMovieHasIsADamagedHeader) {
    const struct {
        const char* what;
        std::string file;
    } cases[] = {
        {"no size", Fws(8, MovieBody(0, {}, 1 << 8, 1)).Str()},
        {"a width below zero", Fws(8, MovieBody(16, {2000, 100, 0, 200}, 1 << 8, 1)).Str()},
        {"over 16,000 pixels", Fws(8, MovieBody(20, {0, 320020, 0, 200}, 1 << 8, 1)).Str()},
        {"no frame rate", Fws(8, MovieBody(15, {0, 9600, 0, 7200}, 0, 1)).Str()},
        {"a video of 20,000 pixels",
         [] {
             Bytes flv = FlvHeader(0x01);
             Tag(flv, 18, MetaData({AmfNumber("width", 20000), AmfNumber("height", 10)}));
             return Tag(flv, 9, VideoTag()).Str();
         }()},
        {"a video at 2,000 frames per second",
         [] {
             Bytes flv = FlvHeader(0x01);
             Tag(flv, 18, MetaData({AmfNumber("framerate", 2000)}));
             return Tag(flv, 9, VideoTag()).Str();
         }()},
    };
    for (const auto& c : cases) {
        const TMovieInfo info = ReadBytes(c.file);
        EXPECT_EQ(Kind::Damaged, info.Kind) << c.what;
        EXPECT_EQ("This file's header is damaged.", info.Summary()) << c.what;
    }
    // A video of sound alone says its picture is nothing, and is none the worse for it.
    Bytes audio = FlvHeader(0x04);
    Tag(audio, 18, MetaData({AmfNumber("width", 0), AmfNumber("height", 0)}));
    EXPECT_EQ(Kind::FlashVideo, ReadBytes(audio.Str()).Kind);
}

TEST(MovieInfoFlashVideo, HeaderFlagsGiveAudioAndVideo) {
    const struct {
        uint8_t flags;
        bool audio, video;
        const char* text;
    } cases[] = {
        {0x05, true, true, "Flash video with audio and video, Sorenson H.263; no metadata"},
        {0x04, true, false, "Flash video with audio only, Sorenson H.263; no metadata"},
        {0x01, false, true, "Flash video with video only, Sorenson H.263; no metadata"},
        {0x00, false, false,
         "Flash video with neither audio nor video, Sorenson H.263; no metadata"},
        {0xFA, false, false,
         "Flash video with neither audio nor video, Sorenson H.263; no metadata"},
    };
    for (const auto& c : cases) {
        Bytes flv = FlvHeader(c.flags);
        const TMovieInfo info = ReadBytes(Tag(flv, 9, VideoTag()).Str());
        EXPECT_EQ(Kind::FlashVideo, info.Kind);
        EXPECT_EQ(c.audio, info.HasAudio) << int(c.flags);
        EXPECT_EQ(c.video, info.HasVideo) << int(c.flags);
        EXPECT_FALSE(info.HasMetaData);
        EXPECT_EQ(c.text, info.Summary());
    }
}

TEST(MovieInfoFlashVideo, MetaDataGivesDurationSizeAndRate) {
    Bytes flv = FlvHeader(0x05);
    Tag(flv, 18, MetaData({AllFour[0], AllFour[1], AllFour[2], AllFour[3]}));
    const TMovieInfo info = ReadBytes(Tag(flv, 9, VideoTag()).Str());
    EXPECT_EQ("", info.Problem);
    EXPECT_TRUE(info.HasMetaData);
    EXPECT_EQ(12.5, info.Duration.value());
    EXPECT_EQ(320, info.Width.value());
    EXPECT_EQ(240, info.Height.value());
    EXPECT_EQ(25, info.FrameRate.value());
    EXPECT_EQ("Flash video with audio and video, Sorenson H.263: 12.5 seconds, 320 x 240 pixels, "
              "25 frames per second",
              info.Summary());
}

TEST(MovieInfoFlashVideo, MetaDataAsAnObjectAfterALongerHeader) {
    Bytes flv = FlvHeader(0x01, 13);
    Tag(flv, 18, MetaData({AllFour[1], AllFour[2]}, true));
    const TMovieInfo info = ReadBytes(flv.Str());
    EXPECT_EQ(320, info.Width.value());
    EXPECT_EQ(240, info.Height.value());
    EXPECT_FALSE(info.Duration.has_value());
    EXPECT_EQ("Flash video with video only: 320 x 240 pixels", info.Summary());
}

TEST(MovieInfoFlashVideo, OtherValuesInTheMetaDataAreSteppedOver) {
    // Only top-level numbers count: the width and height nested below must not be taken.
    Bytes nested;
    nested.Append(AmfName("keyframes")).U8(0x03).Append(AmfName("times")).U8(0x0A).Be32(3);
    nested.U8(0x00).Double(0).U8(0x00).Double(1).U8(0x05);
    nested.Append(AmfNumber("width", 9999)).Append(AmfEnd());
    nested.Append(AmfName("list")).U8(0x08).Be32(1).Append(AmfNumber("height", 1));
    nested.Append(AmfEnd());
    nested.Append(AmfName("typed")).U8(0x10).Append(AmfName("Point"));
    nested.Append(AmfNumber("width", 7)).Append(AmfEnd());
    Bytes others;
    others.Append(AmfName("stereo")).U8(0x01).U8(1);
    others.Append(AmfName("encoder")).U8(0x02).Append(AmfName("Lavf59.27.100"));
    others.Append(AmfName("created")).U8(0x0B).Double(1.5e12).Be16(0);
    others.Append(AmfName("note")).U8(0x0C).Be32(5).Raw("hello");
    others.Append(AmfName("xml")).U8(0x0F).Be32(4).Raw("<a/>");
    others.Append(AmfName("nothing")).U8(0x05).Append(AmfName("unset")).U8(0x06);
    others.Append(AmfName("again")).U8(0x07).Be16(0).Append(AmfName("odd")).U8(0x0D);
    Bytes flv = FlvHeader(0x05);
    Tag(flv, 18, MetaData({nested, others, AllFour[0], AllFour[3]}));
    const TMovieInfo info = ReadBytes(flv.Str());
    EXPECT_EQ(12.5, info.Duration.value());
    EXPECT_EQ(25, info.FrameRate.value());
    EXPECT_FALSE(info.Width.has_value());
    EXPECT_FALSE(info.Height.has_value());
}

TEST(MovieInfoFlashVideo, UnknownValueTypeEndsTheMetaDataButKeepsWhatCameBefore) {
    Bytes amf3;
    amf3.Append(AmfName("avmplus")).U8(0x11).U8(0x04).U8(0x01);
    Bytes flv = FlvHeader(0x05);
    Tag(flv, 18, MetaData({AllFour[0], amf3, AllFour[1], AllFour[2]}));
    const TMovieInfo info = ReadBytes(flv.Str());
    EXPECT_EQ(12.5, info.Duration.value());
    EXPECT_FALSE(info.Width.has_value());
}

TEST(MovieInfoFlashVideo, MetaDataIsTheFirstScriptTagNamedSo) {
    Bytes cue;
    cue.U8(0x02).Append(AmfName("onCuePoint")).U8(0x03).Append(AmfNumber("width", 1));
    cue.Append(AmfEnd());
    Bytes flv = FlvHeader(0x05);
    Tag(flv, 8, VideoTag());
    Tag(flv, 18, cue);
    Tag(flv, 9, VideoTag());
    Tag(flv, 18, MetaData({AllFour[1], AllFour[2]}));
    Tag(flv, 18, MetaData({AmfNumber("width", 2), AmfNumber("height", 2)}));
    const TMovieInfo info = ReadBytes(flv.Str());
    EXPECT_EQ(320, info.Width.value());
    EXPECT_EQ(240, info.Height.value());
}

TEST(MovieInfoFlashVideo, EmptyMetaDataIsStillMetaData) {
    Bytes flv = FlvHeader(0x04);
    const TMovieInfo info = ReadBytes(Tag(flv, 18, MetaData({})).Str());
    EXPECT_TRUE(info.HasMetaData);
    EXPECT_EQ("Flash video with audio only", info.Summary());
}

TEST(MovieInfoCorruption, VideoWhoseDataOffsetPointsIntoItsHeader) {
    Bytes flv;
    flv.Raw("FLV").U8(1).U8(5).Be32(5).Be32(0);
    const TMovieInfo info = ReadBytes(flv.Str());
    EXPECT_EQ(Kind::FlashVideo, info.Kind);
    EXPECT_EQ("Flash video with audio and video; damaged: its header points into itself",
              info.Summary());
}

TEST(MovieInfoCorruption, VideoWhoseDataOffsetPointsPastTheEnd) {
    Bytes flv;
    flv.Raw("FLV").U8(1).U8(5).Be32(0xFFFFFFF0).Be32(0);
    const TMovieInfo info = ReadBytes(flv.Str());
    EXPECT_EQ("it ends before its first tag", info.Problem);
    EXPECT_FALSE(info.HasMetaData);
}

TEST(MovieInfoCorruption, MetaDataCutShortKeepsTheValuesBeforeTheCut) {
    Bytes flv = FlvHeader(0x05);
    const Bytes meta = MetaData({AllFour[0], AllFour[1], AllFour[2], AllFour[3]});
    Tag(flv, 18, meta);
    const std::string whole = flv.Str();
    const size_t dataStart = 9 + 4 + 11;
    // "onMetaData" (13 bytes), the ECMA array's type and count (5), then "duration" (10), its
    // type and value (9); the frame rate comes last, before the end marker (3).
    const size_t durationEnd = dataStart + 13 + 5 + 10 + 9;
    const size_t frameRateEnd = dataStart + meta.Size() - 3;
    for (size_t n = 3; n <= whole.size(); ++n) {
        const TMovieInfo info = ReadBytes(whole.substr(0, n));
        EXPECT_EQ(Kind::FlashVideo, info.Kind) << n;
        EXPECT_EQ(n >= dataStart + 13, info.HasMetaData) << n;
        EXPECT_EQ(n >= durationEnd, info.Duration.has_value()) << n;
        EXPECT_EQ(n >= frameRateEnd, info.FrameRate.has_value()) << n;
    }
}

TEST(MovieInfoCorruption, DeclaredSizesBeyondTheFileAreNotTrusted) {
    Bytes script;
    script.U8(0x02).Append(AmfName("onMetaData")).U8(0x08).Be32(0xFFFFFFFF);
    script.Append(AmfNumber("width", 64)).Append(AmfName("list")).U8(0x0A).Be32(0xFFFFFFFF);
    script.U8(0x00).Double(1);
    script.Append(AmfName("text")).U8(0x0C).Be32(0xFFFFFFF0);
    Bytes flv = FlvHeader(0x01);
    const TMovieInfo info = ReadBytes(Tag(flv, 18, script, 0xFFFFFF).Str());
    EXPECT_TRUE(info.HasMetaData);
    EXPECT_EQ(64, info.Width.value());
    EXPECT_FALSE(info.Height.has_value());
}

TEST(MovieInfoCorruption, DeeplyNestedMetaDataStopsWithoutExhaustingTheStack) {
    Bytes script;
    script.U8(0x02).Append(AmfName("onMetaData")).U8(0x03).Append(AmfNumber("width", 64));
    for (int i = 0; i < 100000; ++i)
        script.Append(AmfName("a")).U8(0x03);
    Bytes flv = FlvHeader(0x01);
    const TMovieInfo info = ReadBytes(Tag(flv, 18, script).Str());
    EXPECT_EQ(64, info.Width.value());
}

TEST(MovieInfoCorruption, NonsenseNumbersInTheMetaDataAreIgnored) {
    Bytes flv = FlvHeader(0x01);
    Tag(flv, 18,
        MetaData({AmfNumber("duration", std::numeric_limits<double>::quiet_NaN()),
                  AmfNumber("width", -320), AmfNumber("height", 1e300),
                  AmfNumber("framerate", std::numeric_limits<double>::infinity())}));
    const TMovieInfo info = ReadBytes(flv.Str());
    EXPECT_TRUE(info.HasMetaData);
    EXPECT_FALSE(info.Duration || info.Width || info.Height || info.FrameRate);
    EXPECT_EQ("Flash video with video only", info.Summary());
}

TEST(MovieInfoCorruption, MetaDataBeyondTheTagsLookedAtIsNotSought) {
    Bytes flv = FlvHeader(0x05);
    for (int i = 0; i < 32; ++i)
        Tag(flv, 9, VideoTag());
    Tag(flv, 18, MetaData({AllFour[1], AllFour[2]}));
    EXPECT_FALSE(ReadBytes(flv.Str()).HasMetaData);
}

// Files on disk, in a folder that goes when the test ends.
class MovieInfoFiles : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& content) {
        testfiles::WriteFile(folder_ / name, content);
        return folder_ / name;
    }

    testfiles::TempFolder folder_;
};

TEST_F(MovieInfoFiles, MissingFile) {
    const TMovieInfo info = TMovieInfo::Read(folder_ / "gone.swf");
    EXPECT_EQ(Kind::Unreadable, info.Kind);
    EXPECT_EQ("File not found.", info.Summary());
}

TEST_F(MovieInfoFiles, FolderIsNotAMovie) {
    const TMovieInfo info = TMovieInfo::Read(folder_.Path());
    EXPECT_EQ("This is a folder, not a movie.", info.Summary());
    EXPECT_EQ("is a folder, not a movie", info.FaultText());
}

TEST_F(MovieInfoFiles, TextFile) {
    const TMovieInfo info = TMovieInfo::Read(Write("notes.swf", "just some notes\r\n"));
    EXPECT_EQ(Kind::Unknown, info.Kind);
    EXPECT_EQ("Not a Flash movie or Flash video.", info.Summary());
}

TEST_F(MovieInfoFiles, MovieAndVideoFiles) {
    EXPECT_EQ(ReadBytes(Cws(10, StandardBody).Str()).Summary(),
              TMovieInfo::Read(Write("packed.swf", Cws(10, StandardBody).Str())).Summary());
    Bytes flv = FlvHeader(0x05);
    Tag(flv, 18, MetaData({AllFour[0], AllFour[1], AllFour[2], AllFour[3]}));
    EXPECT_EQ("Flash video with audio and video: 12.5 seconds, 320 x 240 pixels, "
              "25 frames per second",
              TMovieInfo::Read(Write("clip.flv", flv.Str())).Summary());
}

TEST_F(MovieInfoFiles, TheCheckNamesTheFileAndWhatKeepsItFromAnInstaller) {
    const std::string swf = testfiles::SwfMovie(1000);
    const std::string cws = "CWS" + swf.substr(3, 5) + Deflate(swf.substr(8));
    const std::pair<std::string, std::string> cases[] = {
        {swf, ""},
        {cws, ""},
        {testfiles::FlvVideo(1000), ""},
        {"", "is empty."},
        {"\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR"s, "is not a Flash movie or Flash video."},
        {"Just a few words.\r\n", "is not a Flash movie or Flash video."},
        {swf.substr(0, 600), "is cut off: its header says 1,000 bytes, the file holds 600."},
        {cws.substr(0, cws.size() - 5), "is cut off: its compressed data ends early."},
        {testfiles::FlvVideo(1000).substr(0, 500),
         "is cut off: the file ends inside its last tag."},
        {Fws(8, MovieBody(15, {0, 9600, 0, 7200}, 0, 1)).Str(),
         "is damaged: its header gives a size or frame rate that no real movie has."},
    };
    for (const auto& [bytes, says] : cases) {
        const std::string path = Write("movie.swf", bytes);
        EXPECT_EQ(TMovieInfo::Check(path), says.empty() ? says : "\"" + path + "\" " + says);
    }
    EXPECT_EQ(TMovieInfo::Check(folder_ / "gone.swf"), "") << "left to opening it";
    EXPECT_EQ(TMovieInfo::Check(folder_.Path()),
              "\"" + folder_.Path() + "\" is a folder, not a movie.");
}

#ifndef _WIN32
TEST_F(MovieInfoFiles, LzmaMoviesAreReadAndCheckedWhole) {
    const std::string zws =
        testfiles::LzmaMovie(testfiles::SwfMovieOn(0x33, 0x66, 0x99), folder_.Path());
    const std::string whole = Write("whole.swf", zws);
    EXPECT_EQ(TMovieInfo::Check(whole), "");
    const TMovieInfo info = TMovieInfo::Read(whole);
    EXPECT_EQ("Flash movie, version 10, LZMA-compressed (ZWS): 480 x 360 pixels, 24 frames per "
              "second, 1 frame",
              info.Summary());
    EXPECT_EQ(info.OwnBackground(), std::optional<core::TColor>(0x996633));
    const std::string cut = Write("cut.swf", zws.substr(0, zws.size() - 20));
    EXPECT_EQ(TMovieInfo::Check(cut),
              "\"" + cut + "\" is cut off: its compressed data ends early.");
    std::string damaged = zws;
    damaged[12] = '\xE1'; // properties no LZMA stream has
    const std::string bad = Write("bad.swf", damaged);
    EXPECT_EQ(TMovieInfo::Check(bad).rfind(
                  "\"" + bad + "\" is damaged: its compressed data is broken", 0),
              0u)
        << TMovieInfo::Check(bad);
}
#endif

// Movies written by a real encoder: made at run time when ffmpeg is on the host's PATH.
class MovieInfoEncoded : public MovieInfoFiles {
protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "ffmpeg is run on the host only";
#else
        if (std::system("ffmpeg -version >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "ffmpeg is not on PATH";
#endif
    }
    std::string Encode(const std::string& name, const std::string& arguments) {
        std::string path = folder_ / name;
        const std::string command = "ffmpeg -nostdin -v error -y " + arguments + " " + path;
        EXPECT_EQ(0, std::system(command.c_str())) << command;
        return path;
    }
};

const char* const TestPicture = "-f lavfi -i testsrc=size=320x240:rate=25:duration=2";

TEST_F(MovieInfoEncoded, FlashMovie) {
    const TMovieInfo info =
        TMovieInfo::Read(Encode("movie.swf", std::string(TestPicture) + " -f swf"));
    EXPECT_EQ("", info.Problem);
    EXPECT_EQ("FWS", info.Signature);
    EXPECT_EQ(320, info.Width.value());
    EXPECT_EQ(240, info.Height.value());
    EXPECT_EQ(25, info.FrameRate.value());
    EXPECT_EQ(50, info.FrameCount.value());
}

TEST_F(MovieInfoEncoded, FlashMovieRecompressedWithZlib) {
    const std::string fws =
        testfiles::ReadFile(Encode("movie.swf", std::string(TestPicture) + " -f swf"));
    const std::string cws = "CWS" + fws.substr(3, 5) + Deflate(fws.substr(8));
    const TMovieInfo info = ReadBytes(cws);
    EXPECT_EQ("", info.Problem);
    EXPECT_EQ(TMovieInfo::TCompression::Zlib, info.Compression);
    EXPECT_EQ(ReadBytes(fws).FileLength, info.FileLength);
    EXPECT_EQ(320, info.Width.value());
    EXPECT_EQ(50, info.FrameCount.value());
}

TEST_F(MovieInfoEncoded, FlashVideoWithAudio) {
    const TMovieInfo info = TMovieInfo::Read(
        Encode("video.flv", std::string(TestPicture) +
                                " -f lavfi -i sine=duration=2:sample_rate=22050 -c:v flv1 "
                                "-c:a adpcm_swf -f flv"));
    EXPECT_EQ("", info.Problem);
    EXPECT_TRUE(info.HasAudio);
    EXPECT_TRUE(info.HasVideo);
    EXPECT_TRUE(info.HasMetaData);
    EXPECT_NEAR(2, info.Duration.value(), 0.2);
    EXPECT_EQ(320, info.Width.value());
    EXPECT_EQ(240, info.Height.value());
    EXPECT_EQ(25, info.FrameRate.value());
}

TEST_F(MovieInfoEncoded, FlashVideoWithoutAudio) {
    const TMovieInfo info =
        TMovieInfo::Read(Encode("video.flv", std::string(TestPicture) + " -an -c:v flv1 -f flv"));
    EXPECT_FALSE(info.HasAudio);
    EXPECT_TRUE(info.HasVideo);
    EXPECT_EQ(320, info.Width.value());
}

TEST_F(MovieInfoEncoded, FlashVideoInH264IsWarnedOf) {
    const TMovieInfo info = TMovieInfo::Read(
        Encode("video.flv", std::string(TestPicture) + " -an -c:v libx264 -f flv"));
    EXPECT_EQ(0u, info.Summary().find("Flash video with video only, H.264: ")) << info.Summary();
    EXPECT_NE(std::string::npos, info.Warning().find("WebCodecs"));
}

TEST_F(MovieInfoEncoded, FlashVideoWithoutMetaData) {
    // An FLV with its script tag taken out: the header and the tags after it stay valid.
    const std::string flv = testfiles::ReadFile(
        Encode("video.flv", std::string(TestPicture) + " -an -c:v flv1 -f flv"));
    const size_t tag = 9 + 4;
    ASSERT_EQ(18, flv[tag]);
    const size_t size =
        (uint8_t(flv[tag + 1]) << 16) | (uint8_t(flv[tag + 2]) << 8) | uint8_t(flv[tag + 3]);
    const std::string stripped = flv.substr(0, tag) + flv.substr(tag + 11 + size + 4);
    const TMovieInfo info = ReadBytes(stripped);
    EXPECT_EQ("", info.Problem);
    EXPECT_FALSE(info.HasMetaData);
    EXPECT_EQ("Flash video with video only, Sorenson H.263; no metadata", info.Summary());
}

TEST(MovieInfoFlashVideo, TheCodecOfTheFirstVideoTagAndWhetherTheWebPlayerDecodesIt) {
    const struct {
        uint8_t first; // frame type and codec
        const char* codec;
        const char* warning;
    } cases[] = {
        {0x12, "Sorenson H.263", ""},
        {0x13, "Screen video", ""},
        {0x14, "On2 VP6", ""},
        {0x25, "On2 VP6 with alpha", ""},
        {0x16, "Screen video 2",
         "Installed wallpapers cannot show this video: the web player does not decode Screen "
         "video 2."},
        {0x17, "H.264",
         "Installed wallpapers show H.264 only in browsers with WebCodecs; Sorenson H.263 or VP6 "
         "plays everywhere."},
        {0x1B, "codec 11",
         "Installed wallpapers cannot show this video: the web player does not decode codec 11."},
    };
    for (const auto& c : cases) {
        Bytes flv = FlvHeader(0x01);
        Bytes video;
        video.U8(c.first).Raw("picture");
        Tag(flv, 8, VideoTag());
        Tag(flv, 9, video);
        Tag(flv, 9, VideoTag());
        const TMovieInfo info = ReadBytes(flv.Str());
        EXPECT_EQ("Flash video with video only, " + std::string(c.codec) + "; no metadata",
                  info.Summary());
        EXPECT_EQ(c.warning, info.Warning());
    }
    EXPECT_EQ("", ReadBytes(Fws(10, StandardBody).Str()).Warning());
}

} // namespace
