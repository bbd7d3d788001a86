#include "WallpaperPage.h"

#include <cstdio>
#include <optional>

#include "WebPlayer.h"
#include "core/InstallerUnit.h"
#include "rtl/TextUtils.h"

namespace wallpaper {

namespace {

bool IsSchemeChar(char c, bool first) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return letter || (!first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
}

std::string Declaration(const char* property, const std::string& value) {
    return value.empty() ? "" : std::string(property) + ": " + value + "; ";
}

std::string Attribute(const char* name, const std::string& value) {
    return " " + std::string(name) + "=\"" + HtmlEscape(value) + "\"";
}

std::string Script(const std::string& name) {
    return "<script src=\"" + HtmlEscape(PercentEncode(name)) + "\"></script>\n";
}

// A colour that reads on the page's background: black on a light one, white on a dark one,
// black where the background is left to the page or shows through.
std::string NoteColor(const std::string& background) {
    const std::optional<core::TColor> rgb = core::CssToColor(background);
    return rgb && core::IsDark(static_cast<uint32_t>(*rgb)) ? "#ffffff" : "#000000";
}

std::string TextBlock(const TPageSettings& s) {
    std::string html;
    for (size_t i = 0; i < s.TextLines.size(); ++i)
        html += (i > 0 ? "<br>\n" : "") + HtmlEscape(s.TextLines[i]);
    if (!s.URL.empty()) {
        if (!s.TextLines.empty())
            html += "<br>\n";
        const std::string target = LinkTarget(s.URL);
        if (target.empty())
            html += HtmlEscape(s.URL);
        else
            html += "<a href=\"" + HtmlEscape(target) + "\" target=\"_blank\" rel=\"noopener\">" +
                    HtmlEscape(s.URL) + "</a>";
    }
    return html;
}

} // namespace

std::string HtmlEscape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string PercentEncode(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const unsigned char b = static_cast<unsigned char>(c);
        if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') ||
            b == '-' || b == '.' || b == '_' || b == '~') {
            out += c;
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", b);
            out += hex;
        }
    }
    return out;
}

std::string LinkTarget(const std::string& url) {
    std::string trimmed = rtl::Trim(url);
    if (trimmed.empty())
        return "";
    for (const char c : trimmed)
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            return "";
    size_t i = 0;
    while (i < trimmed.size() && IsSchemeChar(trimmed[i], i == 0))
        ++i;
    if (i == 0 || i == trimmed.size() || trimmed[i] != ':')
        return "http://" + trimmed;
    const std::string scheme = rtl::LowerCaseAscii(trimmed.substr(0, i));
    if (scheme == "http" || scheme == "https" || scheme == "mailto")
        return trimmed;
    return "";
}

std::string PageBackground(const TPageSettings& s, const core::TSysColorFn& sysColor) {
    return s.TransparentBackground ? "transparent" : core::CssColor(s.BackgroundColor, sysColor);
}

std::string BackgroundOfPage(const std::string& html) {
    const std::string marker = Attribute("data-background", "");
    const size_t at = html.find(marker.substr(0, marker.size() - 1));
    if (at == std::string::npos)
        return "";
    const size_t start = at + marker.size() - 1;
    const size_t end = html.find('"', start);
    return end == std::string::npos ? "" : html.substr(start, end - start);
}

std::string PlaybackScript(bool paused) {
    return std::string("window.livelyWallpaperPlaybackChanged && "
                       "livelyWallpaperPlaybackChanged({IsPaused: ") +
           (paused ? "true" : "false") + "})";
}

std::string PropertyScript(const std::string& name, const std::string& value) {
    return "window.livelyPropertyListener && livelyPropertyListener(\"" + name + "\", " + value +
           ")";
}

std::string DrawnScript() {
    return "document.documentElement.hasAttribute(\"data-drawn\")";
}

bool ShowsText(const TPageSettings& s) {
    return s.ShowText && !TextBlock(s).empty();
}

std::string WallpaperPage(const TPageSettings& s, const core::TSysColorFn& sysColor) {
    const std::string background = PageBackground(s, sysColor);
    const std::string textColor = core::CssColor(s.TextColor, sysColor);
    const std::string textBackground =
        s.TextBGTransparent ? "transparent" : core::CssColor(s.TextBGColor, sysColor);

    std::string html = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" +
                       HtmlEscape(s.Title) + "</title>\n<style>\n";
    html += "html, body { margin: 0; padding: 0; width: 100%; height: 100%; overflow: hidden; " +
            Declaration("background", background) + "}\n";
    // A column: the movie takes what the text below it leaves.
    html += "body { display: flex; flex-direction: column; }\n";
    html += "#movie { position: relative; flex: 1 1 0; min-height: 0; }\n";
    html += "#movie > * { position: absolute; left: 0; top: 0; width: 100%; height: 100%; }\n";
    html += ".note { position: absolute; left: 0; right: 0; top: 45%; margin: 0; "
            "text-align: center; font: 16px sans-serif; color: " +
            NoteColor(background) + "; }\n";
    html += "#text { flex: none; max-height: 50%; overflow: auto; padding: 6px 12px; "
            "font: 14px sans-serif; text-align: center; " +
            Declaration("color", textColor) + Declaration("background", textBackground) + "}\n";
    html += "#text a { color: inherit; }\n</style>\n</head>\n<body>\n";

    html += "<div id=\"movie\"";
    if (s.Video) {
        html += Attribute("data-movie", core::PlayerFileName);
        html += Attribute("data-flashvars", "file=" + PercentEncode(s.MovieUrl()));
        // Our own player movie; the page may change its video as the desktop control does.
        html += " data-script-access";
    } else {
        html += Attribute("data-movie", s.MovieUrl());
        if (!s.Loop)
            html += " data-play-once";
    }
    // Without a colour of its own the movie keeps the background it was made with.
    if (background == "transparent")
        html += " data-transparent";
    else if (!background.empty())
        html += Attribute("data-background", background);
    html += "></div>\n";
    html += "<noscript><p class=\"note\">This wallpaper needs JavaScript to play.</p></noscript>\n";
    html += "<p class=\"note\" id=\"no-webassembly\" hidden>This wallpaper needs WebAssembly to "
            "play.</p>\n";

    if (ShowsText(s))
        html += "<div id=\"text\">" + TextBlock(s) + "</div>\n";
    html += Script(TWebPlayer::PageScript);
    for (const std::string& script : s.DataScripts)
        html += Script(script);
    html += Script(TWebPlayer::PlayerScript);
    html += "</body>\n</html>\n";
    return html;
}

} // namespace wallpaper
