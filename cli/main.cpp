#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/CompileUnit.h"
#include "core/ContainerDirectory.h"
#include "core/DecompileUnit.h"
#include "core/InstallerUnit.h"
#include "core/ProjectUnit.h"
#include "rtl/Errors.h"
#include "rtl/Guid.h"
#include "rtl/Paths.h"
#include "rtl/Streams.h"
#include "rtl/TextUtils.h"

namespace {

const char* const Usage = "usage: muravel-cli pack OUT (--raw FILE | --zlib FILE)...\n"
                          "       muravel-cli list FILE\n"
                          "       muravel-cli extract FILE INDEX OUT [--force]\n"
                          "       muravel-cli project new OUT [--template]\n"
                          "       muravel-cli project show FILE\n"
    "       muravel-cli build PROJECT [-o OUT] [--stub FILE]\n";

struct UsageError {};

// The system colour of the desktop background, which a new window's text colour starts as.
constexpr core::TColor ClBackground = static_cast<core::TColor>(0xFF000001);
constexpr core::TColor ClWhite = 0x00FFFFFF;

std::string ScratchIniPath() {
    return rtl::TempDirectory() + rtl::NewGuidText();
}

int Pack(const std::vector<std::string>& args) {
    if (args.size() < 1 || args.size() % 2 != 1)
        throw UsageError();
    core::TCompileStream writer;
    for (size_t i = 1; i < args.size(); i += 2) {
        if (args[i] != "--raw" && args[i] != "--zlib")
            throw UsageError();
        rtl::TFileStream file(args[i + 1], rtl::FileMode::OpenRead);
        writer.AddStream(file, args[i] == "--zlib");
    }
    writer.Compile().SaveToFileReplacing(args[0]);
    return 0;
}

// An installer signed after it was generated ends with a certificate table; the container ends
// before it.
void Decompile(const std::string& path, core::TDecompileStream& reader) {
    rtl::TMemoryStream file;
    file.LoadFromFile(path);
    rtl::TMemoryView container(file.Memory(),
                               core::TContainerDirectory::ContainerEnd(file.Memory(), file.Size()));
    reader.Decompile(container);
}

int List(const std::vector<std::string>& args) {
    if (args.size() != 1)
        throw UsageError();
    core::TDecompileStream reader;
    Decompile(args[0], reader);
    std::printf("entries %d\n", reader.EntryCount());
    for (int32_t i = 0; i < reader.EntryCount(); ++i)
        std::printf("%d offset %lld source %d stored %d %s\n", i,
                    static_cast<long long>(reader.Offset(i)), reader.SourceSize(i),
                    reader.StoredSize(i),
                    reader.SourceSize(i) == reader.StoredSize(i) ? "raw" : "zlib");
    return 0;
}

int Extract(const std::vector<std::string>& args) {
    if (args.size() != 3 && !(args.size() == 4 && args[3] == "--force"))
        throw UsageError();
    int32_t index;
    if (!rtl::TryStrToInt(args[1], index))
        throw UsageError();
    core::TDecompileStream reader;
    Decompile(args[0], reader);
    reader.GetStream(index, args.size() == 4)->SaveToFileReplacing(args[2]);
    return 0;
}

int ProjectNew(const std::vector<std::string>& args) {
    if (args.size() != 1 && !(args.size() == 2 && args[1] == "--template"))
        throw UsageError();
    core::TProject project(ScratchIniPath());
    if (args.size() == 2) {
        // The values a new main window shows, with one empty movie entry.
        project.FlashFiles.Add("");
        project.TextColor = ClBackground;
        project.TextBGColor = ClWhite;
    }
    project.SaveToFile(args[0]);
    return 0;
}

void PrintLines(const char* heading, const rtl::TStringList& lines) {
    std::printf("[%s]\n", heading);
    for (const std::string& line : lines.Items())
        std::printf("%s\n", line.c_str());
}

int ProjectShow(const std::vector<std::string>& args) {
    if (args.size() != 1)
        throw UsageError();
    core::TProject p(ScratchIniPath());
    p.LoadFromFile(args[0]);
    auto flag = [](bool b) { return b ? "1" : "0"; };
    std::printf("Version=%d\nGUID=%s\nCount=%d\n", p.Version, p.GUID.c_str(), p.FlashFiles.Count());
    for (int i = 0; i < p.FlashFiles.Count(); ++i)
        std::printf("Flash%d=%s\n", i, p.FlashFiles.Get(i).c_str());
    std::printf(
        "FileTitle=%s\nBackgroundColor=%s\nTransparentBackground=%s\nShowLicense=%s\nShowText=%s\n"
        "URL=%s\nTextColor=%s\nTextBGColor=%s\nTextBGTransparent=%s\nOutputFile=%s\nLoop=%s\n",
        p.FileTitle.c_str(), core::ColorToString(p.BackgroundColor).c_str(),
        flag(p.TransparentBackground), flag(p.ShowLicense), flag(p.ShowText), p.URL.c_str(),
        core::ColorToString(p.TextColor).c_str(), core::ColorToString(p.TextBGColor).c_str(),
        flag(p.TextBGTransparent), p.OutputFile.c_str(), flag(p.Loop));
    PrintLines("License", p.LicenseLines);
    PrintLines("Text", p.TextLines);
    return 0;
}

// Refusals a user can mend before any work starts; exit 1 like any other error.
struct Refusal {
    std::string message;
};

int Build(const std::vector<std::string>& args) {
    if (args.empty())
        throw UsageError();
    std::string output, stub = rtl::ExecutableFolder() + core::StubFileName;
    bool haveOutput = false;
    for (size_t i = 1; i < args.size(); i += 2) {
        if (i + 1 >= args.size())
            throw UsageError();
        if (args[i] == "-o") {
            output = args[i + 1];
            haveOutput = true;
        } else if (args[i] == "--stub") {
            stub = args[i + 1];
        } else {
            throw UsageError();
        }
    }
    core::TProject project(ScratchIniPath());
    project.LoadFromFile(args[0]);
    if (!haveOutput)
        output = project.OutputFile;

    core::TInstallerInputs inputs;
    inputs.StubPath = stub;
    inputs.FlashPath = project.FlashFiles.Count() > 0 ? project.FlashFiles.Get(0) : "";
    inputs.PlayerFolder = rtl::ExecutableFolder();
    inputs.OutputPath = output;
    inputs.ScratchPath = rtl::TempDirectory() + rtl::NewGuidText() + ".zvrk";
    if (const auto refusal = core::CheckInputs(inputs, project.FileTitle))
        throw Refusal{refusal->Message};
    core::TInstallerBuilder().Build(
        inputs,
        [&](const std::string& path) {
            core::TProject saved(ScratchIniPath());
            core::CopyAsOpened(project, output, saved);
            saved.SaveToFile(path);
        },
        [](const std::string& line) {
            std::printf("%s\n", line.c_str());
            std::fflush(stdout);
        });
    return 0;
}

int Run(const std::vector<std::string>& args) {
    if (args.empty())
        throw UsageError();
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "pack")
        return Pack(rest);
    if (command == "list")
        return List(rest);
    if (command == "extract")
        return Extract(rest);
    if (command == "build")
        return Build(rest);
    if (command == "project" && !rest.empty()) {
        const std::vector<std::string> operands(rest.begin() + 1, rest.end());
        if (rest[0] == "new")
            return ProjectNew(operands);
        if (rest[0] == "show")
            return ProjectShow(operands);
    }
    throw UsageError();
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError&) {
        std::fputs(Usage, stderr);
        return 2;
    } catch (const Refusal& refusal) {
        std::fprintf(stderr, "muravel-cli: %s\n", refusal.message.c_str());
        return 1;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "muravel-cli: %s\n", rtl::EOutOfMemory().Message.c_str());
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "muravel-cli: %s\n", error.what());
        return 1;
    }
}
