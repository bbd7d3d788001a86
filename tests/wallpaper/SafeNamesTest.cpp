#include <gtest/gtest.h>

#include "TestFiles.h"
#include "wallpaper/SafeNames.h"

using testfiles::ExpectEach;

TEST(SafeNames, MovieNameIsTheSafeFileNamePartOnly) {
    ExpectEach(wallpaper::MovieFileName, {
                                             {"C:\\Movies\\Blue Lagoon.swf", "Blue Lagoon.swf"},
                                             {"..\\..\\evil.swf", "evil.swf"},
                                             {"../../evil.swf", "evil.swf"},
                                             {"C:evil.swf", "evil.swf"},
                                             {"\\\\server\\share\\evil.swf", "evil.swf"},
                                             {"C:\\x\\con.swf", "_con.swf"},
                                             {"C:\\x\\CON", "_CON"},
                                             {"lpt1.flv", "_lpt1.flv"},
                                             {"nul .swf", "_nul .swf"},
                                             {"COM10.swf", "COM10.swf"},
                                             {"CONSOLE.swf", "CONSOLE.swf"},
                                             {"a<b>c|d?e*\"f.swf", "abcdef.swf"},
                                             {"tab\there.swf", "tabhere.swf"},
                                             {"  spaced.swf. . ", "spaced.swf"},
                                             {".hidden.swf", ".hidden.swf"},
                                             {"caf\xE9.swf", "caf\xE9.swf"},
                                             {"Movie.SWF", "Movie.SWF"},
                                         });
}

TEST(SafeNames, NothingUsableOrAnOwnNameGivesTheFallback) {
    ExpectEach(wallpaper::MovieFileName, {
                                             {"", "movie.swf"},
                                             {"..", "movie.swf"},
                                             {"C:\\x\\", "movie.swf"},
                                             {"...", "movie.swf"},
                                             {"<>|", "movie.swf"},
                                             {"C:\\x\\wallpaper.html", "movie.swf"},
                                             {"C:\\x\\UNINSTALL.EXE", "movie.swf"},
                                             {"C:\\x\\livelyinfo.json", "movie.swf"},
                                             {"C:\\x\\FLVPlayer.swf", "movie.swf"},
                                             {"C:\\x\\swfobject.js ", "movie.swf"},
                                             {"C:\\x\\?.flv", ".flv"},
                                             {"C:\\x\\...flv", "...flv"},
                                             {"C:\\x\\FLVPlayer.flv\\", "movie.swf"},
                                         });
}

TEST(SafeNames, LongNamesAreCutKeepingTheExtension) {
    const std::string name = wallpaper::MovieFileName(std::string(300, 'a') + ".swf");
    EXPECT_EQ(name.size(), wallpaper::MaxSafeNameLength);
    EXPECT_EQ(name.substr(name.size() - 4), ".swf");
    EXPECT_EQ(wallpaper::SafeFileName(std::string(200, 'b')),
              std::string(wallpaper::MaxSafeNameLength, 'b'));
    // A cut that leaves trailing dots or blanks is tidied like any other name.
    const std::string dotted =
        wallpaper::SafeFileName(std::string(115, 'c') + "....." + ".swf" + std::string(50, 'd'));
    EXPECT_LE(dotted.size(), wallpaper::MaxSafeNameLength);
    EXPECT_NE(dotted.back(), '.');
}

TEST(SafeNames, ACleanNameIsWithinTheLimitAndCleaningItAgainChangesNothing) {
    const std::string tail = std::string(200, 'x') + ".swf";
    for (const std::string& name :
         {"CON." + tail, "aux." + tail, "LPT1." + tail, "CON" + std::string(117, ' ') + "x.swf",
          "nul" + tail, std::string(300, 'a') + ".swf"}) {
        const std::string safe = wallpaper::SafeFileName(name);
        EXPECT_LE(safe.size(), wallpaper::MaxSafeNameLength) << name;
        EXPECT_EQ(wallpaper::SafeFileName(safe), safe) << name;
    }
    EXPECT_EQ(wallpaper::SafeFileName("CON" + std::string(117, ' ') + "x.swf"), "_CON.swf");
}

TEST(SafeNames, InstallNameIsTheGuidElseTheTitle) {
    EXPECT_EQ(wallpaper::InstallName("{0A1B2C3D-0000-1111-2222-333344445555}", "Title"),
              "{0A1B2C3D-0000-1111-2222-333344445555}");
    EXPECT_EQ(wallpaper::InstallName("", "Sunset: Part 2/3"), "Sunset Part 23");
    EXPECT_EQ(wallpaper::InstallName("", "aux"), "_aux");
    EXPECT_EQ(wallpaper::InstallName("..\\..\\Windows", "Title"), "....Windows");
    EXPECT_EQ(wallpaper::InstallName("..", "Title"), "Title");
    EXPECT_EQ(wallpaper::InstallName("", " .. "), "Wallpaper");
    EXPECT_EQ(wallpaper::InstallName("", ""), "Wallpaper");
}
