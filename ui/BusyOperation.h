#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

namespace ui {

// While a long operation runs on the user-interface thread: the busy cursor, the progress on
// the window's task-bar button, and the windows painted as the work goes on. Only paint
// messages are handled meanwhile; clicks and keys stay queued until the operation ends, as it
// takes no input.
class TBusyOperation {
public:
    explicit TBusyOperation(HWND window);
    ~TBusyOperation();
    TBusyOperation(const TBusyOperation&) = delete;
    TBusyOperation& operator=(const TBusyOperation&) = delete;

    // done of total, for the task-bar button; paints what needs painting.
    void Progress(int64_t done, int64_t total);

private:
    HWND window_;
    HCURSOR previousCursor_;
    // ITaskbarList3, when the shell offers it.
    struct TTaskbar;
    std::unique_ptr<TTaskbar> taskbar_;
};

} // namespace ui
