#include "CodePage.h"
#include "Paths.h"

namespace rtl {

// Apart from the other path helpers: the installer links those, and this brings the file
// system library's conversions with it.
std::filesystem::path FsPath(const std::string& path) {
    return std::filesystem::u8path(NativeToUtf8(path));
}

} // namespace rtl
