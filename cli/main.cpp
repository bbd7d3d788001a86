#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Console.h"
#include "ProjectSettings.h"
#include "Shell.h"
#include "core/Colors.h"
#include "core/CompileUnit.h"
#include "core/ContainerDirectory.h"
#include "core/DecompileUnit.h"
#include "core/InstallerBuilder.h"
#include "core/InstallerUnit.h"
#include "core/MovieInfoUnit.h"
#include "core/PeImage.h"
#include "core/ProjectUnit.h"
#include "rtl/Errors.h"
#include "rtl/Guid.h"
#include "rtl/Paths.h"
#include "rtl/Streams.h"
#include "rtl/TextUtils.h"
#include "wallpaper/FolderFromFiles.h"
#include "wallpaper/SafeNames.h"
#include "wallpaper/WebPlayer.h"

namespace {

using cli::EUsage;
using cli::TArguments;
using TKind = TArguments::TKind;

constexpr int ExitSuccess = 0;
constexpr int ExitError = 1;
constexpr int ExitUsage = 2;

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

// An entry is labelled zlib when its bytes are a whole zlib stream of its source size.
bool IsZlibEntry(core::TDecompileStream& reader, int32_t index) {
    if (reader.StoredSize(index) == 0)
        return false;
    try {
        reader.GetStream(index, true);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// An installer signed after it was generated ends with a certificate table; the container ends
// before it. installer.dat carries its container behind its program. Returns where the
// container starts in the file.
int64_t Decompile(rtl::TMemoryStream& file, core::TDecompileStream& reader) {
    const int64_t end = core::TContainerDirectory::ContainerEnd(file.Memory(), file.Size());
    const int64_t start = core::TContainerDirectory::ContainerStart(file.Memory(), end);
    rtl::TMemoryView container(file.Memory() + start, end - start);
    reader.Decompile(container);
    return start;
}

// What each entry of a file's container is, where the file is one of ours: an installer, or
// installer.dat with the web player behind its program; empty otherwise.
std::vector<std::string> EntryNames(rtl::TMemoryStream& file, int64_t start,
                                    core::TDecompileStream& reader) {
    if (start > 0) {
        try {
            const wallpaper::TWebPlayer player(file.Memory(), file.Size());
            std::vector<std::string> names{"list of files"};
            for (const wallpaper::TWebPlayer::TFile& entry : player.Files())
                names.push_back(entry.Name);
            return names;
        } catch (const wallpaper::EDamaged&) {
            return {};
        }
    }
    const int32_t count = reader.EntryCount();
    if ((count != core::MovieEntryCount && count != core::VideoEntryCount) ||
        reader.SourceSize(core::StubEntry) != reader.StoredSize(core::StubEntry) ||
        !core::ProgramEnd(file.Memory(), reader.StoredSize(core::StubEntry)))
        return {};
    std::vector<std::string> names{core::StubFileName, "project", "movie", core::PlayerFileName,
                                   core::ScriptFileName};
    names.resize(static_cast<size_t>(count));
    return names;
}

std::string ScratchIniPath() {
    return rtl::TempDirectory() + rtl::NewGuidText();
}

rtl::TCodePage CodePageOf(const TArguments& args) {
    const std::string number = args.Value("--codepage").value_or("1252");
    int32_t value = 0;
    if (!rtl::TryStrToInt(number, value) || value <= 0)
        throw EUsage{"--codepage \"" + number + "\" is not a code page number"};
    return rtl::TCodePage(value);
}

// A line on standard error that follows a long compression, when that is a terminal: after a
// second, and then at each new percent.
class TProgressLine {
public:
    TProgressLine() : shown_(isatty(STDERR_FILENO) != 0), start_(Clock::now()) {}
    ~TProgressLine() {
        if (printed_)
            std::fputs("\n", stderr);
    }
    TProgressLine(const TProgressLine&) = delete;
    TProgressLine& operator=(const TProgressLine&) = delete;

    void Show(const std::string& path, int64_t done, int64_t total) {
        const int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
        if (!shown_ || Clock::now() - start_ < std::chrono::seconds(1) ||
            (percent == percent_ && path == path_))
            return;
        percent_ = percent;
        path_ = path;
        std::fprintf(stderr, "\r%3d%% %s\033[K", percent, rtl::ExtractFileName(path).c_str());
        std::fflush(stderr);
        printed_ = true;
    }

private:
    using Clock = std::chrono::steady_clock;
    bool shown_;
    Clock::time_point start_;
    bool printed_ = false;
    int percent_ = -1;
    std::string path_;
};

int Pack(const std::vector<std::string>& args) {
    if (args.empty() || args.size() % 2 != 1)
        throw EUsage{"pack takes OUT and pairs of --raw FILE or --zlib FILE"};
    for (size_t i = 1; i < args.size(); i += 2)
        if (args[i] != "--raw" && args[i] != "--zlib")
            throw EUsage{"unknown option " + args[i]};
    rtl::TReplacingFile out(args[0]);
    core::TCompileStream writer(out.Stream());
    TProgressLine progress;
    for (size_t i = 1; i < args.size(); i += 2) {
        const std::string& path = args[i + 1];
        rtl::TFileStream file(path, rtl::FileMode::OpenRead);
        writer.OnProgress = [&](int64_t done, int64_t total) { progress.Show(path, done, total); };
        writer.AddStream(file, args[i] == "--zlib");
    }
    writer.Finish();
    out.Commit();
    return ExitSuccess;
}

int List(const std::vector<std::string>& args) {
    const TArguments parsed(args, {});
    if (parsed.Operands().size() != 1)
        throw EUsage{"list takes one FILE"};
    rtl::TMemoryStream file;
    file.LoadFromFile(parsed.Operands()[0]);
    core::TDecompileStream reader;
    const int64_t start = Decompile(file, reader);
    const std::vector<std::string> names = EntryNames(file, start, reader);
    std::printf("entries %d\n", reader.EntryCount());
    for (int32_t i = 0; i < reader.EntryCount(); ++i)
        std::printf("%d offset %lld source %d stored %d %s%s\n", i,
                    static_cast<long long>(start + reader.Offset(i)), reader.SourceSize(i),
                    reader.StoredSize(i), IsZlibEntry(reader, i) ? "zlib" : "raw",
                    static_cast<size_t>(i) < names.size() ? (" " + names[i]).c_str() : "");
    return ExitSuccess;
}

int Extract(const std::vector<std::string>& args) {
    const TArguments parsed(args, {{"--force", TKind::Switch}});
    int32_t index;
    if (parsed.Operands().size() != 3 || !rtl::TryStrToInt(parsed.Operands()[1], index))
        throw EUsage{"extract takes FILE, INDEX and OUT"};
    rtl::TMemoryStream file;
    file.LoadFromFile(parsed.Operands()[0]);
    core::TDecompileStream reader;
    Decompile(file, reader);
    reader.GetStream(index, parsed.Value("--force") == "1")
        ->SaveToFileReplacing(parsed.Operands()[2]);
    return ExitSuccess;
}

std::vector<TArguments::TOption> WithSettings(std::vector<TArguments::TOption> options) {
    const std::vector<TArguments::TOption>& settings = cli::SettingOptions();
    options.insert(options.end(), settings.begin(), settings.end());
    options.push_back({"--codepage", TKind::Value});
    return options;
}

// Refusals a user can mend before any work starts; exit 1 like any other error.
struct TRefusal {
    std::string Message;
};

// Where installer.dat, the player files and the template project are.
std::string AssetsFolder(const TArguments& parsed) {
    const std::optional<std::string> assets = parsed.Value("--assets");
    return assets ? rtl::IncludeTrailingDelimiter(*assets) : rtl::ExecutableFolder();
}

// The settings given, after which a movie given must pass the check an installer's movie must.
void ApplyCheckedSettings(const TArguments& parsed, const rtl::TCodePage& codePage,
                          core::TProject& project) {
    cli::ApplySettings(parsed, codePage, project);
    if (const std::optional<std::string> movie = parsed.Value("--movie")) {
        const std::string fault = core::TMovieInfo::Check(*movie);
        if (!fault.empty())
            throw TRefusal{fault};
    }
}

// A new project as the window starts one: the template's settings under a GUID of their own,
// or with --no-template the plain defaults; then the settings given.
void NewProject(const TArguments& parsed, const rtl::TCodePage& codePage, core::TProject& project) {
    if (parsed.Value("--no-template") != "1") {
        const std::string path = AssetsFolder(parsed) + core::TemplateFileName;
        if (!rtl::FileExists(path))
            throw TRefusal{"The template project \"" + path +
                           "\" is missing; give --assets DIR or --no-template."};
        project.LoadFromFile(path);
    }
    project.GUID = rtl::NewGuidText();
    ApplyCheckedSettings(parsed, codePage, project);
}

int ProjectNew(const std::vector<std::string>& args) {
    const TArguments parsed(args, WithSettings({{"--no-template", TKind::Switch},
                                                {"--assets", TKind::Value},
                                                {"--force", TKind::Switch}}));
    if (parsed.Operands().size() != 1)
        throw EUsage{"project new takes one OUT"};
    const std::string& out = parsed.Operands()[0];
    if (parsed.Value("--force") != "1" && (rtl::FileExists(out) || rtl::DirectoryExists(out)))
        throw TRefusal{"\"" + out + "\" exists; give --force to replace it."};
    const rtl::TCodePage codePage = CodePageOf(parsed);
    core::TProject project(ScratchIniPath());
    NewProject(parsed, codePage, project);
    project.SaveToFile(out);
    return ExitSuccess;
}

int ProjectSet(const std::vector<std::string>& args) {
    const TArguments parsed(args, WithSettings({}));
    if (parsed.Operands().size() != 1 || !cli::HasSettings(parsed))
        throw EUsage{"project set takes one FILE and the settings to change"};
    const rtl::TCodePage codePage = CodePageOf(parsed);
    core::TProject project(ScratchIniPath());
    project.LoadFromFile(parsed.Operands()[0]);
    ApplyCheckedSettings(parsed, codePage, project);
    project.SaveToFile(parsed.Operands()[0]);
    return ExitSuccess;
}

void PrintLines(const char* heading, const rtl::TStringList& lines,
                const rtl::TCodePage& codePage) {
    std::printf("[%s]\n", heading);
    for (const std::string& line : lines.Items())
        std::printf("%s\n", codePage.ToNative(line).c_str());
}

int ProjectShow(const std::vector<std::string>& args) {
    const TArguments parsed(args, {{"--codepage", TKind::Value}});
    if (parsed.Operands().size() != 1)
        throw EUsage{"project show takes one FILE"};
    const rtl::TCodePage codePage = CodePageOf(parsed);
    core::TProject p(ScratchIniPath());
    p.LoadFromFile(parsed.Operands()[0]);
    const auto text = [&](const std::string& value) { return codePage.ToNative(value); };
    auto flag = [](bool b) { return b ? "1" : "0"; };
    std::printf("Version=%d\nGUID=%s\nCount=%d\n", p.Version, p.GUID.c_str(), p.FlashFiles.Count());
    for (int i = 0; i < p.FlashFiles.Count(); ++i)
        std::printf("Flash%d=%s\n", i, codePage.ToNativePath(p.FlashFiles.Get(i)).c_str());
    std::printf(
        "FileTitle=%s\nBackgroundColor=%s\nTransparentBackground=%s\nShowLicense=%s\nShowText=%s\n"
        "URL=%s\nTextColor=%s\nTextBGColor=%s\nTextBGTransparent=%s\nOutputFile=%s\nLoop=%s\n",
        text(p.FileTitle).c_str(), core::ColorToString(p.BackgroundColor).c_str(),
        flag(p.TransparentBackground), flag(p.ShowLicense), flag(p.ShowText), text(p.URL).c_str(),
        core::ColorToString(p.TextColor).c_str(), core::ColorToString(p.TextBGColor).c_str(),
        flag(p.TextBGTransparent), codePage.ToNativePath(p.OutputFile).c_str(), flag(p.Loop));
    PrintLines("License", p.LicenseLines, codePage);
    PrintLines("Text", p.TextLines, codePage);
    return ExitSuccess;
}

// The options of the commands that make a wallpaper of a PROJECT or of --movie and settings.
std::vector<TArguments::TOption> WallpaperOptions(std::vector<TArguments::TOption> options) {
    for (const TArguments::TOption& option :
         {TArguments::TOption{"-o", TKind::Value}, TArguments::TOption{"--assets", TKind::Value},
          TArguments::TOption{"--stub", TKind::Value},
          TArguments::TOption{"--no-template", TKind::Switch}})
        options.push_back(option);
    return WithSettings(std::move(options));
}

// The project a wallpaper is made of: from its file, as the window opens it, or from the
// template and the settings. True when it came from a file.
bool WallpaperProject(const char* command, const TArguments& parsed, const rtl::TCodePage& codePage,
                      core::TProject& project) {
    const bool fromProject = parsed.Operands().size() == 1;
    if (parsed.Operands().size() > 1 ||
        (fromProject && (cli::HasSettings(parsed) || parsed.Has("--no-template"))) ||
        (!fromProject && !parsed.Has("--movie")))
        throw EUsage{std::string(command) + " takes a PROJECT, or --movie and the settings of one"};
    if (fromProject)
        project.LoadFromFile(parsed.Operands()[0]);
    else
        NewProject(parsed, codePage, project);
    return fromProject;
}

int Build(const std::vector<std::string>& args) {
    const TArguments parsed(args, WallpaperOptions({}));
    const rtl::TCodePage codePage = CodePageOf(parsed);
    core::TProject project(ScratchIniPath());
    const bool fromProject = WallpaperProject("build", parsed, codePage, project);
    std::string output = codePage.ToNativePath(project.OutputFile);
    if (const auto o = parsed.Value("-o"))
        output = *o;

    const std::string assets = AssetsFolder(parsed);
    core::TInstallerInputs inputs;
    inputs.StubPath = parsed.Value("--stub").value_or(assets + core::StubFileName);
    inputs.FlashPath = project.FlashFiles.Count() > 0
                           ? codePage.ToNativePath(project.FlashFiles.Get(0))
                           : std::string();
    inputs.PlayerFolder = assets;
    inputs.OutputPath = output;
    inputs.ScratchPath = rtl::TempDirectory() + rtl::NewGuidText() + ".zvrk";
    if (const auto refusal = core::CheckInputs(inputs, project.FileTitle))
        throw TRefusal{refusal->Message};
    const std::string storedOutput = codePage.FromNativePath(output);

    TProgressLine progress;
    core::TInstallerBuilder().Build(
        inputs,
        [&](const std::string& path) {
            core::TProject saved(ScratchIniPath());
            if (fromProject) {
                core::CopyAsOpened(project, storedOutput, saved);
            } else {
                saved.AssignSettings(project);
                saved.OutputFile = storedOutput;
            }
            saved.SaveToFile(path);
        },
        [](const std::string& line) {
            std::printf("%s\n", line.c_str());
            std::fflush(stdout);
        },
        [&](const std::string& path, int64_t done, int64_t total) {
            progress.Show(path, done, total);
        });
    return ExitSuccess;
}

int Page(const std::vector<std::string>& args) {
    const TArguments parsed(
        args, WallpaperOptions({{"--force", TKind::Switch}, {"--open", TKind::Switch}}));
    if (!parsed.Has("-o"))
        throw EUsage{"page takes -o DIR"};
    const rtl::TCodePage codePage = CodePageOf(parsed);
    core::TProject project(ScratchIniPath());
    const bool fromProject = WallpaperProject("page", parsed, codePage, project);
    const std::string movie =
        project.FlashFiles.Count() > 0 ? codePage.ToNativePath(project.FlashFiles.Get(0)) : "";
    if (movie.empty())
        throw TRefusal{core::NoMovieMessage};
    // A movie given with --movie has been checked already.
    const std::string fault = fromProject ? core::TMovieInfo::Check(movie) : "";
    if (!fault.empty())
        throw TRefusal{fault};

    const std::string folder = *parsed.Value("-o");
    const bool force = parsed.Value("--force") == "1";
    if (rtl::FileExists(folder))
        throw TRefusal{"\"" + folder + "\" is a file, not a folder."};
    if (!force && rtl::DirectoryExists(folder) && !std::filesystem::is_empty(rtl::FsPath(folder)))
        throw TRefusal{"\"" + folder + "\" is not empty; give --force to write into it."};
    std::filesystem::create_directories(rtl::FsPath(folder));
    const std::string assets = AssetsFolder(parsed);
    wallpaper::WriteWallpaperFolder(project, codePage,
                                    {movie, assets + core::PlayerFileName,
                                     parsed.Value("--stub").value_or(assets + core::StubFileName)},
                                    folder, force);
    const std::string page = rtl::IncludeTrailingDelimiter(folder) + wallpaper::PageFileName;
    std::printf("%s\n", page.c_str());
    if (parsed.Value("--open") == "1" && !cli::OpenWithDefaultProgram(page))
        throw TRefusal{"\"" + page + "\" was written, but no program would open it."};
    return ExitSuccess;
}

// One "key: value" line for each thing the preview knows, in a fixed order; "warning:" lines last.
int Info(const std::vector<std::string>& args) {
    const TArguments parsed(args, {});
    if (parsed.Operands().size() != 1)
        throw EUsage{"info takes one MOVIE"};
    using core::TMovieInfo;
    const TMovieInfo info = TMovieInfo::Read(parsed.Operands()[0]);
    if (info.Kind == TMovieInfo::TKind::Unreadable || info.Kind == TMovieInfo::TKind::Unknown)
        throw TRefusal{info.Summary()};
    const bool video = info.Signature == "FLV";
    const auto line = [](const char* key, const std::string& value) {
        std::printf("%s: %s\n", key, value.c_str());
    };
    const auto number = [&line](const char* key, const std::optional<double>& value) {
        if (value)
            line(key, TMovieInfo::FormatNumber(*value));
    };
    line("kind", video ? "flash video" : "flash movie");
    line("version", std::to_string(info.Version));
    if (!video)
        line("compression", info.Compression == TMovieInfo::TCompression::None   ? "none"
                            : info.Compression == TMovieInfo::TCompression::Zlib ? "zlib"
                                                                                 : "lzma");
    number("width", info.Width);
    number("height", info.Height);
    number("frame rate", info.FrameRate);
    if (info.FrameCount)
        line("frames", std::to_string(*info.FrameCount));
    if (video) {
        number("duration", info.Duration);
        if (info.VideoCodec)
            line("video codec", TMovieInfo::VideoCodecName(*info.VideoCodec));
        if (info.AudioCodec)
            line("audio codec", TMovieInfo::AudioCodecName(*info.AudioCodec));
    }
    if (!info.Warning().empty())
        line("warning", info.Warning());
    if (info.Fault != TMovieInfo::TFault::None)
        line("warning", "the file " + info.FaultText());
    return ExitSuccess;
}

// clang-format off
const TCommand Commands[] = {
    {"pack", "pack OUT (--raw FILE | --zlib FILE)...\n"
             "  Writes a container of the files, in order, each stored as it is or zlib-compressed.\n",
     false, Pack},
    {"list", "list FILE\n"
             "  Lists a container's entries: offset, sizes, whether stored raw or as zlib, and in an\n"
             "  installer or installer.dat (whose container is behind its program) what each is.\n",
     false, List},
    {"extract", "extract FILE INDEX OUT [--force]\n"
                "  Writes the content of entry INDEX; --force inflates even an entry of equal sizes.\n",
     false, Extract},
    {"project new", "project new OUT [--assets DIR | --no-template] [--force] [SETTINGS]\n"
                    "  Makes a project file as the window starts one: the settings of the template\n"
                    "  project blankProject (from DIR, else from beside muravel-cli) under a new GUID,\n"
                    "  or the plain defaults (black on black); --force replaces an existing OUT.\n",
     true, ProjectNew},
    {"project set", "project set FILE SETTINGS\n"
                    "  Changes settings of a project file.\n",
     true, ProjectSet},
    {"project show", "project show FILE [--codepage N]\n"
                     "  Prints a project file's settings in the order of its text.\n",
     false, ProjectShow},
    {"build", "build PROJECT [-o OUT] [--assets DIR] [--stub FILE] [--codepage N]\n"
              "build --movie MOVIE --title TITLE -o OUT [SETTINGS] [--assets DIR | --no-template]\n"
              "      [--stub FILE]\n"
              "  Writes a wallpaper installer: from a project file as the window does after opening it,\n"
              "  or from the template project and the settings, as project new makes one. installer.dat,\n"
              "  FLVPlayer.swf, swfobject.js and blankProject come from DIR, else from beside\n"
              "  muravel-cli; --stub names another stub. A movie that is empty, no Flash movie or\n"
              "  video, damaged or cut off is refused.\n",
     true, Build},
    {"page", "page PROJECT -o DIR [--force] [--open] [--assets DIR] [--stub FILE] [--codepage N]\n"
             "page --movie MOVIE --title TITLE -o DIR [SETTINGS] [--force] [--open]\n"
             "     [--assets DIR | --no-template] [--stub FILE]\n"
             "  Writes into DIR the folder an installer would install (no uninstaller): open its\n"
             "  wallpaper.html in a browser, serve it, or add it in Lively Wallpaper. DIR is made;\n"
             "  one that holds anything is refused unless --force. --open opens the page with the\n"
             "  default browser. The web player comes from installer.dat, as for build.\n",
     true, Page},
    {"info", "info MOVIE\n"
             "  Prints what the preview reads of a movie or video, one \"key: value\" line each, in\n"
             "  this order where they apply: kind (flash movie, flash video), version, compression\n"
             "  (none, zlib, lzma), width, height (pixels), frame rate, frames, duration (seconds),\n"
             "  video codec, audio codec; then a \"warning:\" line for each of a video the web player\n"
             "  may not decode, a damaged file and a cut-off file. A file that is no movie exits 1.\n",
     false, Info},
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
        std::fprintf(stderr, "%smuravel-cli: %s\n",
                     command != nullptr ? UsageOf(*command).c_str() : FullUsage().c_str(),
                     usage.Message.c_str());
        return ExitUsage;
    } catch (const TRefusal& refusal) {
        std::fprintf(stderr, "muravel-cli: %s\n", refusal.Message.c_str());
        return ExitError;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "muravel-cli: %s\n", rtl::EOutOfMemory().Message.c_str());
        return ExitError;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "muravel-cli: %s\n", error.what());
        return ExitError;
    }
}
