#include <gtest/gtest.h>

#include "TestFiles.h"
#include "rtl/Errors.h"
#include "rtl/IniFile.h"
#include "rtl/Paths.h"

using testfiles::ReadFile;
using testfiles::TempFolder;
using testfiles::WriteFile;

namespace {

using namespace std::string_literals;

rtl::TMemIniFile Parse(const std::string& text) {
    rtl::TMemIniFile ini("");
    ini.SetText(text);
    return ini;
}

TEST(IniReading, StripsSkipsCommentsAndIgnoresLinesBeforeTheFirstSection) {
    const rtl::TMemIniFile ini = Parse("orphan=1\r\n"
                                       "; [Fake]\r\n"
                                       "  [ Settings ]  \r\n"
                                       "\t FileTitle  =  My Title \t\r\n"
                                       "; URL=commented\r\n"
                                       "no equals sign here\r\n"
                                       "Empty=\r\n"
                                       "Note=a;b\r\n");
    EXPECT_FALSE(ini.ValueExists("Settings", "orphan"));
    EXPECT_FALSE(ini.ValueExists("Fake", "orphan"));
    EXPECT_EQ(ini.ReadString("Settings", "FileTitle", "?"), "My Title");
    EXPECT_FALSE(ini.ValueExists("Settings", "URL"));
    EXPECT_FALSE(ini.ValueExists("Settings", "no equals sign here"));
    EXPECT_TRUE(ini.ValueExists("Settings", "Empty"));
    EXPECT_EQ(ini.ReadString("Settings", "Empty", "?"), "");
    EXPECT_EQ(ini.ReadString("Settings", "Note", "?"), "a;b");
    EXPECT_EQ(ini.ReadString("Settings", "Missing", "fallback"), "fallback");
    EXPECT_EQ(ini.ReadString("Nowhere", "FileTitle", "fallback"), "fallback");
}

TEST(IniReading, NamesIgnoreCaseAndTheLastOccurrenceCounts) {
    const rtl::TMemIniFile ini = Parse("[MetaData]\nVersion=1\nVERSION=2\n[metadata]\nversion=3");
    EXPECT_EQ(ini.ReadInteger("METADATA", "Version", 0), 3);
}

TEST(IniReading, ASectionNamedAgainReplacesTheEarlierOneAndGoesLast) {
    rtl::TMemIniFile ini = Parse("[A]\nx=1\n[B]\ny=2\n[a]\nz=3");
    ini.WriteString("A", "w", "4");
    EXPECT_FALSE(ini.ValueExists("A", "x"));
    EXPECT_EQ(ini.Text(), "[B]\r\ny=2\r\n\r\n[a]\r\nz=3\r\nw=4\r\n\r\n");
}

TEST(IniReading, OnlyTheFirstEqualsSignSplits) {
    const rtl::TMemIniFile ini = Parse("[Settings]\rURL = http://x.test/?a=1&b==2 \r");
    EXPECT_EQ(ini.ReadString("Settings", "URL", ""), "http://x.test/?a=1&b==2");
}

TEST(IniReading, AByteZeroEndsTheText) {
    const rtl::TMemIniFile ini = Parse("[S]\r\nA=1\r\n\0B=2\r\n"s);
    EXPECT_TRUE(ini.ValueExists("S", "A"));
    EXPECT_FALSE(ini.ValueExists("S", "B"));
}

TEST(IniReading, IntegersAndBooleansFallBackOnBadText) {
    const rtl::TMemIniFile ini = Parse("[S]\nHex=$10\nTwo=2\nYes=yes\nZero=0\nNeg=-1\n");
    EXPECT_EQ(ini.ReadInteger("S", "Hex", 0), 16);
    EXPECT_EQ(ini.ReadInteger("S", "Yes", 7), 7);
    EXPECT_EQ(ini.ReadInteger("S", "Missing", 7), 7);
    EXPECT_TRUE(ini.ReadBool("S", "Two", false));
    EXPECT_TRUE(ini.ReadBool("S", "Neg", false));
    EXPECT_FALSE(ini.ReadBool("S", "Zero", true));
    EXPECT_FALSE(ini.ReadBool("S", "Yes", false));
    EXPECT_TRUE(ini.ReadBool("S", "Yes", true));
}

TEST(IniWriting, SectionsAndKeysComeOutInTheOrderFirstWritten) {
    rtl::TMemIniFile ini("");
    ini.WriteInteger("MetaData", "Version", 3);
    ini.WriteString("MetaData", "GUID", "");
    ini.WriteBool("Settings", "Loop", true);
    ini.WriteString("MetaData", "Version", " 4 ");
    EXPECT_EQ(ini.Text(), "[MetaData]\r\nVersion= 4 \r\nGUID=\r\n\r\n[Settings]\r\nLoop=1\r\n\r\n");
    EXPECT_EQ(rtl::TMemIniFile("").Text(), "");
}

TEST(IniFile, TakesInAnExistingFileAndKeepsItsOtherKeys) {
    TempFolder folder;
    const std::string path = folder / "scratch";
    rtl::TMemIniFile none(path);
    EXPECT_FALSE(rtl::FileExists(path));

    WriteFile(path, "[Extra]\nKeep=yes\n[Settings]\nFileTitle=old\nCustom=x\n");
    rtl::TMemIniFile ini(path);
    ini.WriteString("Settings", "FileTitle", "new");
    ini.WriteString("MetaData", "Version", "3");
    ini.UpdateFile();
    EXPECT_EQ(ReadFile(path),
              "[Extra]\r\nKeep=yes\r\n\r\n[Settings]\r\nFileTitle=new\r\nCustom=x\r\n"
              "\r\n[MetaData]\r\nVersion=3\r\n\r\n");
}

} // namespace
