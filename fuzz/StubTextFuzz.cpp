// The stub's text helpers: the names it installs under, the page's escaping and link, the
// command line and the JSON of Lively's settings. The input is taken whole and line by line.
#include "FuzzSupport.h"
#include "rtl/TextUtils.h"
#include "stub/LivelyInfo.h"
#include "stub/SafeNames.h"
#include "stub/StubCommandLine.h"
#include "stub/WallpaperPage.h"

namespace {

// The uninstall record takes only names that are their own clean form.
void RequireClean(const std::string& name, const char* promise) {
    fuzz::Require(name.size() <= stub::MaxSafeNameLength && stub::SafeFileName(name) == name,
                  promise);
}

void Check(const std::string& text, const std::string& next) {
    RequireClean(stub::SafeFileName(text),
                 "a clean name is short and cleaning it again changes nothing");
    RequireClean(stub::MovieFileName(text), "a movie's file name is clean");
    const std::string folder = stub::InstallName(text, next);
    fuzz::Require(!folder.empty(), "an installation always has a folder name");
    RequireClean(folder, "an installation's folder name is clean");

    for (const char c : stub::HtmlEscape(text))
        fuzz::Require(c != '<' && c != '>' && c != '"' && c != '\'', "escaped text has no markup");
    for (const char c : stub::PercentEncode(text))
        fuzz::Require(static_cast<unsigned char>(c) > ' ' && static_cast<unsigned char>(c) < 127,
                      "an encoded name is plain printable text");
    const std::string link = rtl::LowerCaseAscii(stub::LinkTarget(text));
    fuzz::Require(link.empty() || link.rfind("http:", 0) == 0 || link.rfind("https:", 0) == 0 ||
                      link.rfind("mailto:", 0) == 0,
                  "a link opens a web page or a mail, nothing else");

    stub::ParseArguments(stub::ArgumentText(text));
    stub::JsonStringValue(text, "WallpaperDir");
    // Lively's layout file: the wallpapers on the screens.
    for (const std::string& item : stub::JsonItems(text))
        if (const auto screen = stub::JsonMember(item, "LivelyScreen"))
            stub::JsonMember(*screen, "Index");
    fuzz::Require(stub::JsonStringValue("{\"k\": " + stub::JsonString(text) + "}", "k") == text,
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
