#include <gtest/gtest.h>

#include "rtl/CodePage.h"

namespace {

const std::string Mark = "\xEF\xBB\xBF";

} // namespace

// The program's own text is UTF-8 on every system the tests run on (Windows through the
// manifest).
TEST(CodePage, TextAndPathsInCodePage1252) {
    const rtl::TCodePage codePage(1252);
    const struct {
        std::string native;
        std::string stored; // as a project keeps it as text, or "" when refused
        std::string storedPath;
        std::string lacking;
        std::string held; // what is kept of it, in the program's own text
        size_t lackingCount;
    } cases[] = {
        {"Blue Lagoon", "Blue Lagoon", "Blue Lagoon", "", "Blue Lagoon", 0},
        {"Caf\xC3\xA9 \xE2\x82\xAC", "Caf\xE9 \x80", "Caf\xE9 \x80", "", "Caf\xC3\xA9 \xE2\x82\xAC",
         0},
        {"C:\\\xE6\xA3\xAE\xE6\x9E\x97", "", Mark + "C:\\\xE6\xA3\xAE\xE6\x9E\x97", "\xE6\xA3\xAE",
         "C:\\", 2},
        {"\xD0\x9F\xD1\x80\xD0\xB8 \xD0\x9F", "", Mark + "\xD0\x9F\xD1\x80\xD0\xB8 \xD0\x9F",
         "\xD0\x9F", " ", 3},
        {"Wald \xF0\x9F\x8C\xB2!", "", Mark + "Wald \xF0\x9F\x8C\xB2!", "\xF0\x9F\x8C\xB2",
         "Wald !", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.native);
        if (c.lacking.empty()) {
            EXPECT_EQ(codePage.FromNative(c.native), c.stored);
            EXPECT_EQ(codePage.ToNative(c.stored), c.native);
            EXPECT_EQ(codePage.ToUtf8(c.stored), c.native);
        } else {
            try {
                codePage.FromNative(c.native);
                ADD_FAILURE() << "not refused";
            } catch (const rtl::ELacksCharacter& refusal) {
                EXPECT_EQ(refusal.Character, c.lacking);
                EXPECT_EQ(refusal.Message, "\"" + c.native + "\" holds \"" + c.lacking +
                                               "\", which code page 1252 lacks.");
            }
        }
        std::vector<std::string> lacking;
        EXPECT_EQ(codePage.Held(c.native, lacking), c.held);
        ASSERT_EQ(lacking.size(), c.lackingCount);
        EXPECT_EQ(lacking.empty() ? "" : lacking[0], c.lacking);
        EXPECT_EQ(codePage.FromNativePath(c.native), c.storedPath);
        EXPECT_EQ(codePage.ToNativePath(c.storedPath), c.native);
    }
}
