#include "Shell.h"

#include <windows.h>

#include <shellapi.h>

namespace cli {

bool OpenWithDefaultProgram(const std::string& path) {
    const HINSTANCE result =
        ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace cli
