#include "CodePage.h"

#include <windows.h>

namespace rtl {

// Apart from the other conversions: the installer links those, and this brings the library's
// wide strings with it.
std::wstring NativeToWide(const std::string& text) {
    const int n = static_cast<int>(text.size());
    std::wstring wide(
        static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), n, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), n, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

} // namespace rtl
