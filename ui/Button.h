#pragma once

#include "ui/Control.h"

namespace ui {

// A push button.
class TButton : public TControl {
public:
    // A default button is the one Enter presses on its form (see TForm::DefaultButton).
    TButton(const TControlArgs& args, bool isDefault);

    TNotifyEvent OnClick;
    // Runs OnClick as a click by the user would.
    void Click();
    bool PressWithEnter() override;

protected:
    void Command(WORD notification) override;
};

} // namespace ui
