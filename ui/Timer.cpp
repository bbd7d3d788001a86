#include "ui/Timer.h"

#include "rtl/Errors.h"
#include "rtl/Paths.h"
#include "ui/Application.h"

namespace ui {

namespace {

const char* const TimerClass = "TTimerWindow";
const UINT_PTR TimerId = 1;

} // namespace

TTimer::TTimer(std::string name, bool enabled, UINT interval)
    : TComponent(std::move(name)), enabled_(enabled), interval_(interval) {
    static const ATOM registered = [] {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &WindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = TimerClass;
        return RegisterClassExA(&windowClass);
    }();
    window_.Reset(CreateWindowExA(0, TimerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr));
    if (registered == 0 || !window_.Valid())
        throw rtl::Exception("Cannot create the window of timer " + Name + ". " +
                             rtl::LastErrorText());
    SetWindowLongPtrA(window_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    Update();
}

TTimer::~TTimer() {
    KillTimer(window_.Get(), TimerId);
}

void TTimer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Update();
}

void TTimer::Update() {
    KillTimer(window_.Get(), TimerId);
    if (enabled_ && interval_ != 0)
        SetTimer(window_.Get(), TimerId, interval_, nullptr);
}

LRESULT CALLBACK TTimer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The window is ours alone and message-only, so its user data is always the timer.
    auto* timer = reinterpret_cast<TTimer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_TIMER && timer != nullptr) {
        if (timer->OnTimer)
            Application().Dispatch([timer] { timer->OnTimer(timer); });
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace ui
