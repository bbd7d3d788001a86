#include <gtest/gtest.h>

#include "TestFiles.h"
#include "wallpaper/WallpaperPage.h"

using testfiles::Color;
using testfiles::ExpectContains;
using testfiles::FakeSysColor;

namespace {

wallpaper::TPageSettings Movie() {
    wallpaper::TPageSettings s;
    s.Title = "Blue Lagoon";
    s.MovieName = "lagoon.swf";
    return s;
}

std::string Page(const wallpaper::TPageSettings& s) {
    return wallpaper::WallpaperPage(s, FakeSysColor);
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
    ExpectContains(Page(s),
                   {"<title>Blue Lagoon</title>", "background: #0080ff;",
                    "<div id=\"movie\" data-movie=\"lagoon.swf\" data-background=\"#0080ff\">",
                    // The page's script replaces fetch before the data scripts register, the
                    // player comes last.
                    "<script src=\"wallpaper.js\"></script>\n<script src=\"ruffle-wasm.js\">"
                    "</script>\n<script src=\"movie.js\"></script>\n"
                    "<script src=\"ruffle.js\"></script>\n</body>",
                    "<noscript><p class=\"note\">This wallpaper needs JavaScript to play.",
                    "id=\"no-webassembly\" hidden>This wallpaper needs WebAssembly to play.",
                    // The notes read on a dark background.
                    "color: #ffffff; }"},
                   {"data-play-once", "data-script-access", "id=\"text\""});

    s.Loop = false;
    s.BackgroundColor = Color(0x00C0FFFF);
    // The notes read on a light background.
    ExpectContains(Page(s), {"data-play-once", "color: #000000; }"});
}

TEST(WallpaperPage, TransparentAndDefaultBackgrounds) {
    wallpaper::TPageSettings s = Movie();
    s.BackgroundColor = Color(0x000000FF);
    s.TransparentBackground = true;
    ExpectContains(Page(s), {"background: transparent;", " data-transparent>"},
                   {"data-background"});

    s.TransparentBackground = false;
    s.BackgroundColor = Color(0x1FFFFFFF);
    ExpectContains(Page(s), {" data-transparent>"});

    s.BackgroundColor = Color(0x20000000);
    ExpectContains(Page(s), {"overflow: hidden; }"}, {"data-background", "data-transparent"});

    s.BackgroundColor = Color(0xFF000005);
    ExpectContains(Page(s), {"data-background=\"#050000\""});
}

TEST(WallpaperPage, VideoIsPlayedByThePlayerGivenItsNameAsFlashvar) {
    wallpaper::TPageSettings s = Movie();
    s.Video = true;
    s.MovieName = "my clip&co.flv";
    // The player's variable is decoded once, to the name under which the movie's data script
    // registers: the name's own URL form.
    EXPECT_EQ(s.MovieUrl(), "my%20clip%26co.flv");
    ExpectContains(Page(s),
                   {"data-movie=\"FLVPlayer.swf\" data-flashvars=\"file=my%2520clip%2526co.flv\" "
                    "data-script-access"},
                   {"my clip", "data-play-once"});
}

TEST(WallpaperPage, MovieNameAndTitleCannotBreakOutOfTheMarkup) {
    wallpaper::TPageSettings s = Movie();
    s.Title = "</title><script>alert(1)</script>";
    s.MovieName = "\"><script>x.swf";
    ExpectContains(Page(s),
                   {"<title>&lt;/title&gt;&lt;script&gt;alert(1)&lt;/script&gt;</title>",
                    "data-movie=\"%22%3E%3Cscript%3Ex.swf\""},
                   {"<script>"});
}

TEST(WallpaperPage, WebsiteTextIsEscapedAndColoured) {
    wallpaper::TPageSettings s = Movie();
    s.ShowText = true;
    s.TextLines = {"Made by <script>alert(1)</script>", "", "Tom & Jerry"};
    s.URL = "https://example.com/?a=1&b=2";
    s.TextColor = Color(0x000000FF);
    s.TextBGColor = Color(0xFF00000F);
    ExpectContains(Page(s),
                   {"<div id=\"text\">Made by &lt;script&gt;alert(1)&lt;/script&gt;<br>\n"
                    "<br>\nTom &amp; Jerry<br>\n<a href=\"https://example.com/?a=1&amp;b=2\"",
                    ">https://example.com/?a=1&amp;b=2</a></div>",
                    "color: #ff0000; background: #0f0000;", "#text a { color: inherit; }"},
                   {"<script>"});

    s.TextBGTransparent = true;
    ExpectContains(Page(s), {"color: #ff0000; background: transparent;"});
}

TEST(WallpaperPage, AJavascriptUrlIsShownAsTextNotLinked) {
    wallpaper::TPageSettings s = Movie();
    s.ShowText = true;
    s.URL = "javascript:alert(\"x\")";
    ExpectContains(Page(s), {"<div id=\"text\">javascript:alert(&quot;x&quot;)</div>"},
                   {"<a ", "href"});
}

TEST(WallpaperPage, TextOnlyWhenAskedForAndThereIsSome) {
    wallpaper::TPageSettings s = Movie();
    s.TextLines = {"secret words"};
    s.URL = "http://example.com";
    ExpectContains(Page(s), {}, {"secret words", "example.com"});
    s.ShowText = true;
    s.TextLines.clear();
    s.URL.clear();
    ExpectContains(Page(s), {}, {"id=\"text\""});
    s.TextLines = {"", "second"};
    ExpectContains(Page(s), {"<div id=\"text\"><br>\nsecond</div>"});
    s.TextColor = Color(0x20000000);
    s.TextBGColor = Color(0x20000000);
    ExpectContains(Page(s), {"text-align: center; }"});
}
