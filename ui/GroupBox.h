#pragma once

#include "ui/Control.h"

namespace ui {

// A captioned frame around other controls.
class TGroupBox : public TControl {
public:
    explicit TGroupBox(const TControlArgs& args);

    TColor BackgroundColor() const override { return Parent()->BackgroundColor(); }

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    HBRUSH CtlColor(HDC dc) override;
};

} // namespace ui
