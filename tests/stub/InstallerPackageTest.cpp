#include <gtest/gtest.h>

#include "StubTestSupport.h"
#include "stub/InstallerPackage.h"

using stubtest::Basic;
using stubtest::Bytes;
using stubtest::Container;
using stubtest::ProjectFile;

namespace {

const std::string StubBytes = "MZ" + stubtest::RandomBytes(3000, 1);
const std::string MovieBytes = "FWS" + stubtest::RandomBytes(20000, 2);

std::string SwfInstaller() {
    return Container({StubBytes, ProjectFile(Basic("C:\\m\\movie.swf")), MovieBytes});
}

// The detail of the damage that checking the file finds, or "" when it passes.
// What reading the package and then unpacking its other entries, as installing them does,
// says of the damage; "" when nothing does.
std::string Damage(const std::string& file) {
    try {
        const wallpaper::TPackedImage image(Bytes(file), static_cast<int64_t>(file.size()));
        const stub::TInstallerPackage package(image, ::testing::TempDir());
        for (int32_t i = core::MovieEntry; i < image.Count(); ++i)
            image.Inflate(i, stub::TInstallerPackage::PartName(i), [](const uint8_t*, size_t) {});
    } catch (const wallpaper::EDamaged& damage) {
        return damage.Message;
    }
    return "";
}

std::string Flipped(std::string file, size_t at) {
    file[at] = static_cast<char>(file[at] ^ 0x20);
    return file;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(InstallerPackage, GeneratedMovieAndVideoInstallersPass) {
    const std::string swf = SwfInstaller();
    const wallpaper::TPackedImage image(Bytes(swf), static_cast<int64_t>(swf.size()));
    const stub::TInstallerPackage package(image, ::testing::TempDir());
    EXPECT_FALSE(package.IsVideo());
    EXPECT_EQ(package.MoviePath(), "C:\\m\\movie.swf");
    EXPECT_EQ(package.Title(), "Blue Lagoon");
    EXPECT_EQ(image.InflateToString(2, "movie"), MovieBytes);

    const std::string flv =
        Container({StubBytes, ProjectFile(Basic("clip.FLV")), "FLV", "player", "script"});
    const wallpaper::TPackedImage video(Bytes(flv), static_cast<int64_t>(flv.size()));
    EXPECT_TRUE(stub::TInstallerPackage(video, ::testing::TempDir()).IsVideo());
}

TEST(InstallerPackage, ReadingTheProjectLeavesNoScratchFiles) {
    testfiles::TempFolder scratch;
    const std::string swf = SwfInstaller();
    const wallpaper::TPackedImage image(Bytes(swf), static_cast<int64_t>(swf.size()));
    stub::TInstallerPackage package(image, scratch.Path());
    EXPECT_TRUE(scratch.Names().empty());
    EXPECT_THROW(
        stub::TInstallerPackage(wallpaper::TPackedImage(Bytes(Flipped(swf, StubBytes.size() + 20)),
                                                        static_cast<int64_t>(swf.size())),
                                scratch.Path()),
        wallpaper::EDamaged);
    EXPECT_TRUE(scratch.Names().empty());
}

TEST(InstallerPackage, TruncatedAtAnyLengthIsDamaged) {
    const std::string swf = SwfInstaller();
    for (size_t cut : {swf.size() - 1, swf.size() - 3, swf.size() - 4, swf.size() - 5,
                       swf.size() - 8, swf.size() - 24, swf.size() / 2, StubBytes.size() + 1,
                       StubBytes.size(), size_t{4}, size_t{3}, size_t{0}})
        EXPECT_NE(Damage(swf.substr(0, cut)), "") << "cut at " << cut;
}

TEST(InstallerPackage, DamageIsNamedByWhatFails) {
    const std::string project = ProjectFile(Basic("C:\\m\\movie.swf"));
    const std::string swf = SwfInstaller();
    // Three entries: the directory's 24 bytes and the count end the file, the movie before.
    const size_t movieStored = testfiles::Le32At(swf, swf.size() - 8);
    const size_t movieStart = swf.size() - 28 - movieStored;
    const std::string compressedStub = [&] {
        core::TCompileStream writer;
        for (const std::string* entry : {&StubBytes, &project, &MovieBytes}) {
            rtl::TMemoryView source(Bytes(*entry), static_cast<int64_t>(entry->size()));
            writer.AddStream(source, true);
        }
        return writer.Compile().ToString();
    }();
    const struct {
        const char* what;
        std::string file;
        const char* detail;
    } cases[] = {
        {"count beyond the data", StubBytes + testfiles::Le32(1000), "table of contents"},
        {"directory sizes beyond the data",
         StubBytes + testfiles::Le32(3006) + testfiles::Le32(3006) + testfiles::Le32(1),
         "table of contents"},
        {"count 0", StubBytes + testfiles::Le32(0), "holds no packed data"},
        {"count negative", StubBytes + testfiles::Le32(-3), "holds no packed data"},
        {"four entries", Container({StubBytes, project, MovieBytes, "x"}), "holds 4 parts"},
        {"one entry", Container({StubBytes}), "holds 1 parts"},
        {"stub compressed", compressedStub, "The program (part 0) is not stored"},
        {"byte flipped inside the movie", Flipped(swf, movieStart + movieStored / 2),
         "The movie (part 2) does not unpack"},
        {"Adler-32 of the movie altered", Flipped(swf, movieStart + movieStored - 1),
         "The movie (part 2) does not unpack: incorrect data check."},
        {"byte flipped inside the settings", Flipped(swf, StubBytes.size() + 30),
         "The wallpaper settings (part 1) does not unpack"},
        {"settings that are not a project", Container({StubBytes, "not a project", MovieBytes}),
         "The wallpaper settings (part 1) cannot be read."},
        {"settings without a movie",
         Container(
             {StubBytes, ProjectFile([](core::TProject& p) { p.FileTitle = "t"; }), MovieBytes}),
         "name no movie"},
        {"settings with an empty movie path",
         Container({StubBytes, ProjectFile(Basic("")), MovieBytes}), "name no movie"},
        {"video with three entries", Container({StubBytes, ProjectFile(Basic("v.flv")), "FLV"}),
         "a Flash video comes with 5"},
        {"movie with five entries",
         Container({StubBytes, ProjectFile(Basic("m.swf")), "FWS", "p", "s"}),
         "a Flash movie comes with 3"},
    };
    for (const auto& c : cases) {
        const std::string detail = Damage(c.file);
        EXPECT_TRUE(Has(detail, c.detail)) << c.what << ": \"" << detail << "\"";
    }
}

TEST(InstallerPackage, StoredAndSourceSizesMustMatchTheZlibStream) {
    const std::string swf = SwfInstaller();
    // Three entries: 24 bytes of sizes and the count end the file.
    const size_t directory = swf.size() - 28;
    const size_t movieSource = directory + 16, movieStored = directory + 20;
    const struct {
        const char* what;
        size_t field;
        int delta;
        const char* detail;
    } cases[] = {
        {"source size one more", movieSource, 1, "unpacks to fewer bytes than recorded"},
        {"source size one less", movieSource, -1, "unpacks to more bytes than recorded"},
        {"stored size one less, last byte taken off", movieStored, -1, "is cut off"},
    };
    for (const auto& c : cases) {
        std::string file = swf;
        stubtest::PutLe32(
            file, c.field,
            static_cast<uint32_t>(static_cast<int>(testfiles::Le32At(file, c.field)) + c.delta));
        EXPECT_TRUE(Has(Damage(file), c.detail)) << c.what << ": " << Damage(file);
    }
}

TEST(InflateEntry, ExtraBytesAfterTheStreamAreDamage) {
    const std::string packed = Container({"", "hello world"});
    const std::string zlib = packed.substr(0, packed.size() - 4 - 16);
    const std::string withTail = zlib + "tail";
    std::string out;
    const wallpaper::TSink sink = [&](const uint8_t* d, size_t n) {
        out.append(reinterpret_cast<const char*>(d), n);
    };
    wallpaper::InflateEntry(Bytes(zlib), static_cast<int64_t>(zlib.size()), 11, "It", sink);
    EXPECT_EQ(out, "hello world");
    try {
        wallpaper::InflateEntry(Bytes(withTail), static_cast<int64_t>(withTail.size()), 11, "It",
                                sink);
        ADD_FAILURE() << "no error";
    } catch (const wallpaper::EDamaged& damage) {
        EXPECT_EQ(damage.Message, "It has bytes after its end.");
    }
}

TEST(InflateEntry, ErrorsOfTheSinkPassThrough) {
    const std::string packed = Container({"", std::string(100000, 'a')});
    const std::string zlib = packed.substr(0, packed.size() - 20);
    EXPECT_THROW(wallpaper::InflateEntry(Bytes(zlib), static_cast<int64_t>(zlib.size()), 100000,
                                         "It",
                                         [](const uint8_t*, size_t) { throw rtl::EWriteError(); }),
                 rtl::EWriteError);
}
