#include "host/DesktopLayer.h"

namespace host {

namespace {

// WS_EX_NOREDIRECTIONBITMAP, of Windows 8, which the headers for Windows 7 leave out.
constexpr LONG_PTR NoRedirectionBitmap = 0x00200000;

bool HasClass(HWND window, const char* name) {
    char found[32] = {};
    return GetClassNameA(window, found, sizeof found) > 0 && lstrcmpiA(found, name) == 0;
}

} // namespace

std::optional<TDesktopLayer> FindDesktopLayer() {
    const HWND progman = FindWindowA("Progman", nullptr);
    if (progman == nullptr)
        return std::nullopt;
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(progman, 0x052C, 0xD, 0x1, SMTO_NORMAL, 1000, &answer);

    if ((GetWindowLongPtrA(progman, GWL_EXSTYLE) & NoRedirectionBitmap) != 0) {
        const HWND icons = FindWindowExA(progman, nullptr, "SHELLDLL_DefView", nullptr);
        if (icons == nullptr)
            return std::nullopt;
        return TDesktopLayer{progman, icons};
    }
    // Walked in z-order: FindWindowEx after a window of another class finds nothing under Wine.
    for (HWND top = GetTopWindow(nullptr); top != nullptr; top = GetWindow(top, GW_HWNDNEXT)) {
        if (FindWindowExA(top, nullptr, "SHELLDLL_DefView", nullptr) == nullptr)
            continue;
        for (HWND next = GetWindow(top, GW_HWNDNEXT); next != nullptr;
             next = GetWindow(next, GW_HWNDNEXT))
            if (HasClass(next, "WorkerW"))
                return TDesktopLayer{next, nullptr};
        break;
    }
    // Some Windows 11 builds before 24H2 keep that WorkerW as a child of Progman.
    if (const HWND worker = FindWindowExA(progman, nullptr, "WorkerW", nullptr))
        return TDesktopLayer{worker, nullptr};
    return std::nullopt;
}

} // namespace host
