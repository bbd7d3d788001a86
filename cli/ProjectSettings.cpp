#include "ProjectSettings.h"

#include <optional>

#include "core/InstallerUnit.h"
#include "core/MovieInfoUnit.h"
#include "rtl/Errors.h"
#include "rtl/Guid.h"
#include "rtl/Paths.h"
#include "rtl/Streams.h"
#include "rtl/TextUtils.h"

namespace cli {

namespace {

using TKind = TArguments::TKind;

struct TSetting {
    TArguments::TOption Option;
    void (*Apply)(core::TProject& project, const std::string& option, const std::string& value,
                  const rtl::TCodePage& codePage);
};

bool IsOn(const std::string& value) {
    return value == "1";
}

std::string FullPath(const rtl::TCodePage& codePage, const std::string& path) {
    return codePage.FromNativePath(rtl::ExpandFileName(path));
}

rtl::TStringList LinesOf(const rtl::TCodePage& codePage, const std::string& path) {
    rtl::TFileStream file(path, rtl::FileMode::OpenRead);
    rtl::TStringList lines;
    lines.LoadFromStream(file);
    rtl::TStringList converted;
    for (const std::string& line : lines.Items())
        converted.Add(codePage.FromNative(line));
    return converted;
}

// clang-format off
const TSetting Settings[] = {
    {{"--movie", TKind::Value}, [](core::TProject& p, const std::string&, const std::string& v, const rtl::TCodePage& c) {
        p.FlashFiles.Clear();
        p.FlashFiles.Add(FullPath(c, v));
    }},
    {{"--title", TKind::Value}, [](core::TProject& p, const std::string&, const std::string& v, const rtl::TCodePage& c) { p.FileTitle = c.FromNative(v); }},
    {{"--output", TKind::Value}, [](core::TProject& p, const std::string&, const std::string& v, const rtl::TCodePage& c) { p.OutputFile = FullPath(c, v); }},
    {{"--background", TKind::Value}, [](core::TProject& p, const std::string& o, const std::string& v, const rtl::TCodePage&) { p.BackgroundColor = ParseColor(o, v); }},
    {{"--transparent-background", TKind::Switch}, [](core::TProject& p, const std::string&, const std::string& v, const rtl::TCodePage&) { p.TransparentBackground = IsOn(v); }},
    {{"--license-file", TKind::Value}, [](core::TProject& p, const std::string&, const std::string& v, const rtl::TCodePage& c) { p.LicenseLines = LinesOf(c, v); }},
    {{"--show-license", TKind::Switch}, [](core::TProject& p, const std::string&, const std::string& v, const rtl::TCodePage&) { p.ShowLicense = IsOn(v); }},
    {{"--text-file", TKind::Value}, [](core::TProject& p, const std::string&, const std::string& v, const rtl::TCodePage& c) { p.TextLines = LinesOf(c, v); }},
    {{"--show-text", TKind::Switch}, [](core::TProject& p, const std::string&, const std::string& v, const rtl::TCodePage&) { p.ShowText = IsOn(v); }},
    {{"--url", TKind::Value}, [](core::TProject& p, const std::string&, const std::string& v, const rtl::TCodePage& c) { p.URL = c.FromNative(v); }},
    {{"--text-color", TKind::Value}, [](core::TProject& p, const std::string& o, const std::string& v, const rtl::TCodePage&) { p.TextColor = ParseColor(o, v); }},
    {{"--text-background", TKind::Value}, [](core::TProject& p, const std::string& o, const std::string& v, const rtl::TCodePage&) { p.TextBGColor = ParseColor(o, v); }},
    {{"--text-transparent", TKind::Switch}, [](core::TProject& p, const std::string&, const std::string& v, const rtl::TCodePage&) { p.TextBGTransparent = IsOn(v); }},
    {{"--loop", TKind::Switch}, [](core::TProject& p, const std::string&, const std::string& v, const rtl::TCodePage&) { p.Loop = IsOn(v); }},
    {{"--new-guid", TKind::Switch}, [](core::TProject& p, const std::string&, const std::string& v, const rtl::TCodePage&) {
        if (IsOn(v))
            p.GUID = rtl::NewGuidText();
    }},
};
// clang-format on

// The code pages of Windows' own locales, Western European first.
const int KnownCodePages[] = {1252, 1250, 1251, 1253, 1254, 1255, 1256,
                              1257, 1258, 874,  932,  936,  949,  950};

// "--title: "Καλημέρα" holds "Κ", which code page 1252 lacks; give --codepage 1253, ...": what
// to change, in one line.
std::string LacksMessage(const std::string& option, const rtl::TCodePage& codePage,
                         const rtl::ELacksCharacter& lacking) {
    std::string message = option + ": \"" + lacking.Text + "\" holds \"" + lacking.Character +
                          "\", which code page " + std::to_string(codePage.Number()) + " lacks; ";
    for (const int number : KnownCodePages) {
        try {
            rtl::TCodePage(number).FromNative(lacking.Text);
            return message + "give --codepage " + std::to_string(number) + ", which holds it all.";
        } catch (const rtl::Exception&) {
        }
    }
    return message + "no --codepage holds it all: leave out what none holds.";
}

} // namespace

const std::vector<TArguments::TOption>& SettingOptions() {
    static const std::vector<TArguments::TOption> options = [] {
        std::vector<TArguments::TOption> all;
        for (const TSetting& setting : Settings)
            all.push_back(setting.Option);
        return all;
    }();
    return options;
}

bool HasSettings(const TArguments& args) {
    for (const TSetting& setting : Settings)
        if (args.Has(setting.Option.Name))
            return true;
    return false;
}

void ApplySettings(const TArguments& args, const rtl::TCodePage& codePage,
                   core::TProject& project) {
    for (const auto& [name, value] : args.Options())
        for (const TSetting& setting : Settings)
            if (name == setting.Option.Name) {
                try {
                    setting.Apply(project, name, value, codePage);
                } catch (const rtl::EFileStreamError&) {
                    throw;
                } catch (const rtl::ELacksCharacter& lacking) {
                    throw EUsage{LacksMessage(name, codePage, lacking), false};
                } catch (const rtl::Exception& error) {
                    throw EUsage{name + ": " + error.Message};
                }
            }
}

core::TColor ParseColor(const std::string& option, const std::string& text) {
    if (const std::optional<core::TColor> rgb = core::CssToColor(text))
        return *rgb;
    try {
        return core::StringToColor(text);
    } catch (const rtl::EConvertError&) {
        throw EUsage{option + " \"" + text + "\" is not a colour"};
    }
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

rtl::TCodePage CodePageOf(const TArguments& args, core::TProject& project) {
    const rtl::TCodePage given = CodePageOf(args);
    const bool stated = args.Has("--codepage");
    if (project.CodePage == 0) {
        if (stated)
            project.CodePage = given.Number();
        return given;
    }
    if (stated && given.Number() != project.CodePage)
        throw EUsage{"--codepage " + *args.Value("--codepage") +
                         ": the project's text is in code page " +
                         std::to_string(project.CodePage) + "; leave --codepage out",
                     false};
    return rtl::TCodePage(project.CodePage);
}

std::vector<TArguments::TOption> WithSettings(std::vector<TArguments::TOption> options) {
    const std::vector<TArguments::TOption>& settings = SettingOptions();
    options.insert(options.end(), settings.begin(), settings.end());
    options.push_back({"--codepage", TKind::Value});
    return options;
}

std::string AssetsFolder(const TArguments& parsed) {
    const std::optional<std::string> assets = parsed.Value("--assets");
    return assets ? rtl::IncludeTrailingDelimiter(*assets) : rtl::ExecutableFolder();
}

std::optional<core::TMovieInfo> ApplyCheckedSettings(const TArguments& parsed,
                                                     const rtl::TCodePage& codePage,
                                                     core::TProject& project) {
    ApplySettings(parsed, codePage, project);
    const std::optional<std::string> movie = parsed.Value("--movie");
    if (!movie)
        return std::nullopt;
    core::TMovieInfo info = core::TMovieInfo::Read(*movie);
    const std::string fault = info.FaultLine(*movie);
    if (!fault.empty())
        throw rtl::Exception(fault);
    return info;
}

void NewProject(const TArguments& parsed, const rtl::TCodePage& codePage, core::TProject& project) {
    if (parsed.Value("--no-template") != "1") {
        const std::string path = AssetsFolder(parsed) + core::TemplateFileName;
        if (!rtl::FileExists(path))
            throw rtl::Exception("The template project \"" + path +
                                 "\" is missing; give --assets DIR or --no-template.");
        project.LoadFromFile(path);
    }
    project.GUID = rtl::NewGuidText();
    // The template's text is the same in every code page; a new project's is in the one given.
    project.CodePage = codePage.Number();
    const std::optional<core::TMovieInfo> movie = ApplyCheckedSettings(parsed, codePage, project);
    // A colour nobody chose would hide the movie's own, as a black stage hides black shapes.
    if (movie && !parsed.Has("--background"))
        project.BackgroundColor = movie->OwnBackground().value_or(project.BackgroundColor);
}

} // namespace cli
