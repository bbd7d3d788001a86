#include <gtest/gtest.h>

#include "TestFiles.h"
#include "rtl/Paths.h"

using testfiles::TempFolder;

namespace {

struct PathCase {
    const char *path, *name, *folder, *ext;
};

// The text with "/" and "\" swapped on Windows, so that one table says "the system's folder
// delimiter" and "the other system's" on both.
std::string Native(const char* text) {
    std::string native = text;
#ifdef _WIN32
    for (char& c : native)
        c = c == '/' ? '\\' : c == '\\' ? '/' : c;
#endif
    return native;
}

TEST(Paths, SplitAtTheLastDelimiter) {
    const PathCase cases[] = {
        {"C:/movies/intro.SWF", "intro.SWF", "C:/movies/", ".SWF"},
        {"/movies/intro.SWF", "intro.SWF", "/movies/", ".SWF"},
        {"C:/a.dir/noext", "noext", "C:/a.dir/", ""},
        {"/a.dir/noext", "noext", "/a.dir/", ""},
        {"a\\b.swf", "a\\b.swf", "", ".swf"},
        {"//server/share/x.tar.gz", "x.tar.gz", "//server/share/", ".gz"},
        {"rel/x.tar.gz", "x.tar.gz", "rel/", ".gz"},
#ifdef _WIN32
        {"C:clip.flv", "clip.flv", "C:", ".flv"},
#else
        {"C:clip.flv", "C:clip.flv", "", ".flv"},
#endif
        {"plain.zvrk", "plain.zvrk", "", ".zvrk"},
        {".hidden", ".hidden", "", ".hidden"},
        {"trailing.", "trailing.", "", "."},
        {"", "", "", ""},
    };
    for (const PathCase& c : cases) {
        const std::string path = Native(c.path);
        SCOPED_TRACE(path);
        EXPECT_EQ(rtl::ExtractFileName(path), Native(c.name));
        EXPECT_EQ(rtl::ExtractFilePath(path), Native(c.folder));
        EXPECT_EQ(rtl::ExtractFileExt(path), c.ext);
    }
    EXPECT_TRUE(rtl::IsPathDelimiter(Native("/")[0]));
    EXPECT_FALSE(rtl::IsPathDelimiter(Native("\\")[0]));
    EXPECT_EQ(rtl::IsPathDelimiter(':'), testfiles::Sep == '\\');
}

TEST(Paths, LowerFileExtChangesOnlyAToZ) {
    EXPECT_EQ(rtl::LowerFileExt("Intro.FLV"), ".flv");
    EXPECT_EQ(rtl::LowerFileExt("Project.ZvRk"), ".zvrk");
    EXPECT_EQ(rtl::LowerFileExt("x.\xC4SWF"), ".\xC4swf");
}

TEST(Paths, FilesFoldersAndRemoval) {
    TempFolder folder;
    const std::string file = folder / "a.swf";
    EXPECT_FALSE(rtl::FileExists(file));
    EXPECT_FALSE(rtl::RemoveFile(file));
    testfiles::WriteFile(file, "x");
    EXPECT_TRUE(rtl::FileExists(file));
    EXPECT_FALSE(rtl::FileExists(folder.Path()));
    EXPECT_TRUE(rtl::RemoveFile(file));
    EXPECT_FALSE(rtl::FileExists(file));
}

TEST(Paths, FoldersEndWithADelimiterAndRelativePathsExpand) {
    const std::string temp = rtl::TempDirectory();
    ASSERT_FALSE(temp.empty());
    EXPECT_TRUE(rtl::IsPathDelimiter(temp.back()));
    const std::string exe = rtl::ExecutableFolder();
    ASSERT_FALSE(exe.empty());
    EXPECT_TRUE(rtl::IsPathDelimiter(exe.back()));
#ifdef _WIN32
    EXPECT_TRUE(rtl::FileExists(exe + "rtl_tests.exe"));
#else
    EXPECT_TRUE(rtl::FileExists(exe + "rtl_tests"));
#endif
    const std::string full = rtl::ExpandFileName("sub" + std::string(1, testfiles::Sep) + "f.txt");
    EXPECT_NE(full.find("sub" + std::string(1, testfiles::Sep) + "f.txt"), std::string::npos);
    EXPECT_EQ(rtl::ExpandFileName(full), full);
#ifndef _WIN32
    EXPECT_EQ(full.front(), '/');
#endif
}

} // namespace
