#pragma once

#include <string>

namespace cli {

// Project files hold 8-bit text in a Windows code page, as the window writes it. On Windows
// the tool's own text (arguments, files, paths) is in the system code page already and passes
// unchanged; elsewhere it is UTF-8 and is converted on its way into a project and back out.
class TCodePage {
public:
    // The code page by its number, 1252 for Western European; raises rtl::Exception when the
    // system cannot convert to it.
    explicit TCodePage(int number);

    int Number() const { return number_; }
    // Text of the tool's own into the code page; a character the code page lacks raises
    // rtl::Exception naming it.
    std::string FromNative(const std::string& text) const;
    // Text of a project into the tool's own; bytes the code page leaves undefined become "?".
    std::string ToNative(const std::string& text) const;
    // Text of a project in UTF-8, as a wallpaper's page and Lively's files hold it.
    std::string ToUtf8(const std::string& text) const;

private:
    int number_;
};

} // namespace cli
