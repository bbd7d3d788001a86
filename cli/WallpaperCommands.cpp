#include "Commands.h"

#include <cstdio>
#include <filesystem>

#include "Arguments.h"
#include "ProgressLine.h"
#include "ProjectSettings.h"
#include "Shell.h"
#include "core/InstallerBuilder.h"
#include "core/InstallerUnit.h"
#include "core/MovieInfoUnit.h"
#include "core/ProjectUnit.h"
#include "rtl/Guid.h"
#include "rtl/Paths.h"
#include "wallpaper/FolderFromFiles.h"
#include "wallpaper/SafeNames.h"

namespace cli {

namespace {

using TKind = TArguments::TKind;

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
// template and the settings; and the code page of its text.
struct TWallpaperProject {
    bool FromFile;
    rtl::TCodePage CodePage;
};

TWallpaperProject WallpaperProject(const char* command, const TArguments& parsed,
                                   core::TProject& project) {
    const bool fromProject = parsed.Operands().size() == 1;
    if (parsed.Operands().size() > 1 ||
        (fromProject && (cli::HasSettings(parsed) || parsed.Has("--no-template"))) ||
        (!fromProject && !parsed.Has("--movie")))
        throw EUsage{std::string(command) + " takes a PROJECT, or --movie and the settings of one"};
    if (fromProject) {
        project.LoadFromFile(parsed.Operands()[0]);
        return {true, CodePageOf(parsed, project)};
    }
    const rtl::TCodePage codePage = CodePageOf(parsed);
    NewProject(parsed, codePage, project);
    return {false, codePage};
}

} // namespace

int Build(const std::vector<std::string>& args) {
    const TArguments parsed(args, WallpaperOptions({}));
    core::TProject project(ScratchIniPath());
    const TWallpaperProject made = WallpaperProject("build", parsed, project);
    const bool fromProject = made.FromFile;
    const rtl::TCodePage& codePage = made.CodePage;
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
        throw rtl::Exception(refusal->Message);
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
    const TArguments parsed(args, WallpaperOptions({{"--force", TKind::Switch},
                                                    {"--open", TKind::Switch},
                                                    {"--zip", TKind::Switch}}));
    if (!parsed.Has("-o"))
        throw EUsage{"page takes -o DIR"};
    const bool zip = parsed.Value("--zip") == "1";
    if (zip && parsed.Value("--open") == "1")
        throw EUsage{"page --zip writes an archive, which --open cannot open"};
    core::TProject project(ScratchIniPath());
    const TWallpaperProject made = WallpaperProject("page", parsed, project);
    const bool fromProject = made.FromFile;
    const rtl::TCodePage& codePage = made.CodePage;
    const std::string movie =
        project.FlashFiles.Count() > 0 ? codePage.ToNativePath(project.FlashFiles.Get(0)) : "";
    if (movie.empty())
        throw rtl::Exception(core::NoMovieMessage);
    // A movie given with --movie has been checked already.
    const std::string fault = fromProject ? core::TMovieInfo::Check(movie) : "";
    if (!fault.empty())
        throw rtl::Exception(fault);

    const std::string folder = *parsed.Value("-o");
    const bool force = parsed.Value("--force") == "1";
    const std::string assets = AssetsFolder(parsed);
    const wallpaper::TFolderSources sources{
        movie,
        assets + core::PlayerFileName,
        parsed.Value("--stub").value_or(assets + core::StubFileName),
        {},
        {}};
    if (zip) {
        if (!force && (rtl::FileExists(folder) || rtl::DirectoryExists(folder)))
            throw rtl::Exception("\"" + folder + "\" exists; give --force to replace it.");
        if (rtl::DirectoryExists(folder))
            throw rtl::Exception("\"" + folder + "\" is a folder, not a file.");
        wallpaper::WriteWallpaperZip(project, codePage, sources, folder);
        std::printf("%s\n", folder.c_str());
        return ExitSuccess;
    }
    if (rtl::FileExists(folder))
        throw rtl::Exception("\"" + folder + "\" is a file, not a folder.");
    if (!force && rtl::DirectoryExists(folder) && !std::filesystem::is_empty(rtl::FsPath(folder)))
        throw rtl::Exception("\"" + folder + "\" is not empty; give --force to write into it.");
    std::filesystem::create_directories(rtl::FsPath(folder));
    wallpaper::WriteWallpaperFolder(project, codePage, sources, folder, force);
    const std::string page = rtl::IncludeTrailingDelimiter(folder) + wallpaper::PageFileName;
    std::printf("%s\n", page.c_str());
    if (parsed.Value("--open") == "1" && !cli::OpenWithDefaultProgram(page))
        throw rtl::Exception("\"" + page + "\" was written, but no program would open it.");
    return ExitSuccess;
}

} // namespace cli
