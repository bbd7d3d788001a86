#pragma once

#include <string>
#include <vector>

#include "core/Colors.h"

namespace wallpaper {

// & < > " and ' as character references, so the text is safe in content and in attributes.
std::string HtmlEscape(const std::string& text);
// Everything but letters, digits and - . _ ~ as %XX, for a file name inside a URL.
std::string PercentEncode(const std::string& text);

// The target of a website link: the URL itself when it is an http, https or mailto URL, with
// http:// put in front of one that names no scheme (as "www.example.com"); empty for any other
// scheme (javascript:, file:, data: ...) or a URL holding control characters, which browsers
// would strip to reveal a scheme.
std::string LinkTarget(const std::string& url);

// What the page shows; every text in UTF-8.
struct TPageSettings {
    std::string Title;
    std::string MovieName; // the movie's name, under which the page's player asks for it
    bool Video = false;    // played by FLVPlayer.swf, which is given the name as "file"
    bool Loop = false;     // a Flash movie's; the player movie loops a video always
    core::TColor BackgroundColor = 0;
    bool TransparentBackground = false;
    bool ShowText = false;
    std::vector<std::string> TextLines;
    std::string URL;
    core::TColor TextColor = 0;
    core::TColor TextBGColor = 0;
    bool TextBGTransparent = false;
    // The data scripts beside the page, loaded after wallpaper.js and before ruffle.js.
    std::vector<std::string> DataScripts;

    // The movie's URL relative to the page, as its data script registers it.
    std::string MovieUrl() const { return PercentEncode(MovieName); }
};

// The page's background: "transparent", "#rrggbb", or empty when the movie keeps its own.
std::string PageBackground(const TPageSettings& settings, const core::TSysColorFn& sysColor);
// The background a page that WallpaperPage wrote carries: "#rrggbb", or empty when it is
// transparent or left to the movie, or html is no such page.
std::string BackgroundOfPage(const std::string& html);
// What a host runs in the page to pause or resume the movie: Lively's playback event, which
// the page answers.
std::string PlaybackScript(bool paused);
// What a host runs in the page to change one of its properties (Lively's property listener):
// name one of "background", "showText", "fit", "volume", value as script text.
std::string PropertyScript(const std::string& name, const std::string& value);
// What a host runs in the page to learn whether the movie has drawn its first frame: "true"
// once it has.
std::string DrawnScript();
// Whether the page shows the website text: ShowText, and something to show.
bool ShowsText(const TPageSettings& settings);

// The wallpaper page: the movie played by the web player (wallpaper.js, the data scripts
// and ruffle.js beside it), as large as the window allows with its aspect kept, centred on the
// background colour; with ShowText the website text takes a strip of its own along the bottom
// and the movie the rest, so the text never covers it. The settings ride on the
// #movie element as data attributes. Without script or WebAssembly the page says so in a
// line on the background.
std::string WallpaperPage(const TPageSettings& settings, const core::TSysColorFn& sysColor);

} // namespace wallpaper
