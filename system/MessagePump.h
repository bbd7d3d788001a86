#pragma once

#include <windows.h>

#include <functional>

namespace sys {

using TMessageHandler = std::function<void()>;

// Handles every window message already waiting for the calling thread and returns when none is
// left, so a long operation on the user-interface thread keeps the window responsive. It runs
// the installed handler if there is one, else PumpWaitingMessages.
void ProcessMessages();

// Lets the application object take over ProcessMessages; an empty handler brings back the plain
// pump. Returns the handler it replaces.
TMessageHandler SetMessageHandler(TMessageHandler handler);

// The one pump of the system: peek and handle until the queue is empty, each message by handle
// when given, else translated and dispatched; with first and last, only the messages of that
// range are taken. A WM_QUIT it meets is posted again and ends the pump, so the program's main
// loop still sees it.
void PumpWaitingMessages(const std::function<void(MSG&)>& handle = {}, UINT first = 0,
                         UINT last = 0);

} // namespace sys
