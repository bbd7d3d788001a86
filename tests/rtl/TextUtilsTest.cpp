#include <gtest/gtest.h>

#include <climits>

#include "rtl/Guid.h"
#include "rtl/TextUtils.h"

namespace {

TEST(IntegerText, AcceptsBlanksSignsDecimalAndPrefixedHex) {
    const std::pair<const char*, int32_t> cases[] = {{"0", 0},
                                                     {"123", 123},
                                                     {"   42", 42},
                                                     {"+7", 7},
                                                     {" -7", -7},
                                                     {"000000000000012", 12},
                                                     {"0010", 10},
                                                     {"2147483647", INT32_MAX},
                                                     {"-2147483648", INT32_MIN},
                                                     {"$ff", 255},
                                                     {"$FF", 255},
                                                     {"x1a", 26},
                                                     {"X1A", 26},
                                                     {"0x10", 16},
                                                     {"0X10", 16},
                                                     {" -$10", -16},
                                                     {"+0x7FFFFFFF", INT32_MAX},
                                                     {"$80000000", INT32_MIN},
                                                     {"$FFFFFFFF", -1},
                                                     {"$0000000000FF", 255},
                                                     {"-$FFFFFFFF", 1}};
    for (const auto& c : cases) {
        int32_t value = 0;
        EXPECT_TRUE(rtl::TryStrToInt(c.first, value)) << '"' << c.first << '"';
        EXPECT_EQ(value, c.second) << '"' << c.first << '"';
        EXPECT_EQ(rtl::StrToIntDef(c.first, -99), c.second);
    }
}

TEST(IntegerText, RefusesOutOfRangeJunkAndEmptyText) {
    for (const char* text : {"2147483648",
                             "-2147483649",
                             "99999999999999999999999",
                             "$100000000",
                             "",
                             "   ",
                             "-",
                             "$",
                             "0x",
                             "x",
                             "--1",
                             "+-1",
                             "- 1",
                             "$-1",
                             "12 ",
                             "12a",
                             "1.0",
                             "1e3",
                             "$1G",
                             "00x10",
                             "0x0x1",
                             "\t1"}) {
        int32_t value = 0;
        EXPECT_FALSE(rtl::TryStrToInt(text, value)) << '"' << text << '"';
        EXPECT_EQ(rtl::StrToIntDef(text, -99), -99) << '"' << text << '"';
    }
}

TEST(Trim, StripsCodesUpTo32ButNotUpperHalfBytes) {
    EXPECT_EQ(rtl::Trim("\t\r\n \x01 a b \x1f "), "a b");
    EXPECT_EQ(rtl::Trim(" \t "), "");
    EXPECT_EQ(rtl::Trim("\xA0x\xFF"), "\xA0x\xFF");
}

TEST(AsciiCase, ChangesOnlyTheLettersAToZ) {
    EXPECT_EQ(rtl::LowerCaseAscii("ClWhite.SWF \xC4\xD6"), "clwhite.swf \xC4\xD6");
    EXPECT_EQ(rtl::UpperCaseAscii("clwhite \xE4"), "CLWHITE \xE4");
    EXPECT_TRUE(rtl::SameTextAscii("clBtnFace", "CLBTNFACE"));
    EXPECT_FALSE(rtl::SameTextAscii("clBtnFace", "clBtnFac"));
    EXPECT_FALSE(rtl::SameTextAscii("\xC4", "\xE4"));
}

TEST(GuidText, IsTheBracedUpperCaseRegistryForm) {
    const std::string guid = rtl::NewGuidText();
    ASSERT_EQ(guid.size(), 38u);
    for (size_t i = 0; i < guid.size(); ++i) {
        const char c = guid[i];
        if (i == 0 || i == 37 || i == 9 || i == 14 || i == 19 || i == 24)
            EXPECT_EQ(c, i == 0 ? '{' : i == 37 ? '}' : '-') << guid;
        else
            EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << guid;
    }
    EXPECT_NE(guid, rtl::NewGuidText());
}

} // namespace
