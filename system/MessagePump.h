#pragma once

#include <windows.h>

#include <functional>

namespace sys {

using TMessageHandler = std::function<void()>;

// Handles one message: the object of its top-level window sees it first (dialog keys), else it
// is translated and dispatched. The one message loop of the program and the installer alike.
void ProcessMessage(MSG& message);

// Waits for one message and handles it; false when it was the end of the loop (WM_QUIT).
bool HandleMessage();

// Handles messages until WM_QUIT.
void RunMessageLoop();

// Handles every window message already waiting for the calling thread and returns when none is
// left, so a long operation on the user-interface thread keeps the window responsive. It runs
// the installed handler if there is one, else PumpWaitingMessages.
void ProcessMessages();

// Lets a test watch ProcessMessages; an empty handler brings back the plain pump. Returns the
// handler it replaces.
TMessageHandler SetMessageHandler(TMessageHandler handler);

// Peeks and handles until the queue is empty; with first and last, only the messages of that
// range are taken. A WM_QUIT it meets is posted again and ends the pump, so the program's main
// loop still sees it.
void PumpWaitingMessages(UINT first = 0, UINT last = 0);

} // namespace sys
