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

    // Decodes into the window from At up to limit, which the window reaches; a match that goes
    // past it is left in Pending. Sets Ended at the end of the data, and where the input ended
    // before a symbol did, which is then not written. The coder and the window's place are
    // kept in locals, so that writing the window's bytes cannot be taken to change them.
    void Fill(size_t limit) {
        if (!Started)
            StartRange();
        if (InputEnded) {
            Ended = true;
            return;
        }
        TCoder c = Coder;
        uint8_t* const window = Window.data();
        const size_t size = Window.size();
        size_t at = At;
        uint64_t total = Total;
        int kind = Kind;
        uint32_t rep0 = Rep[0], rep1 = Rep[1], rep2 = Rep[2], rep3 = Rep[3];
        uint32_t pending = Pending;
        if (Unpacked >= 0)
            limit = static_cast<size_t>(
                std::min<uint64_t>(limit, at + (static_cast<uint64_t>(Unpacked) - total)));
        const uint32_t posMask = (1u << Pb) - 1;
        const uint32_t literalMask = (1u << Lp) - 1;
        // The byte distance back from at; distances have been checked against what is written.
        const auto back = [&](size_t distance) {
            return window[at > distance ? at - distance - 1 : at + size - distance - 1];
        };
        while (at < limit) {
            if (pending > 0) {
                const size_t distance = rep0;
                const size_t from = at > distance ? at - distance - 1 : at + size - distance - 1;
                const size_t run = std::min<size_t>({pending, limit - at, size - from});
                // Byte by byte, in order, is right however the two overlap (a source just behind
                // what is written repeats it); a long run apart from it goes at once.
                if (run >= 32 && (from + run <= at || at + run <= from)) {
                    std::memcpy(window + at, window + from, run);
                } else {
                    for (size_t i = 0; i < run; ++i)
                        window[at + i] = window[from + i];
                }
                at += run;
                total += run;
                pending -= static_cast<uint32_t>(run);
                continue;
            }
            const uint32_t posState = static_cast<uint32_t>(total) & posMask;
            if (c.Bit(IsMatch[(kind << MaxPositionBits) + posState]) == 0) {
                const uint8_t previous = total > 0 ? back(0) : 0;
                uint16_t* probs =
                    Literal.data() + 0x300 * (((static_cast<uint32_t>(total) & literalMask) << Lc) +
                                              (previous >> (8 - Lc)));
                uint32_t symbol = 1;
                if (kind >= 7) {
                    uint32_t match = back(rep0);
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
                    break;
                window[at++] = static_cast<uint8_t>(symbol);
                ++total;
                kind = kind < 4 ? 0 : kind < 10 ? kind - 3 : kind - 6;
                continue;
            }
            uint32_t length;
            if (c.Bit(IsRep[kind]) != 0) {
                if (total == 0)
                    Damaged("damaged data");
                if (c.Bit(IsRepG0[kind]) == 0) {
                    if (c.Bit(IsRep0Long[(kind << MaxPositionBits) + posState]) == 0) {
                        if (InputEnded)
                            break;
                        kind = kind < 7 ? 9 : 11;
                        window[at] = back(rep0);
                        ++at;
                        ++total;
                        continue;
                    }
                } else {
                    uint32_t distance;
                    if (c.Bit(IsRepG1[kind]) == 0) {
                        distance = rep1;
                    } else {
                        if (c.Bit(IsRepG2[kind]) == 0) {
                            distance = rep2;
                        } else {
                            distance = rep3;
                            rep3 = rep2;
                        }
                        rep2 = rep1;
                    }
                    rep1 = rep0;
                    rep0 = distance;
                }
                length = LengthOf(c, RepLength, posState);
                kind = kind < 7 ? 8 : 11;
            } else {
                rep3 = rep2;
                rep2 = rep1;
                rep1 = rep0;
                length = LengthOf(c, Length, posState);
                kind = kind < 7 ? 7 : 10;
                rep0 = DistanceOf(c, length);
                if (InputEnded)
                    break;
                if (rep0 == 0xFFFFFFFF) {
                    // The end marker; the code is zero after it in data that ends there.
                    // Before the size given, the data is cut short.
                    if (c.Code != 0)
                        Damaged("damaged data");
                    Complete = Unpacked < 0;
                    Ended = true;
                    break;
                }
            }
            if (InputEnded)
                break;
            if (rep0 >= total || rep0 >= Capacity)
                Damaged("a match reaches before the start of the data");
            pending = length + MatchMinLength;
        }
        if (InputEnded)
            Ended = true;
        Coder = c;
        At = at;
        Total = total;
        Kind = kind;
        Rep[0] = rep0;
        Rep[1] = rep1;
        Rep[2] = rep2;
        Rep[3] = rep3;
        Pending = pending;
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
        if (s.At == s.Window.size())
            s.Grow();
        const size_t start = s.At;
        s.Fill(static_cast<size_t>(
            std::min<uint64_t>(s.Window.size(), start + static_cast<uint64_t>(count - done))));
        std::memcpy(out + done, s.Window.data() + start, s.At - start);
        done += static_cast<int64_t>(s.At - start);
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
