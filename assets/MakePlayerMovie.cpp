// Writes nsFLVPlayer.dat, the movie the preview loads to play a video and hands the video's
// path as FLVPath: for now a valid movie of one empty frame at the preview's size.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

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
    // A tag with a short header: the code in the upper ten bits, the length in the lower six.
    void Tag(uint32_t code, const std::vector<uint8_t>& body) {
        Le16(code << 6 | static_cast<uint32_t>(body.size()));
        bytes_.insert(bytes_.end(), body.begin(), body.end());
    }
    std::vector<uint8_t>& Bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    uint32_t pending_ = 0;
    int pendingCount_ = 0;
};

constexpr int TwipsPerPixel = 20;
constexpr int Width = 480;
constexpr int Height = 360;
constexpr int FrameRate = 24;
constexpr int Version = 10;

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-player-movie OUTPUT\n");
        return 2;
    }
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
    body.Tag(1, {}); // ShowFrame
    body.Tag(0, {}); // End

    Writer movie;
    movie.U8('F');
    movie.U8('W');
    movie.U8('S');
    movie.U8(Version);
    movie.Le32(static_cast<uint32_t>(8 + body.Bytes().size()));
    const std::vector<uint8_t>& head = movie.Bytes();
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written =
        std::fwrite(head.data(), 1, head.size(), out) == head.size() &&
        std::fwrite(body.Bytes().data(), 1, body.Bytes().size(), out) == body.Bytes().size();
    if (std::fclose(out) != 0 || !written) {
        std::perror(argv[1]);
        // A partial movie must not pass for a made one in the next build.
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
