#include "Commands.h"

#include <cstdio>

#include "Arguments.h"
#include "ProjectSettings.h"
#include "core/Colors.h"
#include "core/ProjectUnit.h"
#include "rtl/Paths.h"

namespace cli {

namespace {

using TKind = TArguments::TKind;

void PrintLines(const char* heading, const rtl::TStringList& lines,
                const rtl::TCodePage& codePage) {
    std::printf("[%s]\n", heading);
    for (const std::string& line : lines.Items())
        std::printf("%s\n", codePage.ToNative(line).c_str());
}

} // namespace

int ProjectNew(const std::vector<std::string>& args) {
    const TArguments parsed(args, WithSettings({{"--no-template", TKind::Switch},
                                                {"--assets", TKind::Value},
                                                {"--force", TKind::Switch}}));
    if (parsed.Operands().size() != 1)
        throw EUsage{"project new takes one OUT"};
    const std::string& out = parsed.Operands()[0];
    if (parsed.Value("--force") != "1" && (rtl::FileExists(out) || rtl::DirectoryExists(out)))
        throw rtl::Exception("\"" + out + "\" exists; give --force to replace it.");
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
    core::TProject project(ScratchIniPath());
    project.LoadFromFile(parsed.Operands()[0]);
    const rtl::TCodePage codePage = CodePageOf(parsed, project);
    ApplyCheckedSettings(parsed, codePage, project);
    project.SaveToFile(parsed.Operands()[0]);
    return ExitSuccess;
}

int ProjectShow(const std::vector<std::string>& args) {
    const TArguments parsed(args, {{"--codepage", TKind::Value}});
    if (parsed.Operands().size() != 1)
        throw EUsage{"project show takes one FILE"};
    core::TProject p(ScratchIniPath());
    p.LoadFromFile(parsed.Operands()[0]);
    const rtl::TCodePage codePage = CodePageOf(parsed, p);
    const auto text = [&](const std::string& value) { return codePage.ToNative(value); };
    auto flag = [](bool b) { return b ? "1" : "0"; };
    std::printf("Version=%d\nGUID=%s\n", p.Version, p.GUID.c_str());
    if (p.CodePage > 0)
        std::printf("CodePage=%d\n", p.CodePage);
    std::printf("Count=%d\n", p.FlashFiles.Count());
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

} // namespace cli
