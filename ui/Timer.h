#pragma once

#include <memory>

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
    class TWindow;
    void Update();

    bool enabled_;
    UINT interval_;
    std::unique_ptr<TWindow> window_;
};

} // namespace ui
