#include <gtest/gtest.h>

#include "StubTestSupport.h"
#include "wallpaper/DataScript.h"
#include "wallpaper/WallpaperFolder.h"
#include "wallpaper/WebPlayer.h"

namespace {

std::string Damage(const std::string& stub) {
    try {
        wallpaper::TWebPlayer(reinterpret_cast<const uint8_t*>(stub.data()),
                              static_cast<int64_t>(stub.size()));
    } catch (const wallpaper::EDamaged& damage) {
        return damage.Message;
    }
    return "";
}

const std::string GoodList =
    "wallpaper.js\nruffle.js\tlzma\nplayer.wasm.js\tx.wasm\tapplication/wasm\tlzma\n"
    "host.exe\tprogram\tlzma\n";

} // namespace

TEST(WebPlayer, ReadsTheListBehindTheProgram) {
    const std::string stub = stubtest::StubWith(GoodList, 4);
    const wallpaper::TWebPlayer player(reinterpret_cast<const uint8_t*>(stub.data()),
                                       static_cast<int64_t>(stub.size()));
    EXPECT_EQ(player.ProgramSize(), 0x400);
    ASSERT_EQ(player.Files().size(), 4u);
    EXPECT_EQ(wallpaper::TWebPlayer::ListText(player.Files()), GoodList);
    EXPECT_FALSE(player.Files()[1].IsData());
    EXPECT_TRUE(player.Files()[1].Lzma);
    EXPECT_TRUE(player.Files()[2].Lzma && !player.Files()[2].Gzip);
    EXPECT_TRUE(player.Files()[3].Program && player.Files()[3].Lzma);
    EXPECT_EQ(player.Image().InflateToString(2, "ruffle.js"), "content 1");
}

TEST(WebPlayer, AMissingOrDamagedPlayerIsDamage) {
    const struct {
        const char* what;
        std::string stub;
    } cases[] = {
        {"no player", stubtest::FakePe(false, 0, 0, 0x400, 16, 0x200, 0x200)},
        {"no list", stubtest::StubWith("", 0)},
        {"more entries than names", stubtest::StubWith(GoodList, 5)},
        {"fewer entries than names", stubtest::StubWith(GoodList, 3)},
        {"no ruffle.js", stubtest::StubWith("wallpaper.js\nother.js\n", 2)},
        {"no page script", stubtest::StubWith("ruffle.js\n", 1)},
        {"a name outside the folder",
         stubtest::StubWith("wallpaper.js\nruffle.js\n..\\evil.js\n", 3)},
        {"a name twice", stubtest::StubWith("wallpaper.js\nruffle.js\nRUFFLE.JS\n", 3)},
        {"an unknown encoding",
         stubtest::StubWith("wallpaper.js\nruffle.js\na.js\tx\ttype\tzip\n", 3)},
        {"a line without its end", stubtest::StubWith("wallpaper.js\nruffle.js", 2)},
        {"a program of another kind",
         stubtest::StubWith("wallpaper.js\nruffle.js\nhost.exe\tservice\n", 3)},
        {"lzma before program",
         stubtest::StubWith("wallpaper.js\nruffle.js\nhost.exe\tlzma\tprogram\n", 3)},
    };
    for (const auto& c : cases)
        EXPECT_NE(Damage(c.stub), "") << c.what;
    std::string flipped = stubtest::StubWith(GoodList, 4);
    flipped[0x400 + 20] ^= 1;
    EXPECT_NE(Damage(flipped), "") << "a flipped byte in the list";
}

TEST(WebPlayer, LzmaFilesUnpackToTheSizeTheirHeaderGives) {
    // "wallpaper wallpaper wallpaper!" as Python's lzma packs it: properties, size, data.
    const std::string good = testfiles::Hex("5d 00 00 01 00 1e 00 00 00 00 00 00 00 00 3b 98 49 "
                                            "ee 8f 26 5d 7f 35 24 a6 20 f1 35 52 15 ab ff ff c0 "
                                            "65 00 00");
    std::string unsized = good;
    unsized.replace(5, 8, std::string(8, '\xFF'));
    std::string larger = good;
    larger[5] = '\x1F';
    const struct {
        const char* what;
        std::string file;
        std::string says; // empty: unpacks
    } cases[] = {
        {"whole", good, ""},
        {"cut off in its data", good.substr(0, 30), "The web player's file \"a.js\" is cut off."},
        {"cut off in its header", good.substr(0, 9), "The web player's file \"a.js\" is cut off."},
        {"a byte more than its data", larger, "The web player's file \"a.js\" is cut off."},
        {"no size given", unsized,
         "The web player's file \"a.js\" does not unpack: its size is not given."},
    };
    for (const auto& c : cases) {
        const std::string stub =
            stubtest::StubWith("wallpaper.js\nruffle.js\na.js\tlzma\n", {"", "", c.file});
        const wallpaper::TWebPlayer player(reinterpret_cast<const uint8_t*>(stub.data()),
                                           static_cast<int64_t>(stub.size()));
        std::string unpacked;
        try {
            const wallpaper::TContent content = wallpaper::PlayerFileContent(player, 2);
            content.Read([&](const uint8_t* data, size_t size) {
                unpacked.append(reinterpret_cast<const char*>(data), size);
            });
            EXPECT_EQ(content.Size, 30) << c.what;
            EXPECT_EQ(unpacked, "wallpaper wallpaper wallpaper!") << c.what;
            EXPECT_EQ(c.says, "") << c.what;
        } catch (const wallpaper::EDamaged& damage) {
            EXPECT_EQ(damage.Message, c.says) << c.what;
        }
    }
}

TEST(DataScript, CarriesAnyBytesWhateverThePiecesTheyComeIn) {
    for (const size_t size : {0, 1, 2, 3, 4, 5, 49151, 49152, 200001}) {
        const std::string bytes = stubtest::RandomBytes(size, static_cast<uint32_t>(size));
        wallpaper::TDataScript script("a%20b.swf", "application/x-shockwave-flash", false);
        std::string text;
        script.Begin([&](const char* data, size_t n) { text.append(data, n); });
        // Pieces of 1, 2, 3, ... bytes, so every carry between them is exercised.
        for (size_t at = 0, piece = 1; at < size; at += piece, ++piece)
            script.Write(reinterpret_cast<const uint8_t*>(bytes.data()) + at,
                         std::min(piece, size - at));
        script.Finish();
        EXPECT_EQ(static_cast<int64_t>(text.size()), script.Size(static_cast<int64_t>(size)));
        EXPECT_EQ(text.rfind("MuravelData(\"a%20b.swf\", \"application/x-shockwave-flash\", false, "
                             "function () {/*",
                             0),
                  0u);
        EXPECT_EQ(text.substr(text.size() - 6), "*/});\n");
        EXPECT_EQ(stubtest::DataScriptBytes(text), bytes) << size;
    }
}
