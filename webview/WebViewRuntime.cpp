#include "webview/WebViewRuntime.h"

#include <optional>
#include <vector>

#include "rtl/Paths.h"
#include "rtl/TextUtils.h"
#include "system/Handle.h"
#include "system/RegistryReader.h"

namespace webview {

namespace {

// The stable channel's client, as its updater records it.
const char* const ClientStateKey =
    "Software\\Microsoft\\EdgeUpdate\\ClientState\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";
const char* const Missing =
    "The Microsoft Edge WebView2 Runtime, which shows the wallpaper, is not installed.";

// A version's four numbers; nothing when text is not one.
std::vector<unsigned> VersionNumbers(const std::string& text) {
    std::vector<unsigned> numbers;
    for (const std::string& part : rtl::Split(text, '.')) {
        if (part.empty() || part.size() > 9)
            return {};
        unsigned number = 0;
        for (const char digit : part) {
            if (digit < '0' || digit > '9')
                return {};
            number = number * 10 + static_cast<unsigned>(digit - '0');
        }
        numbers.push_back(number);
    }
    return numbers.size() == 4 ? numbers : std::vector<unsigned>();
}

std::optional<std::string> ClientFolder(HKEY root, REGSAM view) {
    sys::TRegKey key;
    if (RegOpenKeyExA(root, ClientStateKey, 0, KEY_QUERY_VALUE | view, key.Receive()) !=
        ERROR_SUCCESS)
        return std::nullopt;
    std::optional<std::string> folder = sys::ReadStringValue(key.Get(), "EBWebView");
    if (folder && !folder->empty() && (folder->back() == '\\' || folder->back() == '/'))
        folder->pop_back();
    if (!folder || folder->empty())
        return std::nullopt;
    return folder;
}

} // namespace

TRuntime FindRuntime() {
    std::optional<std::string> folder = ClientFolder(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY);
    if (!folder)
        folder = ClientFolder(HKEY_CURRENT_USER, 0);
    if (!folder)
        throw EWebView(Missing);
    TRuntime runtime;
    // The folder is named after the version it holds.
    runtime.Version = rtl::ExtractFileName(*folder);
    const std::vector<unsigned> version = VersionNumbers(runtime.Version);
    if (version.empty() || version < VersionNumbers(OldestVersion))
        throw EWebView("The Microsoft Edge WebView2 Runtime on this computer (version " +
                       runtime.Version + ") is too old to show the wallpaper; Windows Update or " +
                       "Microsoft's download page brings a current one.");
    runtime.Library = *folder + "\\EBWebView\\x64\\EmbeddedBrowserWebView.dll";
    if (GetFileAttributesA(runtime.Library.c_str()) == INVALID_FILE_ATTRIBUTES)
        throw EWebView(Missing);
    return runtime;
}

bool RuntimePresent() {
    try {
        FindRuntime();
        return true;
    } catch (const EWebView&) {
        return false;
    }
}

} // namespace webview
