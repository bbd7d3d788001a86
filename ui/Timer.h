#pragma once

#include "ui/Control.h"

namespace ui {

// Runs OnTimer every Interval milliseconds while enabled, through the message loop.
class TTimer : public TComponent {
public:
    TTimer(std::string name, bool enabled, UINT interval);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    UINT Interval() const { return interval_; }

    TNotifyEvent OnTimer;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Update();

    bool enabled_;
    UINT interval_;
    // A message-only window of its own, so the timer needs no form.
    sys::TWindowHandle window_;
};

} // namespace ui
