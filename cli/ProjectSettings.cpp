#include "ProjectSettings.h"

#include <cstdlib>
#include <optional>

#include "rtl/Errors.h"
#include "rtl/Guid.h"
#include "rtl/Paths.h"
#include "rtl/Streams.h"

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

} // namespace cli
