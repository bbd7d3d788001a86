#include "ZipWriter.h"

#include <zlib.h>

#include "Errors.h"
#include "ZStreams.h"

namespace rtl {

namespace {

constexpr uint32_t LocalSignature = 0x04034b50;
constexpr uint32_t CentralSignature = 0x02014b50;
constexpr uint32_t EndSignature = 0x06054b50;
// Version 2.0: deflate; names in UTF-8 (flag bit 11).
constexpr uint16_t Version = 20;
constexpr uint16_t Utf8Names = 0x0800;
constexpr uint16_t Deflated = 8;
// 1980-01-01 00:00, the first date the format can hold.
constexpr uint16_t Time = 0;
constexpr uint16_t Date = (1 << 5) | 1;
constexpr int64_t Limit = 0xFFFFFFFF;

class TBytes {
public:
    TBytes& U16(uint16_t v) {
        bytes_ += static_cast<char>(v & 0xFF);
        bytes_ += static_cast<char>(v >> 8);
        return *this;
    }
    TBytes& U32(uint32_t v) {
        return U16(static_cast<uint16_t>(v)).U16(static_cast<uint16_t>(v >> 16));
    }
    TBytes& Text(const std::string& text) {
        bytes_ += text;
        return *this;
    }
    void WriteTo(TStream& out) const {
        out.WriteBuffer(bytes_.data(), static_cast<int64_t>(bytes_.size()));
    }

private:
    std::string bytes_;
};

uint32_t Checked(int64_t value, const std::string& what) {
    if (value < 0 || value >= Limit)
        throw Exception(what + " is too large for a .zip archive.");
    return static_cast<uint32_t>(value);
}

// The local header; its sizes and CRC are written again once they are known.
TBytes LocalHeader(const std::string& name, uint32_t crc, uint32_t compressed, uint32_t size) {
    TBytes header;
    header.U32(LocalSignature).U16(Version).U16(Utf8Names).U16(Deflated).U16(Time).U16(Date);
    header.U32(crc).U32(compressed).U32(size);
    header.U16(static_cast<uint16_t>(name.size())).U16(0).Text(name);
    return header;
}

} // namespace

TZipWriter::TZipWriter(TStream& out) : out_(out), start_(out.Position()) {}

void TZipWriter::Add(const std::string& name,
                     const std::function<void(const TWriteFn& write)>& content) {
    if (entries_.size() >= 0xFFFF)
        throw Exception("A .zip archive holds fewer than 65,535 files.");
    if (name.empty() || name.size() > 0xFFFF)
        throw Exception("\"" + name + "\" cannot be named in a .zip archive.");
    TEntry entry{name, 0, 0, 0, Checked(out_.Position() - start_, "The archive")};
    LocalHeader(name, 0, 0, 0).WriteTo(out_);
    const int64_t dataStart = out_.Position();
    uLong crc = crc32(0, nullptr, 0);
    int64_t size = 0;
    TCompressionStream deflated(out_, true);
    content([&](const char* data, size_t n) {
        crc = crc32(crc, reinterpret_cast<const Bytef*>(data), static_cast<uInt>(n));
        size += static_cast<int64_t>(n);
        deflated.WriteBuffer(data, static_cast<int64_t>(n));
    });
    deflated.Finish();
    const int64_t dataEnd = out_.Position();
    entry.Crc = static_cast<uint32_t>(crc);
    entry.Size = Checked(size, "\"" + name + "\"");
    entry.Compressed = Checked(dataEnd - dataStart, "\"" + name + "\"");
    out_.SetPosition(start_ + entry.Offset);
    LocalHeader(name, entry.Crc, entry.Compressed, entry.Size).WriteTo(out_);
    out_.SetPosition(dataEnd);
    entries_.push_back(std::move(entry));
}

void TZipWriter::Finish() {
    const uint32_t directoryStart = Checked(out_.Position() - start_, "The archive");
    TBytes directory;
    for (const TEntry& e : entries_) {
        directory.U32(CentralSignature).U16(Version).U16(Version).U16(Utf8Names).U16(Deflated);
        directory.U16(Time).U16(Date).U32(e.Crc).U32(e.Compressed).U32(e.Size);
        directory.U16(static_cast<uint16_t>(e.Name.size())).U16(0).U16(0).U16(0).U16(0).U32(0);
        directory.U32(e.Offset).Text(e.Name);
    }
    directory.WriteTo(out_);
    const uint32_t directorySize =
        Checked(out_.Position() - start_ - directoryStart, "The archive's directory");
    TBytes end;
    const auto count = static_cast<uint16_t>(entries_.size());
    end.U32(EndSignature).U16(0).U16(0).U16(count).U16(count).U32(directorySize);
    end.U32(directoryStart).U16(0);
    end.WriteTo(out_);
}

} // namespace rtl
