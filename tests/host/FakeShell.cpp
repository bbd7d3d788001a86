// Stands in for Explorer's desktop windows in the tests, which Wine has none of:
//   fake-shell classic   Progman holding SHELLDLL_DefView; asked with 0x052C it moves, a
//                        moment later, SHELLDLL_DefView into a new top-level WorkerW and puts
//                        an empty one right after that in the z-order, both above Progman
//   fake-shell raised    the desktop of Windows 11 24H2: Progman without a redirection bitmap,
//                        holding SHELLDLL_DefView and the system wallpaper's WorkerW
// Either spans the virtual screen, tells every program "TaskbarCreated" once its windows stand,
// and runs until it is closed or two minutes have gone.
#include <windows.h>

#include <cstring>

namespace {

bool raised = false;
HWND progman = nullptr;
HWND worker = nullptr;
constexpr UINT_PTR WorkerTimer = 1;
constexpr UINT_PTR EndTimer = 2;

HWND Make(DWORD exStyle, const char* className, const char* title, DWORD style, HWND parent) {
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return CreateWindowExA(exStyle, className, title, style, parent ? 0 : x, parent ? 0 : y, width,
                           height, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
}

LRESULT CALLBACK ProgmanProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static bool asked = false;
    if (message == 0x052C && !raised && !asked) {
        asked = true;
        SetTimer(window, WorkerTimer, 300, nullptr);
    }
    if (message == WM_TIMER && wParam == WorkerTimer) {
        KillTimer(window, WorkerTimer);
        if (worker == nullptr) {
            worker = Make(WS_EX_TOOLWINDOW, "WorkerW", "", WS_POPUP | WS_VISIBLE, nullptr);
            const HWND icons =
                Make(WS_EX_TOOLWINDOW, "WorkerW", "", WS_POPUP | WS_VISIBLE, nullptr);
            SetParent(FindWindowExA(progman, nullptr, "SHELLDLL_DefView", nullptr), icons);
            SetWindowPos(worker, icons, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        return 0;
    }
    if (message == WM_TIMER && wParam == EndTimer)
        PostQuitMessage(0);
    if (message == WM_CLOSE || message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void Register(const char* name, WNDPROC proc) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
    raised = std::strstr(arguments, "raised") != nullptr;
    Register("Progman", ProgmanProc);
    Register("SHELLDLL_DefView", DefWindowProcA);
    Register("WorkerW", DefWindowProcA);
    // WS_EX_NOREDIRECTIONBITMAP, which the headers for Windows 7 leave out.
    progman = Make(WS_EX_TOOLWINDOW | (raised ? 0x00200000 : 0), "Progman", "Program Manager",
                   WS_POPUP | WS_VISIBLE, nullptr);
    // A child made later goes above the ones before it: the icons on top.
    if (raised)
        Make(0, "WorkerW", "", WS_CHILD | WS_VISIBLE, progman);
    Make(0, "SHELLDLL_DefView", "", WS_CHILD | WS_VISIBLE, progman);
    SetWindowPos(progman, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetTimer(progman, EndTimer, 120000, nullptr);
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
