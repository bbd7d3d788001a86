#include <gtest/gtest.h>

#include "TestFiles.h"
#include "wallpaper/WallpaperPage.h"

namespace {

// System colour i resolves to 0x0000ii, with red in the low byte as GetSysColor gives it.
uint32_t FakeSysColor(int index) {
    return static_cast<uint32_t>(index);
}

core::TColor Color(uint32_t bits) {
    return static_cast<core::TColor>(bits);
}

wallpaper::TPageSettings Movie() {
    wallpaper::TPageSettings s;
    s.Title = "Blue Lagoon";
    s.MovieName = "lagoon.swf";
    return s;
}

bool Has(const std::string& page, const std::string& part) {
    return page.find(part) != std::string::npos;
}

} // namespace

TEST(WallpaperPage, EscapingCoversContentAndAttributes) {
    EXPECT_EQ(wallpaper::HtmlEscape("<script>alert('x')</script> & \"q\""),
              "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; &quot;q&quot;");
    EXPECT_EQ(wallpaper::HtmlEscape("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(wallpaper::PercentEncode("My movie #1 (100%).swf"),
              "My%20movie%20%231%20%28100%25%29.swf");
    EXPECT_EQ(wallpaper::PercentEncode("\"'><&.flv"), "%22%27%3E%3C%26.flv");
    EXPECT_EQ(wallpaper::PercentEncode("caf\xC3\xA9-_~.swf"), "caf%C3%A9-_~.swf");
}

TEST(WallpaperPage, OnlyHttpHttpsAndMailtoBecomeLinks) {
    testfiles::ExpectEach(wallpaper::LinkTarget,
                          {
                              {"http://example.com/", "http://example.com/"},
                              {"HTTPS://example.com/?a=1&b=2", "HTTPS://example.com/?a=1&b=2"},
                              {"mailto:me@example.com", "mailto:me@example.com"},
                              {"  https://example.com  ", "https://example.com"},
                              {"www.example.com", "http://www.example.com"},
                              {"example.com/a:b", "http://example.com/a:b"},
                              {"javascript:alert(1)", ""},
                              {"JavaScript:alert(1)", ""},
                              {" javascript:alert(1)", ""},
                              {"java\tscript:alert(1)", ""},
                              {"java\nscript:alert(1)", ""},
                              {"vbscript:msgbox", ""},
                              {"data:text/html,<script>alert(1)</script>", ""},
                              {"file:///C:/Windows/", ""},
                              {"http://exa\x01mple.com", ""},
                              {"", ""},
                          });
}

TEST(WallpaperPage, MovieFillsTheWindowOnTheBackgroundColour) {
    wallpaper::TPageSettings s = Movie();
    s.BackgroundColor = Color(0x00FF8000);
    s.Loop = true;
    s.DataScripts = {"ruffle-wasm.js", "movie.js"};
    const std::string page = wallpaper::WallpaperPage(s, FakeSysColor);
    EXPECT_TRUE(Has(page, "<title>Blue Lagoon</title>"));
    EXPECT_TRUE(Has(page, "background: #0080ff;"));
    EXPECT_TRUE(
        Has(page, "<div id=\"movie\" data-movie=\"lagoon.swf\" data-background=\"#0080ff\">"));
    // The page's script replaces fetch before the data scripts register, the player comes last.
    EXPECT_TRUE(Has(page, "<script src=\"wallpaper.js\"></script>\n<script src=\"ruffle-wasm.js\">"
                          "</script>\n<script src=\"movie.js\"></script>\n"
                          "<script src=\"ruffle.js\"></script>\n</body>"));
    EXPECT_TRUE(Has(page, "<noscript><p class=\"note\">This wallpaper needs JavaScript to play."));
    EXPECT_TRUE(
        Has(page, "id=\"no-webassembly\" hidden>This wallpaper needs WebAssembly to play."));
    EXPECT_TRUE(Has(page, "color: #ffffff; }")) << "the notes read on a dark background";
    EXPECT_FALSE(Has(page, "data-play-once"));
    EXPECT_FALSE(Has(page, "data-script-access"));
    EXPECT_FALSE(Has(page, "id=\"text\""));

    s.Loop = false;
    s.BackgroundColor = Color(0x00C0FFFF);
    const std::string once = wallpaper::WallpaperPage(s, FakeSysColor);
    EXPECT_TRUE(Has(once, "data-play-once"));
    EXPECT_TRUE(Has(once, "color: #000000; }")) << "the notes read on a light background";
}

TEST(WallpaperPage, TransparentAndDefaultBackgrounds) {
    wallpaper::TPageSettings s = Movie();
    s.BackgroundColor = Color(0x000000FF);
    s.TransparentBackground = true;
    std::string page = wallpaper::WallpaperPage(s, FakeSysColor);
    EXPECT_TRUE(Has(page, "background: transparent;"));
    EXPECT_TRUE(Has(page, " data-transparent>"));
    EXPECT_FALSE(Has(page, "data-background"));

    s.TransparentBackground = false;
    s.BackgroundColor = Color(0x1FFFFFFF);
    page = wallpaper::WallpaperPage(s, FakeSysColor);
    EXPECT_TRUE(Has(page, " data-transparent>"));

    s.BackgroundColor = Color(0x20000000);
    page = wallpaper::WallpaperPage(s, FakeSysColor);
    EXPECT_TRUE(Has(page, "overflow: hidden; }"));
    EXPECT_FALSE(Has(page, "data-background"));
    EXPECT_FALSE(Has(page, "data-transparent"));

    s.BackgroundColor = Color(0xFF000005);
    EXPECT_TRUE(Has(wallpaper::WallpaperPage(s, FakeSysColor), "data-background=\"#050000\""));
}

TEST(WallpaperPage, VideoIsPlayedByThePlayerGivenItsNameAsFlashvar) {
    wallpaper::TPageSettings s = Movie();
    s.Video = true;
    s.MovieName = "my clip&co.flv";
    const std::string page = wallpaper::WallpaperPage(s, FakeSysColor);
    // The player's variable is decoded once, to the name under which the movie's data script
    // registers: the name's own URL form.
    EXPECT_EQ(s.MovieUrl(), "my%20clip%26co.flv");
    EXPECT_TRUE(Has(page, "data-movie=\"FLVPlayer.swf\" "
                          "data-flashvars=\"file=my%2520clip%2526co.flv\" "
                          "data-script-access"));
    EXPECT_FALSE(Has(page, "my clip"));
    EXPECT_FALSE(Has(page, "data-play-once"));
}

TEST(WallpaperPage, MovieNameAndTitleCannotBreakOutOfTheMarkup) {
    wallpaper::TPageSettings s = Movie();
    s.Title = "</title><script>alert(1)</script>";
    s.MovieName = "\"><script>x.swf";
    const std::string page = wallpaper::WallpaperPage(s, FakeSysColor);
    EXPECT_FALSE(Has(page, "<script>"));
    EXPECT_TRUE(Has(page, "<title>&lt;/title&gt;&lt;script&gt;alert(1)&lt;/script&gt;</title>"));
    EXPECT_TRUE(Has(page, "data-movie=\"%22%3E%3Cscript%3Ex.swf\""));
}

TEST(WallpaperPage, WebsiteTextIsEscapedAndColoured) {
    wallpaper::TPageSettings s = Movie();
    s.ShowText = true;
    s.TextLines = {"Made by <script>alert(1)</script>", "", "Tom & Jerry"};
    s.URL = "https://example.com/?a=1&b=2";
    s.TextColor = Color(0x000000FF);
    s.TextBGColor = Color(0xFF00000F);
    std::string page = wallpaper::WallpaperPage(s, FakeSysColor);
    EXPECT_TRUE(Has(page,
                    "<div id=\"text\">Made by &lt;script&gt;alert(1)&lt;/script&gt;<br>\n"
                    "<br>\nTom &amp; Jerry<br>\n<a href=\"https://example.com/?a=1&amp;b=2\""));
    EXPECT_TRUE(Has(page, ">https://example.com/?a=1&amp;b=2</a></div>"));
    EXPECT_TRUE(Has(page, "color: #ff0000; background: #0f0000;"));
    EXPECT_TRUE(Has(page, "#text a { color: inherit; }"));
    EXPECT_FALSE(Has(page, "<script>"));

    s.TextBGTransparent = true;
    page = wallpaper::WallpaperPage(s, FakeSysColor);
    EXPECT_TRUE(Has(page, "color: #ff0000; background: transparent;"));
}

TEST(WallpaperPage, AJavascriptUrlIsShownAsTextNotLinked) {
    wallpaper::TPageSettings s = Movie();
    s.ShowText = true;
    s.URL = "javascript:alert(\"x\")";
    const std::string page = wallpaper::WallpaperPage(s, FakeSysColor);
    EXPECT_FALSE(Has(page, "<a "));
    EXPECT_FALSE(Has(page, "href"));
    EXPECT_TRUE(Has(page, "<div id=\"text\">javascript:alert(&quot;x&quot;)</div>"));
}

TEST(WallpaperPage, TextOnlyWhenAskedForAndThereIsSome) {
    wallpaper::TPageSettings s = Movie();
    s.TextLines = {"secret words"};
    s.URL = "http://example.com";
    EXPECT_FALSE(Has(wallpaper::WallpaperPage(s, FakeSysColor), "secret words"));
    EXPECT_FALSE(Has(wallpaper::WallpaperPage(s, FakeSysColor), "example.com"));
    s.ShowText = true;
    s.TextLines.clear();
    s.URL.clear();
    EXPECT_FALSE(Has(wallpaper::WallpaperPage(s, FakeSysColor), "id=\"text\""));
    s.TextLines = {"", "second"};
    EXPECT_TRUE(
        Has(wallpaper::WallpaperPage(s, FakeSysColor), "<div id=\"text\"><br>\nsecond</div>"));
    s.TextColor = Color(0x20000000);
    s.TextBGColor = Color(0x20000000);
    const std::string page = wallpaper::WallpaperPage(s, FakeSysColor);
    EXPECT_TRUE(Has(page, "text-align: center; }"));
}
