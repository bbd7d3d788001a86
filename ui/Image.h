#pragma once

#include "ui/Control.h"

namespace ui {

// A picture from the program's icons, drawn with its transparency over the parent's colour.
class TImage : public TControl {
public:
    explicit TImage(const TControlArgs& args);

    // Loads the icon resource at the size of the control.
    void SetIcon(int resource);
    HICON Icon() const { return icon_.Get(); }

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void Paint(HDC dc);

    sys::TIconHandle icon_;
};

} // namespace ui
