#include "InstallerUnit.h"

#include "CompileUnit.h"
#include "rtl/Paths.h"
#include "rtl/Streams.h"

namespace core {

namespace {

void AddFile(TCompileStream& writer, const std::string& path, bool compress) {
    rtl::TFileStream file(path, rtl::FileMode::OpenRead);
    writer.AddStream(file, compress);
}

} // namespace

bool TInstallerInputs::IsVideo() const {
    return rtl::LowerFileExt(FlashPath) == ".flv";
}

std::vector<std::string> TInstallerInputs::InputFiles() const {
    std::vector<std::string> files{StubPath, FlashPath};
    if (IsVideo()) {
        files.push_back(PlayerFolder + TInstallerBuilder::FLVPlayerName);
        files.push_back(PlayerFolder + TInstallerBuilder::SwfObjectName);
    }
    return files;
}

bool TInstallerInputs::OutputIsInput() const {
    for (const std::string& file : InputFiles())
        if (rtl::SameFile(OutputPath, file))
            return true;
    return false;
}

void TInstallerBuilder::Build(const TInstallerInputs& inputs, const SaveFn& saveProject,
                              const LogFn& log) {
    TCompileStream writer;
    log("Preparing...");
    AddFile(writer, inputs.StubPath, false);
    log("Collecting project settings...");
    try {
        saveProject(inputs.ScratchPath);
        AddFile(writer, inputs.ScratchPath, true);
        log("loading and compressing " + inputs.FlashPath + "...");
        AddFile(writer, inputs.FlashPath, true);
        if (inputs.IsVideo()) {
            AddFile(writer, inputs.PlayerFolder + FLVPlayerName, true);
            AddFile(writer, inputs.PlayerFolder + SwfObjectName, true);
        }
        log("Generating wallpaper installer...");
        writer.Compile().SaveToFileReplacing(inputs.OutputPath);
    } catch (...) {
        rtl::RemoveFile(inputs.ScratchPath);
        throw;
    }
    log("Mission Accomplished.");
    rtl::RemoveFile(inputs.ScratchPath);
}

} // namespace core
