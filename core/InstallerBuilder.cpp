#include "InstallerBuilder.h"

#include "CompileUnit.h"
#include "MovieInfoUnit.h"
#include "rtl/Paths.h"
#include "rtl/Streams.h"
#include "rtl/TextUtils.h"

namespace core {

namespace {

void AddFile(TCompileStream& writer, const std::string& path, bool compress,
             const TInstallerBuilder::ProgressFn& progress) {
    rtl::TFileStream file(path, rtl::FileMode::OpenRead);
    writer.OnProgress = [path, progress](int64_t done, int64_t total) {
        if (progress)
            progress(path, done, total);
    };
    writer.AddStream(file, compress);
}

} // namespace

std::vector<std::string> TInstallerInputs::InputFiles() const {
    std::vector<std::string> files{StubPath, FlashPath};
    if (IsVideo()) {
        files.push_back(PlayerFolder + PlayerFileName);
        files.push_back(PlayerFolder + ScriptFileName);
    }
    return files;
}

bool TInstallerInputs::OutputIsInput() const {
    for (const std::string& file : InputFiles())
        if (rtl::SameFile(OutputPath, file))
            return true;
    return false;
}

std::optional<TRefusal> CheckInputs(const TInstallerInputs& inputs, const std::string& title) {
    if (inputs.OutputPath.empty())
        return TRefusal{TInputProblem::NoOutput, "Please assign an ouput file name."};
    if (inputs.FlashPath.empty())
        return TRefusal{TInputProblem::NoMovie, NoMovieMessage};
    if (rtl::Trim(title).empty())
        return TRefusal{TInputProblem::NoTitle, "Please input your wallpaper title."};
    // Writing the installer over one of its own inputs would destroy that input.
    if (inputs.OutputIsInput())
        return TRefusal{TInputProblem::OutputIsInput,
                        "The output file cannot be one of the files that go into the installer."};
    const std::string fault = TMovieInfo::Check(inputs.FlashPath);
    if (!fault.empty())
        return TRefusal{TInputProblem::BadMovie, fault};
    return std::nullopt;
}

void TInstallerBuilder::Build(const TInstallerInputs& inputs, const SaveFn& saveProject,
                              const LogFn& log, const ProgressFn& progress) {
    // The scratch project goes however the run ends.
    const rtl::TScratchFile scratch(inputs.ScratchPath);
    log("Preparing...");
    // Written as it is made, beside the output until it is whole.
    rtl::TReplacingFile output(inputs.OutputPath);
    TCompileStream writer(output.Stream());
    AddFile(writer, inputs.StubPath, false, progress);
    log("Collecting project settings...");
    saveProject(inputs.ScratchPath);
    AddFile(writer, inputs.ScratchPath, true, progress);
    log("loading and compressing " + inputs.FlashPath + "...");
    AddFile(writer, inputs.FlashPath, true, progress);
    if (inputs.IsVideo()) {
        AddFile(writer, inputs.PlayerFolder + PlayerFileName, true, progress);
        AddFile(writer, inputs.PlayerFolder + ScriptFileName, true, progress);
    }
    log("Generating wallpaper installer...");
    writer.Finish();
    output.Commit();
    log("Mission Accomplished.");
}

} // namespace core
