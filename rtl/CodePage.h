#pragma once

#include <string>
#include <vector>

#include "Errors.h"

namespace rtl {

// The program's own text, as paths, arguments and window texts hold it, is UTF-8: on Windows
// the programs ask for UTF-8 as their active code page in their manifests (honoured from
// Windows 10 1903), and Windows before that gives them its ANSI code page instead, which these
// two then stand for.
std::string NativeToUtf8(const std::string& text);
std::string Utf8ToNative(const std::string& text);

#ifdef _WIN32
// The program's own text in UTF-16, for the system calls whose 8-bit forms would read it in
// another code page: drawing text reads it in the code page of the font's character set.
std::wstring NativeToWide(const std::string& text);
#endif

// A Windows code page in which project files and installers keep their 8-bit text.
class TCodePage {
public:
    // The code page by its number, 1252 for Western European; raises Exception when the
    // system cannot convert to it.
    explicit TCodePage(int number);
    // The code page the system's 8-bit programs use, in which the window has always kept its
    // projects: Windows' ANSI code page of the system's locale; 1252 on other systems.
    static TCodePage System();

    int Number() const { return number_; }
    // The program's own text in the code page; a character the code page lacks raises
    // ELacksCharacter.
    std::string FromNative(const std::string& text) const;
    // text, still in the program's own, without the characters the code page lacks; lacking
    // receives each of those once, in the order they first occur.
    std::string Held(const std::string& text, std::vector<std::string>& lacking) const;
    // Text of the code page in the program's own; bytes the code page leaves undefined
    // become "?".
    std::string ToNative(const std::string& text) const;
    // Text of the code page in UTF-8, as a wallpaper's page and Lively's files hold it.
    std::string ToUtf8(const std::string& text) const;

    // A path as a project keeps it: in the code page when the code page holds it, otherwise
    // in UTF-8 behind the byte-order mark, which no path of a code page starts with.
    std::string FromNativePath(const std::string& path) const;
    std::string ToNativePath(const std::string& stored) const;

private:
    int number_;
};

// A text holds a character that a code page lacks; Character is the first such, in the
// program's own text, as Text is.
class ELacksCharacter : public Exception {
public:
    ELacksCharacter(const std::string& text, std::string character, int codePage);

    std::string Text;
    std::string Character;
};

} // namespace rtl
