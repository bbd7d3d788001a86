#pragma once

#include "ui/Control.h"

namespace ui {

// A check box whose OnClick runs whenever its state changes: clicked by the user or set by code.
// Setting the state it already has runs nothing.
class TCheckBox : public TControl {
public:
    explicit TCheckBox(const TControlArgs& args);

    bool Checked() const;
    void SetChecked(bool checked);

    TNotifyEvent OnClick;

protected:
    void Command(WORD notification) override;
    HBRUSH CtlColor(HDC dc) override;

private:
    void Click();
};

} // namespace ui
