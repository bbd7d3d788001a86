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

void ApplyCheckedSettings(const TArguments& parsed, const rtl::TCodePage& codePage,
                          core::TProject& project) {
    ApplySettings(parsed, codePage, project);
    if (const std::optional<std::string> movie = parsed.Value("--movie")) {
        const std::string fault = core::TMovieInfo::Check(*movie);
        if (!fault.empty())
            throw rtl::Exception(fault);
    }
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
    ApplyCheckedSettings(parsed, codePage, project);
}

} // namespace cli
