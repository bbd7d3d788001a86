#include "system/MessagePump.h"

#include <utility>

namespace sys {

namespace {

TMessageHandler& InstalledHandler() {
    static TMessageHandler handler;
    return handler;
}

} // namespace

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

void PumpWaitingMessages(const std::function<void(MSG&)>& handle, UINT first, UINT last) {
    MSG message;
    while (PeekMessageW(&message, nullptr, first, last, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (handle) {
            handle(message);
        } else {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

} // namespace sys
