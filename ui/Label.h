#pragma once

#include "ui/Control.h"

namespace ui {

// A line of text that sizes itself to it: Left and Top stay, Width and Height follow the caption
// and font, so a longer caption grows to the right and is cut off by the parent's edge.
class TLabel : public TControl {
public:
    explicit TLabel(const TControlArgs& args);

    // Blue, underlined, with the hand cursor: a label that opens a web address when clicked.
    void SetLinkStyle();

    TNotifyEvent OnClick;

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void Command(WORD notification) override;
    HBRUSH CtlColor(HDC dc) override;
    void AdjustSize() override;

private:
    TColor textColor_ = core::clWindowText;
    bool link_ = false;
};

} // namespace ui
