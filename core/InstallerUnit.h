#pragma once

#include <functional>
#include <string>
#include <vector>

namespace core {

// What goes into one installer and where it goes.
struct TInstallerInputs {
    std::string StubPath;     // installer.dat, stored raw as entry 0
    std::string FlashPath;    // the movie, entry 2
    std::string PlayerFolder; // where FLVPlayer.swf and swfobject.js are found, with delimiter
    std::string OutputPath;   // the installer to write
    std::string ScratchPath;  // the scratch project file, entry 1

    bool IsVideo() const;
    // The files read into the installer, in entry order (the scratch project left out).
    std::vector<std::string> InputFiles() const;
    // Whether OutputPath names one of InputFiles, however it is spelled.
    bool OutputIsInput() const;
};

// Assembles an installer: the stub raw, then the project, the movie and, for a Flash video,
// the two player files, all compressed; the container then replaces OutputPath at once, so
// a failure leaves an existing installer as it was and no partial file. SaveProject writes
// the project file to the path it is given; log receives one line per stage. The scratch
// project file is removed at the end, whether the run succeeded or not.
class TInstallerBuilder {
public:
    using LogFn = std::function<void(const std::string&)>;
    using SaveFn = std::function<void(const std::string&)>;

    static constexpr const char* FLVPlayerName = "FLVPlayer.swf";
    static constexpr const char* SwfObjectName = "swfobject.js";

    void Build(const TInstallerInputs& inputs, const SaveFn& saveProject, const LogFn& log);
};

} // namespace core
