#include "Lzma.h"

#include <algorithm>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include "Bytes.h"
#include "Errors.h"

namespace rtl {

namespace {

constexpr int InputBufferSize = 65536;
constexpr uint32_t TopValue = uint32_t(1) << 24;
constexpr int ProbabilityBits = 11;
constexpr uint16_t InitialProbability = (1 << ProbabilityBits) / 2;
constexpr int MoveBits = 5;
constexpr int States = 12;
constexpr int MaxPositionBits = 4;
constexpr int MatchMinLength = 2;
constexpr int EndPositionModel = 14;
constexpr int FullDistances = 1 << (EndPositionModel >> 1);
constexpr int AlignBits = 4;
constexpr int LengthStates = 4;

[[noreturn]] void Damaged(const char* why) {
    throw ECompressionError(why);
}

} // namespace

namespace {

// The range decoder, copied into locals for each symbol so that its fields stay in registers:
// the window's bytes, written between symbols, could otherwise be any of them.
struct TCoder {
    uint32_t Range = 0xFFFFFFFF;
    uint32_t Code = 0;
    const uint8_t* In = nullptr;
    const uint8_t* InEnd = nullptr;
    // Refills In and InEnd from the source, or marks the input ended.
    TLzmaDecompressionStream::State* Owner = nullptr;

    uint8_t NextByte();
    void Normalize() {
        if (Range < TopValue) {
            Range <<= 8;
            Code = Code << 8 | (In != InEnd ? *In++ : NextByte());
        }
    }
    unsigned Bit(uint16_t& p) {
        const uint32_t bound = (Range >> ProbabilityBits) * p;
        unsigned bit;
        if (Code < bound) {
            Range = bound;
            p = static_cast<uint16_t>(p + (((1 << ProbabilityBits) - p) >> MoveBits));
            bit = 0;
        } else {
            Range -= bound;
            Code -= bound;
            p = static_cast<uint16_t>(p - (p >> MoveBits));
            bit = 1;
        }
        Normalize();
        return bit;
    }
    uint32_t DirectBits(int count) {
        uint32_t result = 0;
        for (; count > 0; --count) {
            Range >>= 1;
            Code -= Range;
            const uint32_t t = 0 - (Code >> 31);
            Code += Range & t;
            if (Code == Range)
                Damaged("damaged data");
            Normalize();
            result = (result << 1) + (t + 1);
        }
        return result;
    }
    uint32_t Tree(uint16_t* probs, int bits) {
        uint32_t m = 1;
        for (int i = 0; i < bits; ++i)
            m = (m << 1) + Bit(probs[m]);
        return m - (uint32_t(1) << bits);
    }
    uint32_t ReverseTree(uint16_t* probs, int bits) {
        uint32_t m = 1, symbol = 0;
        for (int i = 0; i < bits; ++i) {
            const unsigned bit = Bit(probs[m]);
            m = (m << 1) + bit;
            symbol |= bit << i;
        }
        return symbol;
    }
};

} // namespace

struct TLzmaDecompressionStream::State {
    // Input, from the source in pieces or from memory in place.
    TStream* Source = nullptr;
    std::vector<uint8_t> Buffer;
    bool InputEnded = false;

    TCoder Coder;
    bool Started = false;

    int Lc = 0, Lp = 0, Pb = 0;
    uint32_t Dictionary = 0;
    int64_t Unpacked = -1;

    // The window: grows up to Capacity as output is made, then wraps.
    std::vector<uint8_t> Window;
    size_t Capacity = 0;
    size_t At = 0; // where the next byte goes
    uint64_t Total = 0;

    std::vector<uint16_t> Literal;
    uint16_t IsMatch[States << MaxPositionBits];
    uint16_t IsRep[States], IsRepG0[States], IsRepG1[States], IsRepG2[States];
    uint16_t IsRep0Long[States << MaxPositionBits];
    uint16_t PosSlot[LengthStates][1 << 6];
    uint16_t PosDecoders[1 + FullDistances - EndPositionModel];
    uint16_t Align[1 << AlignBits];
    struct TLength {
        uint16_t Choice, Choice2;
        uint16_t Low[1 << MaxPositionBits][1 << 3];
        uint16_t Mid[1 << MaxPositionBits][1 << 3];
        uint16_t High[1 << 8];
    } Length, RepLength;

    int Kind = 0; // the coder's state of the last symbols, 0 to 11
    uint32_t Rep[4] = {};
    uint32_t Pending = 0; // bytes of a match still to copy
    bool Ended = false;
    bool Complete = false;

    // The next piece of input, or an empty one once it has ended.
    std::pair<const uint8_t*, const uint8_t*> Refill() {
        int64_t n = 0;
        if (Source != nullptr && !InputEnded)
            n = std::max<int64_t>(Source->Read(Buffer.data(), InputBufferSize), 0);
        InputEnded = n == 0;
        return {Buffer.data(), Buffer.data() + n};
    }
    // Inlined, as the coder's fields stay in registers only where its address never leaves.
    [[gnu::always_inline]] static uint32_t LengthOf(TCoder& c, TLength& length, uint32_t posState) {
        if (c.Bit(length.Choice) == 0)
            return c.Tree(length.Low[posState], 3);
        if (c.Bit(length.Choice2) == 0)
            return 8 + c.Tree(length.Mid[posState], 3);
        return 16 + c.Tree(length.High, 8);
    }
    [[gnu::always_inline]] uint32_t DistanceOf(TCoder& c, uint32_t length) {
        const uint32_t slot = c.Tree(PosSlot[std::min<uint32_t>(length, LengthStates - 1)], 6);
        if (slot < 4)
            return slot;
        const int direct = static_cast<int>((slot >> 1) - 1);
        uint32_t distance = (2 | (slot & 1)) << direct;
        if (slot < EndPositionModel)
            return distance + c.ReverseTree(PosDecoders + distance - slot, direct);
        distance += c.DirectBits(direct - AlignBits) << AlignBits;
        return distance + c.ReverseTree(Align, AlignBits);
    }

    uint8_t Back(uint32_t distance) const {
        // distance 0 is the byte last written; the caller has checked it was written, so
        // before the window is full At is past it.
        return Window[At > distance ? At - distance - 1 : At + Window.size() - distance - 1];
    }
    void Put(uint8_t byte) {
        if (At == Window.size())
            Grow();
        Window[At++] = byte;
        ++Total;
    }
    void Grow() {
        if (Window.size() < Capacity)
            Window.resize(std::min(Capacity, std::max<size_t>(Window.size() * 2, 1 << 16)));
        else
            At = 0;
    }

    void Start(const uint8_t* properties) {
        const unsigned d = properties[0];
        if (d >= 9 * 5 * 5)
            Damaged("its properties are no LZMA stream's");
        Lc = static_cast<int>(d % 9);
        Lp = static_cast<int>(d / 9 % 5);
        Pb = static_cast<int>(d / 45);
        Dictionary = LoadLe32(properties + 1);
        uint64_t window = std::max<uint32_t>(Dictionary, 1 << 12);
        if (Unpacked >= 0)
            window = std::min<uint64_t>(window, std::max<int64_t>(Unpacked, 1));
        if (window > MaxLzmaDictionary)
            Damaged("it asks for a dictionary larger than 1 GiB");
        Capacity = static_cast<size_t>(window);
        Literal.assign(size_t(0x300) << (Lc + Lp), InitialProbability);
        std::fill_n(IsMatch, sizeof IsMatch / 2, InitialProbability);
        std::fill_n(IsRep, States, InitialProbability);
        std::fill_n(IsRepG0, States, InitialProbability);
        std::fill_n(IsRepG1, States, InitialProbability);
        std::fill_n(IsRepG2, States, InitialProbability);
        std::fill_n(IsRep0Long, sizeof IsRep0Long / 2, InitialProbability);
        std::fill_n(&PosSlot[0][0], sizeof PosSlot / 2, InitialProbability);
        std::fill_n(PosDecoders, sizeof PosDecoders / 2, InitialProbability);
        std::fill_n(Align, sizeof Align / 2, InitialProbability);
        std::fill_n(&Length.Choice, sizeof Length / 2, InitialProbability);
        std::fill_n(&RepLength.Choice, sizeof RepLength / 2, InitialProbability);
    }

    // The first five bytes: a zero, then the code.
    void StartRange() {
        Started = true;
        Coder.Owner = this;
        if (Coder.NextByte() != 0 && !InputEnded)
            Damaged("damaged data");
        for (int i = 0; i < 4; ++i)
            Coder.Code = Coder.Code << 8 | Coder.NextByte();
        if (Coder.Code == Coder.Range && !InputEnded)
            Damaged("damaged data");
    }

    // Decodes the next symbol: a literal is put in the window, a match leaves Pending.
    // Returns false at the end, or where the input ended before the symbol did.
    bool Step() {
        if (!Started)
            StartRange();
        if (InputEnded)
            return false;
        TCoder c = Coder;
        const bool decoded = Decode(c);
        Coder = c;
        return decoded;
    }
    [[gnu::always_inline]] bool Decode(TCoder& c) {
        const uint32_t posState = static_cast<uint32_t>(Total) & ((1u << Pb) - 1);
        if (c.Bit(IsMatch[(Kind << MaxPositionBits) + posState]) == 0) {
            const uint8_t previous = Total > 0 ? Back(0) : 0;
            uint16_t* probs = Literal.data() +
                              0x300 * (((static_cast<uint32_t>(Total) & ((1u << Lp) - 1)) << Lc) +
                                       (previous >> (8 - Lc)));
            uint32_t symbol = 1;
            if (Kind >= 7) {
                uint32_t match = Back(Rep[0]);
                while (symbol < 0x100) {
                    const uint32_t matchBit = (match >> 7) & 1;
                    match <<= 1;
                    const unsigned bit = c.Bit(probs[((1 + matchBit) << 8) + symbol]);
                    symbol = symbol << 1 | bit;
                    if (matchBit != bit)
                        break;
                }
            }
            while (symbol < 0x100)
                symbol = symbol << 1 | c.Bit(probs[symbol]);
            if (InputEnded)
                return false;
            Put(static_cast<uint8_t>(symbol));
            Kind = Kind < 4 ? 0 : Kind < 10 ? Kind - 3 : Kind - 6;
            return true;
        }
        uint32_t length;
        if (c.Bit(IsRep[Kind]) != 0) {
            if (Total == 0)
                Damaged("damaged data");
            if (c.Bit(IsRepG0[Kind]) == 0) {
                if (c.Bit(IsRep0Long[(Kind << MaxPositionBits) + posState]) == 0) {
                    if (InputEnded)
                        return false;
                    Kind = Kind < 7 ? 9 : 11;
                    Put(Back(Rep[0]));
                    return true;
                }
            } else {
                uint32_t distance;
                if (c.Bit(IsRepG1[Kind]) == 0) {
                    distance = Rep[1];
                } else {
                    if (c.Bit(IsRepG2[Kind]) == 0) {
                        distance = Rep[2];
                    } else {
                        distance = Rep[3];
                        Rep[3] = Rep[2];
                    }
                    Rep[2] = Rep[1];
                }
                Rep[1] = Rep[0];
                Rep[0] = distance;
            }
            length = LengthOf(c, RepLength, posState);
            Kind = Kind < 7 ? 8 : 11;
        } else {
            Rep[3] = Rep[2];
            Rep[2] = Rep[1];
            Rep[1] = Rep[0];
            length = LengthOf(c, Length, posState);
            Kind = Kind < 7 ? 7 : 10;
            Rep[0] = DistanceOf(c, length);
            if (InputEnded)
                return false;
            if (Rep[0] == 0xFFFFFFFF) {
                // The end marker; the code is zero after it in data that ends there. Before the
                // size given, the data is cut short.
                if (c.Code != 0)
                    Damaged("damaged data");
                Complete = Unpacked < 0;
                return false;
            }
        }
        if (InputEnded)
            return false;
        if (Rep[0] >= Total || Rep[0] >= Capacity)
            Damaged("a match reaches before the start of the data");
        Pending = length + MatchMinLength;
        return true;
    }
};

namespace {

inline uint8_t TCoder::NextByte() {
    if (In == InEnd)
        std::tie(In, InEnd) = Owner->Refill();
    return In != InEnd ? *In++ : 0;
}

} // namespace

TLzmaDecompressionStream::TLzmaDecompressionStream(TStream& source, const uint8_t* properties,
                                                   int64_t unpackedSize)
    : state_(new State()) {
    state_->Source = &source;
    state_->Buffer.resize(InputBufferSize);
    state_->Coder.In = state_->Coder.InEnd = state_->Buffer.data();
    state_->Unpacked = unpackedSize;
    state_->Start(properties);
}

TLzmaDecompressionStream::TLzmaDecompressionStream(const uint8_t* data, int64_t size,
                                                   const uint8_t* properties, int64_t unpackedSize)
    : state_(new State()) {
    state_->Coder.In = data;
    state_->Coder.InEnd = data + size;
    state_->Unpacked = unpackedSize;
    state_->Start(properties);
}

TLzmaDecompressionStream::~TLzmaDecompressionStream() = default;

int64_t TLzmaDecompressionStream::Read(void* buffer, int64_t count) {
    State& s = *state_;
    auto* out = static_cast<uint8_t*>(buffer);
    int64_t done = 0;
    while (done < count && !s.Ended) {
        if (s.Unpacked >= 0 && s.Total == static_cast<uint64_t>(s.Unpacked)) {
            s.Ended = s.Complete = true;
            break;
        }
        if (s.Pending > 0) {
            uint64_t n = std::min<uint64_t>(s.Pending, static_cast<uint64_t>(count - done));
            if (s.Unpacked >= 0)
                n = std::min<uint64_t>(n, static_cast<uint64_t>(s.Unpacked) - s.Total);
            s.Pending -= static_cast<uint32_t>(n);
            s.Total += n;
            // In runs that neither end of the window breaks.
            const size_t distance = s.Rep[0];
            while (n > 0) {
                if (s.At == s.Window.size())
                    s.Grow();
                const size_t size = s.Window.size();
                const size_t from =
                    s.At > distance ? s.At - distance - 1 : s.At + size - distance - 1;
                const size_t run =
                    static_cast<size_t>(std::min<uint64_t>(n, std::min(size - s.At, size - from)));
                uint8_t* window = s.Window.data();
                if (from + run <= s.At || s.At + run <= from) {
                    std::memcpy(window + s.At, window + from, run);
                } else if (from > s.At) {
                    std::memmove(window + s.At, window + from, run);
                } else {
                    // A source just behind what is written repeats it: byte by byte.
                    for (size_t i = 0; i < run; ++i)
                        window[s.At + i] = window[from + i];
                }
                std::memcpy(out + done, window + s.At, run);
                s.At += run;
                done += static_cast<int64_t>(run);
                n -= run;
            }
            continue;
        }
        if (!s.Step()) {
            s.Ended = true;
            break;
        }
        if (s.Pending == 0)
            out[done++] = s.Back(0);
    }
    return done;
}

int64_t TLzmaDecompressionStream::Write(const void*, int64_t) {
    throw ECompressionError();
}

int64_t TLzmaDecompressionStream::Seek(int64_t offset, SeekOrigin origin) {
    if (offset == 0 && origin == SeekOrigin::Current)
        return static_cast<int64_t>(state_->Total);
    throw ECompressionError();
}

void TLzmaDecompressionStream::CheckEnd() {
    uint8_t dropped[4096];
    while (Read(dropped, sizeof dropped) > 0) {
    }
    if (!state_->Complete)
        throw EReadError("The LZMA data ends early.");
}

} // namespace rtl
