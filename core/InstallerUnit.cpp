#include "InstallerUnit.h"

#include "ProjectUnit.h"
#include "rtl/Paths.h"

namespace core {

bool IsVideoPath(const std::string& path) {
    return rtl::LowerFileExt(path) == ".flv";
}

void CopyAsOpened(const TProject& source, const std::string& output, TProject& target) {
    target.AssignSettings(source);
    const std::string movie = source.FlashFiles.Count() > 0 ? source.FlashFiles.Get(0) : "";
    target.FlashFiles.Clear();
    target.FlashFiles.Add(movie);
    if (IsVideoPath(movie))
        target.Loop = false;
    target.OutputFile = output;
}

} // namespace core
