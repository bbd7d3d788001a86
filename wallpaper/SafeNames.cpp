#include "SafeNames.h"

#include "core/InstallerUnit.h"
#include "rtl/TextUtils.h"

namespace wallpaper {

namespace {

bool IsForbidden(unsigned char c) {
    if (c < 32 || c == 127)
        return true;
    for (const char* p = "<>:\"/\\|?*"; *p != '\0'; ++p)
        if (c == static_cast<unsigned char>(*p))
            return true;
    return false;
}

// Windows reserves these names whatever extension follows; the superscript digits are the
// code page 1252 bytes that Windows also accepts after COM and LPT.
bool IsDeviceName(std::string base) {
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    base = rtl::UpperCaseAscii(base);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"})
        if (base == device)
            return true;
    if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0)) {
        const unsigned char digit = static_cast<unsigned char>(base[3]);
        return (digit >= '0' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
    }
    return false;
}

void TrimEnds(std::string& name) {
    size_t start = 0;
    while (start < name.size() && name[start] == ' ')
        ++start;
    name.erase(0, start);
    while (!name.empty() && (name.back() == ' ' || name.back() == '.'))
        name.pop_back();
}

std::string FallbackMovieName(const std::string& path) {
    return core::IsVideoPath(path) ? "movie.flv" : "movie.swf";
}

// At most MaxSafeNameLength bytes, keeping a short extension so that a long movie name still
// ends in .swf or .flv.
std::string Shortened(std::string safe) {
    if (safe.size() <= MaxSafeNameLength)
        return safe;
    const size_t dot = safe.rfind('.');
    const std::string ext =
        dot != std::string::npos && safe.size() - dot <= 16 ? safe.substr(dot) : "";
    safe = safe.substr(0, MaxSafeNameLength - ext.size());
    TrimEnds(safe);
    return safe.empty() ? safe : safe + ext;
}

} // namespace

std::string SafeFileName(const std::string& name) {
    std::string safe;
    for (const char c : name)
        if (!IsForbidden(static_cast<unsigned char>(c)))
            safe += c;
    TrimEnds(safe);
    safe = Shortened(safe);
    // The device check follows the cut, which can leave a device name ("CON" + blanks + ".swf");
    // the prefix may then need a second cut. Either way cleaning the result again changes nothing.
    if (!safe.empty() && IsDeviceName(safe.substr(0, safe.find('.'))))
        safe = Shortened("_" + safe);
    return safe;
}

std::string MovieNamePart(const std::string& path) {
    const size_t last = path.find_last_of("\\/:");
    return last == std::string::npos ? path : path.substr(last + 1);
}

bool IsOwnFileName(const std::string& name) {
    for (const char* own :
         {PageFileName, InfoFileName, PropertiesFileName, EngineProjectFileName, PreviewFileName,
          UninstallerFileName, HostFileName, core::PlayerFileName, core::ScriptFileName})
        if (rtl::SameTextAscii(name, own))
            return true;
    return false;
}

std::string MovieFileName(const std::string& path) {
    std::string safe = SafeFileName(MovieNamePart(path));
    if (safe.empty() || IsOwnFileName(safe))
        return FallbackMovieName(path);
    return safe;
}

std::string WallpaperFolderName(const std::string& title) {
    const std::string name = SafeFileName(title);
    return name.empty() ? "Wallpaper" : name;
}

std::string InstallName(const std::string& guid, const std::string& title) {
    const std::string name = SafeFileName(guid);
    return name.empty() ? WallpaperFolderName(title) : name;
}

} // namespace wallpaper
