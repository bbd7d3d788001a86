#include "FuzzSupport.h"

#include <unistd.h>

#include "core/ProjectUnit.h"
#include "rtl/Errors.h"
#include "rtl/Paths.h"
#include "rtl/Streams.h"

namespace fuzz {

namespace {

// Removed at a clean exit when the readers left it empty, as they should.
struct TScratch {
    std::string Path;
    TScratch() {
        std::string pattern = rtl::TempDirectory() + "muravel-fuzz-XXXXXX";
        Require(mkdtemp(pattern.data()) != nullptr, "a scratch folder can be made");
        Path = pattern + "/";
    }
    ~TScratch() { rmdir(Path.c_str()); }
};

constexpr int MaxMoviesWrittenBack = 4096;

bool SameSettings(const core::TProject& a, const core::TProject& b) {
    return a.Version == b.Version && a.GUID == b.GUID && a.FlashFiles == b.FlashFiles &&
           a.FileTitle == b.FileTitle && a.BackgroundColor == b.BackgroundColor &&
           a.TransparentBackground == b.TransparentBackground && a.ShowLicense == b.ShowLicense &&
           a.ShowText == b.ShowText && a.LicenseLines == b.LicenseLines &&
           a.TextLines == b.TextLines && a.URL == b.URL && a.TextColor == b.TextColor &&
           a.TextBGColor == b.TextBGColor && a.TextBGTransparent == b.TextBGTransparent &&
           a.Loop == b.Loop && a.OutputFile == b.OutputFile;
}

} // namespace

const std::string& ScratchFolder() {
    static const TScratch scratch;
    return scratch.Path;
}

void LoadProject(const std::string& bytes) {
    const std::string path = ScratchFolder() + "project.zvrk";
    const rtl::TScratchFile file(path);
    {
        rtl::TFileStream out(path, rtl::FileMode::Create);
        out.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    }
    core::TProject project(ScratchFolder() + "project.ini");
    try {
        project.LoadFromFile(path);
    } catch (const rtl::Exception&) {
        return;
    }
    if (project.FlashFiles.Count() > MaxMoviesWrittenBack)
        return;
    project.SaveToFile(path);
    core::TProject again(ScratchFolder() + "project.ini");
    again.LoadFromFile(path);
    Require(SameSettings(project, again), "a saved project loads back with the same settings");
}

} // namespace fuzz
