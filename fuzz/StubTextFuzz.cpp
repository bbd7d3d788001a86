// The stub's text helpers: the names it installs under, the page's escaping and link, the
// command line and the JSON of Lively's settings. The input is taken whole and line by line.
#include "FuzzSupport.h"
#include "rtl/TextUtils.h"
#include "stub/StubCommandLine.h"
#include "wallpaper/LivelyInfo.h"
#include "wallpaper/SafeNames.h"
#include "wallpaper/WallpaperPage.h"

namespace {

// The uninstall record takes only names that are their own clean form.
void RequireClean(const std::string& name, const char* promise) {
    fuzz::Require(name.size() <= wallpaper::MaxSafeNameLength &&
                      wallpaper::SafeFileName(name) == name,
                  promise);
}

void Check(const std::string& text, const std::string& next) {
    RequireClean(wallpaper::SafeFileName(text),
                 "a clean name is short and cleaning it again changes nothing");
    RequireClean(wallpaper::MovieFileName(text), "a movie's file name is clean");
    const std::string folder = wallpaper::InstallName(text, next);
    fuzz::Require(!folder.empty(), "an installation always has a folder name");
    RequireClean(folder, "an installation's folder name is clean");

    for (const char c : wallpaper::HtmlEscape(text))
        fuzz::Require(c != '<' && c != '>' && c != '"' && c != '\'', "escaped text has no markup");
    for (const char c : wallpaper::PercentEncode(text))
        fuzz::Require(static_cast<unsigned char>(c) > ' ' && static_cast<unsigned char>(c) < 127,
                      "an encoded name is plain printable text");
    const std::string link = rtl::LowerCaseAscii(wallpaper::LinkTarget(text));
    fuzz::Require(link.empty() || link.rfind("http:", 0) == 0 || link.rfind("https:", 0) == 0 ||
                      link.rfind("mailto:", 0) == 0,
                  "a link opens a web page or a mail, nothing else");

    stub::ParseArguments(stub::ArgumentText(text));
    wallpaper::JsonStringValue(text, "WallpaperDir");
    // Lively's layout file: the wallpapers on the screens.
    for (const std::string& item : wallpaper::JsonItems(text))
        if (const auto screen = wallpaper::JsonMember(item, "LivelyScreen"))
            wallpaper::JsonMember(*screen, "Index");
    fuzz::Require(wallpaper::JsonStringValue("{\"k\": " + wallpaper::JsonString(text) + "}", "k") ==
                      text,
                  "a JSON string reads back as the text it was made of");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = fuzz::Text(data, size);
    const std::vector<std::string> lines = rtl::Split(text, '\n');
    Check(text, lines.back());
    for (size_t i = 0; i + 1 < lines.size(); ++i)
        Check(lines[i], lines[i + 1]);
    return 0;
}
