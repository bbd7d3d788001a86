#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "InstallerUnit.h"

// Generating installers, apart from the format itself (InstallerUnit), so that the stub, which
// reads installers, carries none of what writes them: the stub's program takes whole objects.
namespace core {

// What goes into one installer and where it goes.
struct TInstallerInputs {
    std::string StubPath;     // installer.dat, stored raw as entry 0
    std::string FlashPath;    // the movie, entry 2
    std::string PlayerFolder; // where FLVPlayer.swf and swfobject.js are found, with delimiter
    std::string OutputPath;   // the installer to write
    std::string ScratchPath;  // the scratch project file, entry 1

    bool IsVideo() const { return IsVideoPath(FlashPath); }
    // The files read into the installer, in entry order (the scratch project left out).
    std::vector<std::string> InputFiles() const;
    // Whether OutputPath names one of InputFiles, however it is spelled.
    bool OutputIsInput() const;
};

constexpr const char* NoMovieMessage = "Please assign a Flash file to this project.";

// Why a generation cannot start, in the order the checks run, with the message the user sees.
enum class TInputProblem { NoOutput, NoMovie, NoTitle, OutputIsInput, BadMovie };
struct TRefusal {
    TInputProblem Problem;
    std::string Message;
};
// The checks before any work starts: an output path, a movie path, a title that is not blank
// once stripped of blanks and control characters, an output that is none of the inputs, and a
// movie that passes TMovieInfo's check. A movie that cannot be opened passes: opening it
// reports that.
std::optional<TRefusal> CheckInputs(const TInstallerInputs& inputs, const std::string& title);

// Assembles an installer: the stub raw, then the project, the movie and, for a Flash video,
// the two player files, all compressed; the container then replaces OutputPath at once, so
// a failure leaves an existing installer as it was and no partial file. SaveProject writes
// the project file to the path it is given; log receives one line per stage. The scratch
// project file is removed at the end, whether the run succeeded or not.
class TInstallerBuilder {
public:
    using LogFn = std::function<void(const std::string&)>;
    using SaveFn = std::function<void(const std::string&)>;
    // The file being added, the bytes of it taken so far and its size.
    using ProgressFn = std::function<void(const std::string& path, int64_t done, int64_t total)>;

    void Build(const TInstallerInputs& inputs, const SaveFn& saveProject, const LogFn& log,
               const ProgressFn& progress = {});
};

} // namespace core
