#include "ui/Dispatch.h"

namespace ui {

namespace {

TExceptionHandler& InstalledHandler() {
    static TExceptionHandler handler;
    return handler;
}

} // namespace

bool Dispatch(const std::function<void()>& handler) noexcept {
    try {
        handler();
        return true;
    } catch (...) {
        // Without an application there is no one to tell: the error is dropped.
        if (InstalledHandler())
            InstalledHandler()(std::current_exception());
        return false;
    }
}

void SetExceptionHandler(TExceptionHandler handler) {
    InstalledHandler() = std::move(handler);
}

} // namespace ui
