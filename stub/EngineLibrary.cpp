#include "EngineLibrary.h"

#include "WinSupport.h"
#include "rtl/Errors.h"
#include "rtl/Streams.h"
#include "rtl/TextUtils.h"
#include "system/RegistryReader.h"

namespace stub::engine {

namespace {

// The quoted strings of a Valve KeyValues text, their escapes undone.
std::vector<std::string> QuotedStrings(const std::string& text) {
    std::vector<std::string> strings;
    for (size_t at = text.find('"'); at != std::string::npos; at = text.find('"', at + 1)) {
        std::string value;
        for (++at; at < text.size() && text[at] != '"'; ++at) {
            if (text[at] == '\\' && at + 1 < text.size())
                ++at;
            value += text[at];
        }
        if (at >= text.size())
            break;
        strings.push_back(value);
    }
    return strings;
}

bool IsNumber(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

} // namespace

std::vector<std::string> LibraryFolders(const std::string& vdf) {
    const std::vector<std::string> strings = QuotedStrings(vdf);
    std::vector<std::string> folders;
    for (size_t i = 0; i + 1 < strings.size(); ++i) {
        const std::string& key = strings[i];
        const std::string& value = strings[i + 1];
        const bool path = rtl::SameTextAscii(key, "path") ||
                          (IsNumber(key) && value.size() > 2 && value[1] == ':');
        if (!path || value.empty())
            continue;
        bool known = false;
        for (const std::string& folder : folders)
            known = known || rtl::SameTextAscii(folder, value);
        if (!known)
            folders.push_back(value);
        ++i;
    }
    return folders;
}

std::vector<std::string> ProjectsFolders() {
    sys::TRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Valve\\Steam", 0, KEY_QUERY_VALUE,
                      key.Receive()) != ERROR_SUCCESS)
        return {};
    std::string steam = sys::ReadStringValue(key.Get(), "SteamPath").value_or("");
    for (char& c : steam)
        if (c == '/')
            c = '\\';
    while (!steam.empty() && steam.back() == '\\')
        steam.pop_back();
    if (steam.empty())
        return {};
    std::vector<std::string> libraries{steam};
    try {
        rtl::TMemoryStream vdf;
        vdf.LoadFromFile(steam + "\\steamapps\\libraryfolders.vdf");
        for (const std::string& library : LibraryFolders(vdf.ToString()))
            if (!rtl::SameTextAscii(library, steam))
                libraries.push_back(library);
    } catch (const rtl::Exception&) {
        // Steam's own folder is a library without the list.
    }
    std::vector<std::string> folders;
    for (const std::string& library : libraries) {
        const std::string engine = library + "\\steamapps\\common\\wallpaper_engine";
        if (PathExists(engine))
            folders.push_back(engine + "\\projects\\myprojects");
    }
    return folders;
}

} // namespace stub::engine
