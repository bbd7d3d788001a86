// Drives the running program from outside for scripts/screenshots, the way its menu would:
//   wait CLASS   waits until a window of that class shows and prints its bounds as WxH+X+Y
//   choose NAME  runs the main window's menu item NAME and returns when it is done
//   open NAME    runs the menu item NAME and returns at once (for one that shows a modal box)
//   close CLASS  closes the window of that class
//   press CLASS CAPTION  waits until the window of that class shows a button with that
//                caption, and clicks it (the installer's pages)
//   see CLASS CAPTION    waits for that button alone
// The menu's commands come from the menu table, as the program's own do.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "ui/Layout.h"
#include "ui/MainFormUnit.h"

namespace {

HWND WaitFor(const char* windowClass) {
    // A minute: Wine's first start in a new prefix takes a while.
    for (int tries = 0; tries < 600; ++tries) {
        HWND window = FindWindowA(windowClass, nullptr);
        DWORD_PTR ignored = 0;
        if (window != nullptr && IsWindowVisible(window) &&
            SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored) != 0)
            return window;
        Sleep(100);
    }
    std::fprintf(stderr, "No window of class %s showed\n", windowClass);
    return nullptr;
}

bool FindCommand(const char* name, UINT& command) {
    std::size_t index = 0;
    for (const auto& row : ui::TMainForm::MenuLayout()) {
        if (std::strcmp(row.Name, name) == 0) {
            command = ui::MenuCommand(index);
            return true;
        }
        ++index;
    }
    std::fprintf(stderr, "The menu has no item %s\n", name);
    return false;
}

int Press(const char* windowClass, const char* caption, bool click) {
    HWND window = WaitFor(windowClass);
    for (int tries = 0; window != nullptr && tries < 600; ++tries) {
        HWND button = FindWindowExA(window, nullptr, "Button", caption);
        if (button != nullptr && IsWindowVisible(button)) {
            if (click)
                PostMessageA(button, BM_CLICK, 0, 0);
            return 0;
        }
        Sleep(100);
    }
    std::fprintf(stderr, "No button %s showed\n", caption);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && (std::string(argv[1]) == "press" || std::string(argv[1]) == "see"))
        return Press(argv[2], argv[3], std::string(argv[1]) == "press");
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s wait|choose|open|close NAME | press|see CLASS CAPTION\n",
                     argv[0]);
        return 2;
    }
    const std::string action = argv[1];
    if (action == "wait" || action == "close") {
        HWND window = WaitFor(argv[2]);
        if (window == nullptr)
            return 1;
        if (action == "close") {
            PostMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        }
        RECT rect;
        GetWindowRect(window, &rect);
        std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
                    rect.top);
        return 0;
    }
    UINT command = 0;
    HWND mainWindow = WaitFor("TMainForm");
    if (mainWindow == nullptr || !FindCommand(argv[2], command))
        return 1;
    if (action == "choose")
        SendMessageA(mainWindow, WM_COMMAND, command, 0);
    else if (action == "open")
        PostMessageA(mainWindow, WM_COMMAND, command, 0);
    else
        return 2;
    return 0;
}
