#include <gtest/gtest.h>

#include <windows.h>

#include <winver.h>

#include <string>
#include <vector>

#include "rtl/TextUtils.h"

namespace {

TEST(VersionResource, CarriesTheProgramsVersion) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, data.data()));
    char* text = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\StringFileInfo\\040904E4\\ProductVersion",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, "3.0.0");
    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00030000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
}

TEST(Manifest, BringsCommonControlsSixAndSystemDpiAwareness) {
    // Version 6 is the side-by-side assembly; the plain comctl32 of the system folder is 5.
    char path[MAX_PATH] = "";
    GetModuleFileNameA(GetModuleHandleA("comctl32.dll"), path, sizeof path);
    const std::string lower = rtl::LowerCaseAscii(path);
    EXPECT_NE(lower.find("microsoft.windows.common-controls_"), std::string::npos) << path;
    EXPECT_NE(lower.find("_6.0."), std::string::npos) << path;
    EXPECT_TRUE(IsProcessDPIAware());
}

} // namespace
