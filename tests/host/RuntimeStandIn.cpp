#include "RuntimeStandIn.h"

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include "../TestFiles.h"

namespace standin {

namespace {

const char* const RuntimeKey =
    "Software\\Microsoft\\EdgeUpdate\\ClientState\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";

} // namespace

TRuntime::TRuntime(const std::string& folder, const std::string& library)
    : log_(folder + "\\webview.log") {
    const std::string runtime = folder + "\\120.0.2210.91";
    const std::string client = runtime + "\\EBWebView\\x64";
    EXPECT_EQ(SHCreateDirectoryExA(nullptr, client.c_str(), nullptr), ERROR_SUCCESS);
    EXPECT_TRUE(
        CopyFileA(library.c_str(), (client + "\\EmbeddedBrowserWebView.dll").c_str(), FALSE));
    EXPECT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, RuntimeKey, "EBWebView", REG_SZ, runtime.c_str(),
                              static_cast<DWORD>(runtime.size() + 1)),
              ERROR_SUCCESS);
    SetEnvironmentVariableA("MURAVEL_WEBVIEW_LOG", log_.c_str());
}

TRuntime::~TRuntime() {
    RegDeleteKeyA(HKEY_CURRENT_USER, RuntimeKey);
    SetEnvironmentVariableA("MURAVEL_WEBVIEW_LOG", nullptr);
}

bool TRuntime::Recorded(const std::vector<std::string>& calls) const {
    const std::string text = testfiles::ReadFile(log_);
    size_t at = 0;
    for (const std::string& call : calls) {
        at = text.find(" " + call + "\n", at);
        if (at == std::string::npos)
            return false;
    }
    return true;
}

size_t TRuntime::Count(const std::string& kind) const {
    const std::string text = testfiles::ReadFile(log_);
    size_t n = 0;
    for (size_t at = text.find(" " + kind + " "); at != std::string::npos;
         at = text.find(" " + kind + " ", at + 1))
        ++n;
    return n;
}

} // namespace standin
