#include <gtest/gtest.h>

#include "TestFiles.h"
#include "rtl/Errors.h"
#include "rtl/StringList.h"

using testfiles::MessageOf;

namespace {

using namespace std::string_literals;

using Lines = std::vector<std::string>;

struct SplitCase {
    std::string text;
    Lines lines;
};

TEST(StringList, SplitsLineText) {
    const SplitCase cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"\r\n", {""}},
        {"a\r\n\r\n", {"a", ""}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {" a \t", {" a \t"}},
        {"a\r\nb\0c\r\nd"s, {"a", "b"}},
        {"\0abc"s, {}},
    };
    for (const SplitCase& c : cases) {
        rtl::TStringList list;
        list.Add("previous");
        list.SetText(c.text);
        EXPECT_EQ(list.Items(), c.lines) << testing::PrintToString(c.text);
    }
}

TEST(StringList, TextEndsEveryLineWithCrLf) {
    rtl::TStringList list;
    EXPECT_EQ(list.Text(), "");
    list.Add("");
    EXPECT_EQ(list.Text(), "\r\n");
    list.Add("b");
    list.Add("");
    EXPECT_EQ(list.Text(), "\r\nb\r\n\r\n");
    rtl::TStringList back;
    back.SetText(list.Text());
    EXPECT_EQ(back, list);
}

TEST(StringList, StreamsReadFromByteZero) {
    rtl::TMemoryStream stream;
    rtl::TStringList list;
    list.Add("one");
    list.Add("two");
    list.SaveToStream(stream);
    EXPECT_EQ(stream.ToString(), "one\r\ntwo\r\n");
    rtl::TStringList back;
    back.LoadFromStream(stream);
    EXPECT_EQ(back, list);
}

TEST(StringList, GetOutOfRangeNamesTheIndex) {
    rtl::TStringList list;
    list.Add("only");
    EXPECT_EQ(list.Get(0), "only");
    EXPECT_EQ(MessageOf<rtl::EStringListError>([&] { list.Get(1); }),
              "List index out of bounds (1)");
    EXPECT_EQ(MessageOf<rtl::EStringListError>([&] { list.Get(-1); }),
              "List index out of bounds (-1)");
}

} // namespace
