#include <gtest/gtest.h>

#include "TestFiles.h"
#include "core/CompileUnit.h"
#include "core/DecompileUnit.h"
#include "rtl/Errors.h"

using testfiles::Hex;
using testfiles::Le32;
using testfiles::MessageOf;

namespace {

struct Source : rtl::TMemoryStream {
    explicit Source(const std::string& bytes) {
        WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    }
};

// Claims more bytes than it can give, like a file that shrinks while it is read.
class ShrinkingSource : public Source {
public:
    using Source::Source;
    int64_t Size() override { return Source::Size() + 100; }
    int64_t Seek(int64_t offset, rtl::SeekOrigin origin) override {
        if (origin == rtl::SeekOrigin::End)
            offset += 100;
        return Source::Seek(offset, origin);
    }
};

TEST(CompileStream, NoEntriesIsFourZeroBytes) {
    core::TCompileStream writer;
    rtl::TMemoryStream& data = writer.Compile();
    EXPECT_EQ(data.ToString(), Hex("00 00 00 00"));
    EXPECT_EQ(data.Position(), 4);
}

TEST(CompileStream, LaysOutEntriesThenSizesThenCount) {
    core::TCompileStream writer;
    Source raw("MZ stub"), packed("hello hello hello hello"), empty(""), emptyPacked("");
    writer.AddStream(raw, false);
    writer.AddStream(packed, true);
    writer.AddStream(empty, false);
    writer.AddStream(emptyPacked, true);
    EXPECT_EQ(writer.EntryCount(), 4);
    rtl::TMemoryStream& data = writer.Compile();
    const std::string bytes = data.ToString();
    ASSERT_GT(bytes.size(), 7u + 8 + 36);
    // Any level-9 zlib stream will do for the compressed entry; plain zlib must read it.
    const std::string zlibBytes = bytes.substr(7, bytes.size() - 7 - 8 - 36);
    EXPECT_EQ(testfiles::Uncompress(zlibBytes, 23), "hello hello hello hello");
    EXPECT_EQ(zlibBytes.substr(0, 2), Hex("78 da"));
    EXPECT_EQ(bytes, "MZ stub" + zlibBytes + Hex("78 da 03 00 00 00 00 01") + Le32(7) + Le32(7) +
                         Le32(23) + Le32(zlibBytes.size()) + Le32(0) + Le32(0) + Le32(0) + Le32(8) +
                         Le32(4));
    EXPECT_EQ(data.Position(), data.Size());
}

TEST(CompileStream, AddStreamTakesTheWholeSourceAndLeavesItAtItsEnd) {
    core::TCompileStream writer;
    Source source("same bytes");
    source.SetPosition(5);
    writer.AddStream(source, true);
    EXPECT_EQ(source.Position(), 10);
    writer.AddStream(source, true);
    EXPECT_EQ(source.Position(), 10);
    writer.AddStream(source, false);

    core::TDecompileStream reader;
    reader.Decompile(writer.Compile());
    ASSERT_EQ(reader.EntryCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(reader.GetStream(i, false)->ToString(), "same bytes") << i;
    EXPECT_EQ(reader.StoredSize(0), reader.StoredSize(1));
}

TEST(CompileStream, CompilingTwiceAppendsADirectoryThatStillReads) {
    core::TCompileStream writer;
    Source a("first entry"), b(std::string(200000, 'b'));
    writer.AddStream(a, false);
    writer.AddStream(b, true);
    const int64_t once = writer.Compile().Size();
    rtl::TMemoryStream& twice = writer.Compile();
    EXPECT_EQ(twice.Size(), once + 2 * 8 + 4);

    core::TDecompileStream reader;
    reader.Decompile(twice);
    ASSERT_EQ(reader.EntryCount(), 2);
    EXPECT_EQ(reader.GetStream(0, false)->ToString(), "first entry");
    EXPECT_EQ(reader.GetStream(1, false)->ToString(), std::string(200000, 'b'));
}

TEST(CompileStream, ASourceThatFailsToReadLeavesTheWriterAsItWas) {
    core::TCompileStream writer;
    Source good("kept");
    writer.AddStream(good, false);
    for (bool compress : {false, true}) {
        ShrinkingSource bad("short");
        EXPECT_EQ(MessageOf<rtl::EReadError>([&] { writer.AddStream(bad, compress); }),
                  "Stream read error");
    }
    EXPECT_EQ(writer.EntryCount(), 1);
    EXPECT_EQ(writer.Compile().ToString(), "kept" + Le32(4) + Le32(4) + Le32(1));
}

} // namespace
