#include "system/MessagePump.h"

#include <utility>

#include "system/Window.h"

namespace sys {

namespace {

TMessageHandler& InstalledHandler() {
    static TMessageHandler handler;
    return handler;
}

} // namespace

void ProcessMessage(MSG& message) {
    TWindow* top = TWindow::FromHandle(GetAncestor(message.hwnd, GA_ROOT));
    if (top != nullptr && top->PreTranslateMessage(message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool HandleMessage() {
    MSG message;
    if (GetMessageW(&message, nullptr, 0, 0) <= 0)
        return false;
    ProcessMessage(message);
    return true;
}

void RunMessageLoop() {
    while (HandleMessage()) {
    }
}

void ProcessMessages() {
    // A copy, so a handler that installs another one does not destroy itself while it runs.
    const TMessageHandler handler = InstalledHandler();
    if (handler)
        handler();
    else
        PumpWaitingMessages();
}

TMessageHandler SetMessageHandler(TMessageHandler handler) {
    return std::exchange(InstalledHandler(), std::move(handler));
}

void PumpWaitingMessages(UINT first, UINT last) {
    MSG message;
    while (PeekMessageW(&message, nullptr, first, last, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        ProcessMessage(message);
    }
}

} // namespace sys
