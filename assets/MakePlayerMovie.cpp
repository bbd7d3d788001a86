// Writes the video player movie, both nsFLVPlayer.dat (the preview loads it and hands it the
// video's path as FLVPath) and FLVPlayer.swf (the installed page hands it the video's name as
// "file"). A wallpaper video runs for as long as the desktop shows, so the video always loops.
// A movie of ActionScript 1 actions, assembled here:
//   Stage.scaleMode = "noScale"; Stage.align = "TL";
//   nc = new NetConnection(); nc.connect(null);
//   ns = new NetStream(nc); video.attachVideo(ns);
//   ns.onStatus = function (info) {
//       if (info.code == "NetStream.Play.Stop")
//           ns.play(current);
//   };
//   ns.onMetaData = function (info) { videoWidth = info.width; videoHeight = info.height; fit(); };
//   fit = function () { ... the video centred, as large as the stage allows with its aspect kept
//       (scale "showAll" or none), covering the stage with its aspect kept ("noBorder"), or
//       stretched over it ("exactFit") };
//   listener = new Object(); listener.onResize = fit; Stage.addListener(listener); fit();
//   onEnterFrame = function () {
//       path = FLVPath; if (!path) path = file;
//       if (path && path != current) { current = path; ns.play(path); }
//   };
//   flash.external.ExternalInterface.addCallback("SetVariable", null,
//       function (name, value) { _root[name] = value; fit(); });
//   stop();
// The path is watched every frame because the preview sets FLVPath after the movie has loaded.
// The web player restarts a stream that has ended with play, not with seek(0).
//     make-player-movie OUTPUT...
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using TBytes = std::vector<uint8_t>;

class Writer {
public:
    void U8(uint32_t v) { bytes_.push_back(static_cast<uint8_t>(v)); }
    void Le16(uint32_t v) {
        U8(v);
        U8(v >> 8);
    }
    void Le32(uint32_t v) {
        Le16(v);
        Le16(v >> 16);
    }
    void Text(const std::string& text) {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        U8(0);
    }
    void Append(const TBytes& bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }
    // Signed fields of a given width, most significant bit first, padded to a byte.
    void Bits(uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            pending_ = pending_ << 1 | ((value >> i) & 1);
            if (++pendingCount_ == 8)
                Flush();
        }
    }
    void Flush() {
        if (pendingCount_ == 0)
            return;
        U8(pending_ << (8 - pendingCount_));
        pending_ = 0;
        pendingCount_ = 0;
    }
    // A tag: the code in the upper ten bits, the length in the lower six, or 63 and a 32-bit
    // length after it.
    void Tag(uint32_t code, const TBytes& body) {
        if (body.size() < 63) {
            Le16(code << 6 | static_cast<uint32_t>(body.size()));
        } else {
            Le16(code << 6 | 63);
            Le32(static_cast<uint32_t>(body.size()));
        }
        Append(body);
    }
    TBytes& Bytes() { return bytes_; }

private:
    TBytes bytes_;
    uint32_t pending_ = 0;
    int pendingCount_ = 0;
};

// A value for Push: a string, a 32-bit integer, or null.
struct TValue {
    TValue(const char* text) : Kind(0), Text(text) {}
    TValue(int32_t number) : Kind(7), Number(number) {}
    TValue(std::nullptr_t) : Kind(2) {}
    uint8_t Kind;
    std::string Text;
    int32_t Number = 0;
};

enum TOp : uint8_t {
    Stop = 0x07,
    Subtract = 0x0B,
    Multiply = 0x0C,
    Divide = 0x0D,
    And = 0x10,
    Not = 0x12,
    Pop = 0x17,
    GetVariable = 0x1C,
    SetVariable = 0x1D,
    CallFunction = 0x3D,
    NewObject = 0x40,
    Equals2 = 0x49,
    GetMember = 0x4E,
    SetMember = 0x4F,
    CallMethod = 0x52,
    Greater = 0x67,
    Jump = 0x99,
    DefineFunction = 0x9B,
    If = 0x9D,
    Push = 0x96,
};

// Actions as the player runs them: one byte each, those from 0x80 up with a 16-bit length and
// their data. Branch offsets count from the start of the next action.
class Actions {
public:
    using TBody = std::function<void(Actions&)>;

    Actions& Op(TOp code) {
        out_.U8(code);
        return *this;
    }
    Actions& Values(std::initializer_list<TValue> values) {
        Writer data;
        for (const TValue& v : values) {
            data.U8(v.Kind);
            if (v.Kind == 0)
                data.Text(v.Text);
            else if (v.Kind == 7)
                data.Le32(static_cast<uint32_t>(v.Number));
        }
        return Record(Push, data.Bytes());
    }
    Actions& Get(const char* name) { return Values({name}).Op(GetVariable); }
    // object.member, the object's name given.
    Actions& Get(const char* object, const char* member) {
        return Get(object).Values({member}).Op(GetMember);
    }
    // Calls object.method with arguments that args pushes in reverse order; drops the result.
    Actions& Call(const char* object, const char* method, int32_t count, const TBody& args) {
        args(*this);
        Values({count});
        return Get(object).Values({method}).Op(CallMethod).Op(Pop);
    }
    // Runs body when the value on the stack is false (or true, when unless is false).
    Actions& Unless(const TBody& body, bool unless = true) {
        if (!unless)
            Op(Not);
        const TBytes inner = Assemble(body);
        Branch(If, inner.size());
        out_.Append(inner);
        return *this;
    }
    Actions& When(const TBody& body) { return Unless(body, false); }
    Actions& WhenElse(const TBody& then, const TBody& otherwise) {
        const TBytes second = Assemble(otherwise);
        TBytes first = Assemble(then);
        Actions jump;
        jump.Branch(Jump, second.size());
        first.insert(first.end(), jump.out_.Bytes().begin(), jump.out_.Bytes().end());
        Op(Not);
        Branch(If, first.size());
        out_.Append(first);
        out_.Append(second);
        return *this;
    }
    // Pushes an anonymous function.
    Actions& Function(std::initializer_list<const char*> params, const TBody& body) {
        const TBytes code = Assemble(body);
        Writer data;
        data.Text("");
        data.Le16(static_cast<uint32_t>(params.size()));
        for (const char* param : params)
            data.Text(param);
        data.Le16(static_cast<uint32_t>(code.size()));
        Record(DefineFunction, data.Bytes());
        out_.Append(code);
        return *this;
    }
    TBytes& Bytes() { return out_.Bytes(); }

private:
    static TBytes Assemble(const TBody& body) {
        Actions inner;
        body(inner);
        return inner.out_.Bytes();
    }
    Actions& Record(TOp code, const TBytes& data) {
        out_.U8(code);
        out_.Le16(static_cast<uint32_t>(data.size()));
        out_.Append(data);
        return *this;
    }
    void Branch(TOp code, size_t skip) {
        Writer offset;
        offset.Le16(static_cast<uint32_t>(skip));
        Record(code, offset.Bytes());
    }

    Writer out_;
};

// The video centred on the stage and fitted to it as the variable scale says: whole with its
// aspect kept unless it says "noBorder" (covering the stage with the aspect kept) or "exactFit"
// (stretched over it).
void Fit(Actions& a) {
    a.Values({"fitWidth"}).Get("Stage", "width").Op(SetVariable);
    a.Values({"fitHeight"}).Get("Stage", "height").Op(SetVariable);
    a.Get("videoWidth").Values({0}).Op(Greater).Get("videoHeight").Values({0}).Op(Greater).Op(And);
    a.Get("scale").Values({"exactFit"}).Op(Equals2).Op(Not).Op(And);
    a.When([](Actions& b) {
        // A stage wider than the video narrows the picture to the stage's height, unless it is
        // to cover the stage; then the other way round.
        b.Get("fitWidth").Get("videoHeight").Op(Multiply);
        b.Get("fitHeight").Get("videoWidth").Op(Multiply).Op(Greater);
        b.Get("scale").Values({"noBorder"}).Op(Equals2).Op(Equals2).Op(Not);
        b.WhenElse(
            [](Actions& wide) {
                wide.Values({"fitWidth"}).Get("fitHeight").Get("videoWidth").Op(Multiply);
                wide.Get("videoHeight").Op(Divide).Op(SetVariable);
            },
            [](Actions& tall) {
                tall.Values({"fitHeight"}).Get("fitWidth").Get("videoHeight").Op(Multiply);
                tall.Get("videoWidth").Op(Divide).Op(SetVariable);
            });
    });
    a.Get("video").Values({"_width"}).Get("fitWidth").Op(SetMember);
    a.Get("video").Values({"_height"}).Get("fitHeight").Op(SetMember);
    a.Get("video").Values({"_x"}).Get("Stage", "width").Get("fitWidth").Op(Subtract);
    a.Values({2}).Op(Divide).Op(SetMember);
    a.Get("video").Values({"_y"}).Get("Stage", "height").Get("fitHeight").Op(Subtract);
    a.Values({2}).Op(Divide).Op(SetMember);
}

void OnStatus(Actions& a) {
    a.Get("info", "code").Values({"NetStream.Play.Stop"}).Op(Equals2);
    a.When([](Actions& b) { b.Call("ns", "play", 1, [](Actions& args) { args.Get("current"); }); });
}

void OnMetaData(Actions& a) {
    a.Values({"videoWidth"}).Get("info", "width").Op(SetVariable);
    a.Values({"videoHeight"}).Get("info", "height").Op(SetVariable);
    a.Values({0, "fit"}).Op(CallFunction).Op(Pop);
}

void OnEnterFrame(Actions& a) {
    a.Values({"path"}).Get("FLVPath").Op(SetVariable);
    a.Get("path").Unless([](Actions& b) { b.Values({"path"}).Get("file").Op(SetVariable); });
    a.Get("path").Get("path").Get("current").Op(Equals2).Op(Not).Op(And);
    a.When([](Actions& b) {
        b.Values({"current"}).Get("path").Op(SetVariable);
        b.Call("ns", "play", 1, [](Actions& args) { args.Get("path"); });
    });
}

TBytes Script() {
    Actions a;
    a.Get("Stage").Values({"scaleMode", "noScale"}).Op(SetMember);
    a.Get("Stage").Values({"align", "TL"}).Op(SetMember);
    a.Values({"nc", 0, "NetConnection"}).Op(NewObject).Op(SetVariable);
    a.Call("nc", "connect", 1, [](Actions& args) { args.Values({nullptr}); });
    a.Values({"ns"}).Get("nc").Values({1, "NetStream"}).Op(NewObject).Op(SetVariable);
    a.Call("video", "attachVideo", 1, [](Actions& args) { args.Get("ns"); });
    a.Get("ns").Values({"onStatus"}).Function({"info"}, OnStatus).Op(SetMember);
    a.Get("ns").Values({"onMetaData"}).Function({"info"}, OnMetaData).Op(SetMember);
    a.Values({"fit"}).Function({}, Fit).Op(SetVariable);
    a.Values({"listener", 0, "Object"}).Op(NewObject).Op(SetVariable);
    a.Get("listener").Values({"onResize"}).Get("fit").Op(SetMember);
    a.Call("Stage", "addListener", 1, [](Actions& args) { args.Get("listener"); });
    a.Values({0, "fit"}).Op(CallFunction).Op(Pop);
    a.Values({"onEnterFrame"}).Function({}, OnEnterFrame).Op(SetVariable);
    // flash.external.ExternalInterface.addCallback("SetVariable", null, function ...)
    a.Function({"name", "value"}, [](Actions& b) {
        b.Get("_root").Get("name").Get("value").Op(SetMember);
        b.Values({0, "fit"}).Op(CallFunction).Op(Pop);
    });
    a.Values({nullptr, "SetVariable", 3}).Get("flash", "external");
    a.Values({"ExternalInterface"}).Op(GetMember).Values({"addCallback"}).Op(CallMethod).Op(Pop);
    a.Op(Stop);
    a.Bytes().push_back(0); // End
    return a.Bytes();
}

constexpr int TwipsPerPixel = 20;
constexpr int Width = 480;
constexpr int Height = 360;
constexpr int FrameRate = 24;
constexpr int Version = 8;
constexpr uint16_t VideoId = 1;
constexpr int SorensonH263 = 2;

TBytes Movie() {
    Writer body;
    // The frame RECT: 15-bit fields hold 9600 twips with the sign bit.
    const int nbits = 15;
    body.Bits(nbits, 5);
    body.Bits(0, nbits);
    body.Bits(Width * TwipsPerPixel, nbits);
    body.Bits(0, nbits);
    body.Bits(Height * TwipsPerPixel, nbits);
    body.Flush();
    body.Le16(FrameRate << 8);
    body.Le16(1);
    // Version 8 and later need FileAttributes first; no flags: local playback, ActionScript 2.
    body.Tag(69, {0, 0, 0, 0});
    body.Tag(9, {0, 0, 0}); // SetBackgroundColor: black

    // DefineVideoStream of the stage's size, since the web player draws a stream at its video
    // object's size; smoothing on.
    Writer video;
    video.Le16(VideoId);
    video.Le16(0); // frames: fed by a NetStream
    video.Le16(Width);
    video.Le16(Height);
    video.U8(1);
    video.U8(SorensonH263);
    body.Tag(60, video.Bytes());

    // PlaceObject2 with a character and a name, at depth 1.
    Writer place;
    place.U8(0x22);
    place.Le16(1);
    place.Le16(VideoId);
    place.Text("video");
    body.Tag(26, place.Bytes());

    body.Tag(12, Script()); // DoAction
    body.Tag(1, {});        // ShowFrame
    body.Tag(0, {});        // End

    Writer movie;
    movie.U8('F');
    movie.U8('W');
    movie.U8('S');
    movie.U8(Version);
    movie.Le32(static_cast<uint32_t>(8 + body.Bytes().size()));
    movie.Append(body.Bytes());
    return movie.Bytes();
}

bool Save(const char* path, const TBytes& bytes) {
    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr) {
        std::perror(path);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (std::fclose(out) != 0 || !written) {
        std::perror(path);
        // A partial movie must not pass for a made one in the next build.
        std::remove(path);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make-player-movie OUTPUT...\n");
        return 2;
    }
    const TBytes movie = Movie();
    for (int i = 1; i < argc; ++i)
        if (!Save(argv[i], movie))
            return 1;
    return 0;
}
