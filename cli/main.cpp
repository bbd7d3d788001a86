#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Commands.h"
#include "Console.h"
#include "rtl/Errors.h"

namespace {

using cli::EUsage;
using cli::ExitError;
using cli::ExitSuccess;
using cli::ExitUsage;

const char* const SettingsUsage =
    "SETTINGS, one option for each setting of a project file:\n"
    "  --movie PATH                 the movie (.swf) or video (.flv); stored as a full path\n"
    "  --title TEXT                 the wallpaper's title\n"
    "  --output PATH                the installer to write\n"
    "  --background COLOR           the background colour\n"
    "  --transparent-background     a transparent background\n"
    "  --license-file FILE          the licence text, from a text file\n"
    "  --show-license               show the licence before installing\n"
    "  --text-file FILE             the website text, from a text file\n"
    "  --show-text                  show the website text and link\n"
    "  --url TEXT                   the website link\n"
    "  --text-color COLOR           the colour of the website text\n"
    "  --text-background COLOR      the colour behind it\n"
    "  --text-transparent           nothing behind it\n"
    "  --loop                       play a Flash movie in a loop; a video always loops\n"
    "  --new-guid                   a new identity: installs beside the old one, not over it\n"
    "  A switch also takes =1 or =0. COLOR: a name such as clWhite, $00BBGGRR (blue, green,\n"
    "  red), a decimal number, or #RRGGBB.\n"
    "  --codepage N                 the Windows code page of the project's text (1252)\n";

const char* const ExitUsageText = "Exit codes: 0 done, 1 error, 2 wrong arguments.\n";

struct TCommand {
    const char* Name;
    const char* Usage;
    bool TakesSettings;
    int (*Run)(const std::vector<std::string>& args);
};

// clang-format off
const TCommand Commands[] = {
    {"pack", "pack OUT (--raw FILE | --zlib FILE)...\n"
             "  Writes a container of the files, in order, each stored as it is or zlib-compressed.\n",
     false, cli::Pack},
    {"list", "list FILE\n"
             "  Lists a container's entries: offset, sizes, whether stored raw or as zlib, and in an\n"
             "  installer or installer.dat (whose container is behind its program) what each is.\n",
     false, cli::List},
    {"extract", "extract FILE INDEX OUT [--force]\n"
                "  Writes the content of entry INDEX; --force inflates even an entry of equal sizes.\n",
     false, cli::Extract},
    {"project new", "project new OUT [--assets DIR | --no-template] [--force] [SETTINGS]\n"
                    "  Makes a project file as the window starts one: the settings of the template\n"
                    "  project blankProject (from DIR, else from beside muravel-cli) under a new GUID,\n"
                    "  or the plain defaults (black on black); --force replaces an existing OUT.\n",
     true, cli::ProjectNew},
    {"project set", "project set FILE SETTINGS\n"
                    "  Changes settings of a project file.\n",
     true, cli::ProjectSet},
    {"project show", "project show FILE [--codepage N]\n"
                     "  Prints a project file's settings in the order of its text.\n",
     false, cli::ProjectShow},
    {"build", "build PROJECT [-o OUT] [--assets DIR] [--stub FILE] [--codepage N]\n"
              "build --movie MOVIE --title TITLE -o OUT [SETTINGS] [--assets DIR | --no-template]\n"
              "      [--stub FILE]\n"
              "  Writes a wallpaper installer: from a project file as the window does after opening it,\n"
              "  or from the template project and the settings, as project new makes one. installer.dat,\n"
              "  FLVPlayer.swf, swfobject.js and blankProject come from DIR, else from beside\n"
              "  muravel-cli; --stub names another stub. A movie that is empty, no Flash movie or\n"
              "  video, damaged or cut off is refused.\n",
     true, cli::Build},
    {"page", "page PROJECT -o DIR [--force] [--open | --zip] [--assets DIR] [--stub FILE]\n"
             "     [--codepage N]\n"
             "page --movie MOVIE --title TITLE -o DIR [SETTINGS] [--force] [--open | --zip]\n"
             "     [--assets DIR | --no-template] [--stub FILE]\n"
             "  Writes into DIR the folder an installer would install (no uninstaller): open its\n"
             "  wallpaper.html in a browser, serve it, add it in Lively Wallpaper or put it in\n"
             "  Wallpaper Engine's projects\\myprojects. DIR is made; one that holds anything is\n"
             "  refused unless --force. --open opens the page with the default browser. With\n"
             "  --zip, -o names a .zip of the same files, which Lively imports by drag and drop;\n"
             "  an existing file is refused unless --force. The web player comes from\n"
             "  installer.dat, as for build.\n",
     true, cli::Page},
    {"info", "info MOVIE\n"
             "  Prints what the preview reads of a movie or video, one \"key: value\" line each, in\n"
             "  this order where they apply: kind (flash movie, flash video), version, compression\n"
             "  (none, zlib, lzma), width, height (pixels), frame rate, frames, background (#rrggbb),\n"
             "  duration (seconds), video codec, audio codec; then a \"warning:\" line for each of a\n"
             "  video the web player may not decode, a damaged file and a cut-off file. A file that is\n"
             "  no movie exits 1.\n",
     false, cli::Info},
};
// clang-format on

// The command's usage lines: its synopses, each after "muravel-cli", then what it does when
// whole is set.
std::string Lines(const TCommand& command, bool whole) {
    std::string text;
    const std::string usage = command.Usage;
    for (size_t start = 0; start < usage.size();) {
        const size_t end = usage.find('\n', start);
        const std::string line = usage.substr(start, end - start);
        const bool synopsis = line.rfind("  ", 0) != 0;
        if (synopsis || whole)
            text += (synopsis ? "       muravel-cli " : "") + line + "\n";
        start = end + 1;
    }
    return text;
}

std::string UsageOf(const TCommand& command) {
    const std::string lines = Lines(command, true);
    return "usage:" + lines.substr(6) + (command.TakesSettings ? SettingsUsage : "") +
           ExitUsageText;
}

std::string FullUsage() {
    std::string text = "usage: muravel-cli COMMAND ...\n";
    for (const TCommand& command : Commands)
        text += Lines(command, false);
    return text + "Give a command --help for its options.\n" + ExitUsageText;
}

const TCommand* Find(const std::vector<std::string>& args, size_t& used) {
    for (const TCommand& command : Commands) {
        const std::string name = command.Name;
        const size_t space = name.find(' ');
        if (space == std::string::npos && !args.empty() && args[0] == name) {
            used = 1;
            return &command;
        }
        if (space != std::string::npos && args.size() >= 2 && args[0] == name.substr(0, space) &&
            args[1] == name.substr(space + 1)) {
            used = 2;
            return &command;
        }
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    const cli::TUtf8Console console;
    const std::vector<std::string> args(argv + 1, argv + argc);
    size_t used = 0;
    const TCommand* command = Find(args, used);
    const std::vector<std::string> rest(args.begin() + static_cast<long>(used), args.end());
    if (cli::AsksForHelp(command != nullptr ? rest : args)) {
        std::fputs(command != nullptr ? UsageOf(*command).c_str() : FullUsage().c_str(), stdout);
        return ExitSuccess;
    }
    try {
        if (command == nullptr)
            throw EUsage{args.empty() ? "no command" : "unknown command " + args[0]};
        return command->Run(rest);
    } catch (const EUsage& usage) {
        const std::string text = !usage.ShowUsage     ? ""
                                 : command != nullptr ? UsageOf(*command)
                                                      : FullUsage();
        std::fprintf(stderr, "%smuravel-cli: %s\n", text.c_str(), usage.Message.c_str());
        return ExitUsage;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "muravel-cli: %s\n", rtl::EOutOfMemory().Message.c_str());
        return ExitError;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "muravel-cli: %s\n", error.what());
        return ExitError;
    }
}
