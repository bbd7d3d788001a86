#include <gtest/gtest.h>

#include "wallpaper/LivelyInfo.h"

TEST(LivelyInfo, JsonStringEscapesOnlyWhatJsonNeeds) {
    EXPECT_EQ(wallpaper::JsonString("plain"), "\"plain\"");
    EXPECT_EQ(wallpaper::JsonString("say \"hi\" \\ bye"), "\"say \\\"hi\\\" \\\\ bye\"");
    EXPECT_EQ(wallpaper::JsonString("a\r\nb\tc\x01"), "\"a\\r\\nb\\tc\\u0001\"");
    EXPECT_EQ(wallpaper::JsonString("caf\xC3\xA9 </script>"), "\"caf\xC3\xA9 </script>\"");
}

TEST(LivelyInfo, DescribesAWebWallpaperWhosePageIsWallpaperHtml) {
    wallpaper::TLivelyInfo info;
    info.Title = "Blue \"Lagoon\"";
    info.License = "Look, don't sell.\nThanks.";
    std::string json = wallpaper::LivelyInfoJson(info);
    EXPECT_NE(json.find("\"Title\": \"Blue \\\"Lagoon\\\"\","), std::string::npos) << json;
    EXPECT_NE(json.find("\"License\": \"Look, don't sell.\\nThanks.\","), std::string::npos);
    EXPECT_NE(json.find("\"Desc\": null,"), std::string::npos);
    EXPECT_NE(json.find("\"Contact\": null,"), std::string::npos);
    EXPECT_NE(json.find("\"AppVersion\": \"3.0.0\","), std::string::npos);
    EXPECT_NE(json.find("\"Type\": 1,"), std::string::npos);
    EXPECT_NE(json.find("\"FileName\": \"wallpaper.html\","), std::string::npos);
    EXPECT_NE(json.find("\"IsAbsolutePath\": false"), std::string::npos);
    EXPECT_EQ(json.front(), '{');
    EXPECT_EQ(json.substr(json.size() - 3), "}\r\n");
    // What the installer writes, it reads back as the player does.
    EXPECT_EQ(wallpaper::JsonStringValue(json, "License"), info.License);
}

TEST(LivelyInfo, StringValuesAreReadFromTheTopLevelOnly) {
    const struct {
        const char* json;
        std::optional<std::string> dir;
    } cases[] = {
        {"{\"WallpaperDir\": \"D:\\\\Walls\"}", "D:\\Walls"},
        {"{ \"A\": {\"WallpaperDir\": \"x\"}, \"List\": [1, \"]\"], \"WallpaperDir\" : "
         "\"C:\\\\L\\u00e9\" }",
         "C:\\L\xC3\xA9"},
        {"{\"A\": {\"WallpaperDir\": \"x\"}}", std::nullopt},
        {"{\"WallpaperDir\": 5}", std::nullopt},
        {"{\"WallpaperDir\": \"cut", std::nullopt},
        {"[\"WallpaperDir\"]", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(wallpaper::JsonStringValue(c.json, "WallpaperDir"), c.dir) << c.json;
}
