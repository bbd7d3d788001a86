#pragma once

#include <windows.h>

#include <string>

#include "system/Handle.h"

namespace ui {

// A balloon that points at a control and says something without taking the keyboard: a
// tracking tool tip of the balloon kind. An edit's own balloon tip would do, but Wine's edit
// has none.
class TBalloonTip {
public:
    explicit TBalloonTip(HWND control);

    // Shows title and text below the control's left part, replacing what it showed.
    void Show(const std::string& title, const std::string& text);
    void Hide();
    // The text shown; empty while hidden.
    const std::string& Text() const { return text_; }

private:
    HWND control_;
    sys::TWindowHandle tip_;
    std::string text_;
};

} // namespace ui
