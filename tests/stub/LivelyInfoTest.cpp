#include <gtest/gtest.h>

#include "stub/LivelyInfo.h"

TEST(LivelyInfo, JsonStringEscapesOnlyWhatJsonNeeds) {
    EXPECT_EQ(stub::JsonString("plain"), "\"plain\"");
    EXPECT_EQ(stub::JsonString("say \"hi\" \\ bye"), "\"say \\\"hi\\\" \\\\ bye\"");
    EXPECT_EQ(stub::JsonString("a\r\nb\tc\x01"), "\"a\\r\\nb\\tc\\u0001\"");
    EXPECT_EQ(stub::JsonString("caf\xC3\xA9 </script>"), "\"caf\xC3\xA9 </script>\"");
}

TEST(LivelyInfo, DescribesAWebWallpaperWhosePageIsWallpaperHtml) {
    const std::string json = stub::LivelyInfoJson("Blue \"Lagoon\"");
    EXPECT_NE(json.find("\"Title\": \"Blue \\\"Lagoon\\\"\","), std::string::npos) << json;
    EXPECT_NE(json.find("\"Type\": 1,"), std::string::npos);
    EXPECT_NE(json.find("\"FileName\": \"wallpaper.html\","), std::string::npos);
    EXPECT_NE(json.find("\"IsAbsolutePath\": false"), std::string::npos);
    EXPECT_EQ(json.front(), '{');
    EXPECT_EQ(json.substr(json.size() - 3), "}\r\n");
}
