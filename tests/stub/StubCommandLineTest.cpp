#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "stub/StubCommandLine.h"

TEST(StubCommandLine, ProgramNameIsTakenOffQuotedOrNot) {
    EXPECT_EQ(stub::ArgumentText("\"C:\\My Apps\\setup.exe\" /S /D=C:\\x"), "/S /D=C:\\x");
    EXPECT_EQ(stub::ArgumentText("setup.exe   /S"), "/S");
    EXPECT_EQ(stub::ArgumentText("\"C:\\a b\\setup.exe\""), "");
    EXPECT_EQ(stub::ArgumentText("setup.exe"), "");
    EXPECT_EQ(stub::ArgumentText(""), "");
}

TEST(StubCommandLine, SwitchesAnywhereAndTheFolderLastQuotedEitherWay) {
    const struct {
        const char* arguments;
        bool silent;
        std::optional<std::string> folder;
    } cases[] = {
        {"/S /D=C:\\Program Files\\My Wallpaper  ", true, "C:\\Program Files\\My Wallpaper"},
        {"/D=\"C:\\quoted folder\"", false, "C:\\quoted folder"},
        // Everything after /D= is the folder, even what looks like an argument.
        {"/D=C:\\x /S", false, "C:\\x /S"},
        {"/s /d=C:\\y", true, "C:\\y"},
        {"", false, std::nullopt},
        {"\"/D=C:\\My Walls\\x\"", false, "C:\\My Walls\\x"},
        {"/D=\"C:\\My Walls\"", false, "C:\\My Walls"},
        {"/S \"/D=\\\"C:\\My Walls\\\"\"", true, "C:\\My Walls"},
        {"/NOLIVELY /S /D=C:\\My Walls", true, "C:\\My Walls"},
        {"/nolively \"/d=D:\\w\" ", false, "D:\\w"},
    };
    for (const auto& c : cases) {
        const stub::TStubOptions o = stub::ParseArguments(c.arguments);
        EXPECT_EQ(o.Silent, c.silent) << c.arguments;
        EXPECT_EQ(o.Folder, c.folder) << c.arguments;
        EXPECT_EQ(o.Error, "") << c.arguments;
    }
    const stub::TStubOptions o =
        stub::ParseArguments("/NOLIVELY /S /nowallpaperengine /? /D=C:\\x");
    EXPECT_TRUE(o.NoLively && o.NoEngine && o.Silent && o.Help && !o.NoWallpaper);
}

TEST(StubCommandLine, WrongArgumentsAreReportedWithWhatWasUnderstood) {
    stub::TStubOptions o = stub::ParseArguments("/S /X /D=C:\\z");
    EXPECT_TRUE(o.Silent);
    EXPECT_EQ(o.Folder, "C:\\z");
    EXPECT_NE(o.Error.find("\"/X\""), std::string::npos) << o.Error;

    o = stub::ParseArguments("/S /D=");
    EXPECT_FALSE(o.Folder.has_value());
    EXPECT_EQ(o.Error, "/D= must be followed by a folder.");

    // /D= glued to another argument is not the folder argument.
    o = stub::ParseArguments("/S/D=C:\\x");
    EXPECT_FALSE(o.Folder.has_value());
    EXPECT_FALSE(o.Error.empty());

    for (const char* wrong : {"/cleanup=", "/cleanup=12x", "/cleanup=-1", "S", "/SS"})
        EXPECT_FALSE(stub::ParseArguments(wrong).Error.empty()) << wrong;

    // A folder relative to wherever the installer happens to run is refused.
    for (const char* relative : {"Walls", ".\\Walls", "..\\Walls", "C:Walls", "\\Walls"}) {
        o = stub::ParseArguments(std::string("/S /D=") + relative);
        EXPECT_FALSE(o.Folder.has_value()) << relative;
        EXPECT_EQ(o.Error, "/D= needs a full path, such as /D=C:\\Wallpapers\\Lagoon; \"" +
                               std::string(relative) + "\" is not one.");
    }
    for (const char* full : {"C:/Walls", "d:\\", "\\\\server\\share\\Walls"})
        EXPECT_EQ(stub::ParseArguments(std::string("/D=") + full).Folder, full);
}

TEST(StubCommandLine, CleanupHandle) {
    const stub::TStubOptions o = stub::ParseArguments("/cleanup=1234 /D=C:\\t\\x.tmp");
    EXPECT_EQ(o.CleanupWait, 1234u);
    EXPECT_EQ(o.Folder, "C:\\t\\x.tmp");
    EXPECT_EQ(o.Error, "");
}
