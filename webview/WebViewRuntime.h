#pragma once

#include <string>

#include "rtl/Errors.h"

// Where the WebView2 runtime is; apart from the web view itself, so that a program that only
// asks whether there is one (the installer) carries nothing else of it.
namespace webview {

// The runtime is missing or too old, or would not start; Message says which for the user.
class EWebView : public rtl::Exception {
public:
    using Exception::Exception;
};

// The installed runtime: its client library and its version.
struct TRuntime {
    std::string Library;
    std::string Version;
};

// The oldest runtime that has everything we call (suspending a hidden view came last).
constexpr const char* OldestVersion = "86.0.616.0";

// The runtime the stable channel installed, for the machine (read through the 32-bit view of
// the registry, where its updater writes) or else for this user. Raises EWebView when there is
// none, or it is older than OldestVersion.
TRuntime FindRuntime();
// Whether FindRuntime finds one.
bool RuntimePresent();

} // namespace webview
