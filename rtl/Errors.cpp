#include "Errors.h"

#include "Paths.h"
#include "TextUtils.h"

namespace rtl {

EFOpenError FileOpenError(const std::string& path, const std::string& reason) {
    const std::string full = ExpandFileName(path);
    return EFOpenError("Cannot open file \"" + full + "\". " + reason, full, reason);
}

EFCreateError FileCreateError(const std::string& path, const std::string& reason) {
    const std::string full = ExpandFileName(path);
    return EFCreateError("Cannot create file \"" + full + "\". " + reason, full, reason);
}

EStringListError ListIndexError(int index) {
    return EStringListError("List index out of bounds (" + IntToStr(index) + ")");
}

EStreamError MemoryStreamOutOfMemory() {
    return EStreamError("Out of memory while expanding memory stream");
}

} // namespace rtl
