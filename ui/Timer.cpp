#include "ui/Timer.h"

#include "ui/Dispatch.h"

namespace ui {

namespace {

const char* const TimerClass = "TTimerWindow";
const UINT_PTR TimerId = 1;

} // namespace

// A message-only window of its own, so the timer needs no form.
class TTimer::TWindow final : public TControl {
public:
    explicit TWindow(TTimer& timer) : TControl(timer.Name, nullptr), timer_(timer) {
        RegisterWindowClass(TimerClass, nullptr);
        TControlArgs args;
        args.Name = timer.Name;
        CreateOwnWindow(TimerClass, 0, 0, args, HWND_MESSAGE);
    }

protected:
    bool HandleMessage(UINT message, WPARAM, LPARAM, LRESULT& result) override {
        if (message != WM_TIMER)
            return false;
        if (timer_.OnTimer)
            Dispatch([this] { timer_.OnTimer(&timer_); });
        result = 0;
        return true;
    }

private:
    TTimer& timer_;
};

TTimer::TTimer(std::string name, bool enabled, UINT interval)
    : TComponent(std::move(name)), enabled_(enabled), interval_(interval),
      window_(std::make_unique<TWindow>(*this)) {
    Update();
}

TTimer::~TTimer() {
    KillTimer(window_->Handle(), TimerId);
}

void TTimer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Update();
}

void TTimer::Update() {
    KillTimer(window_->Handle(), TimerId);
    if (enabled_ && interval_ != 0)
        SetTimer(window_->Handle(), TimerId, interval_, nullptr);
}

} // namespace ui
