#include "ui/Button.h"

#include "ui/Dispatch.h"
#include "ui/Form.h"

namespace ui {

TButton::TButton(const TControlArgs& args, bool isDefault) : TControl(args.Name, args.Parent) {
    CreateSystemWindow("BUTTON", isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, 0, args);
    if (isDefault)
        dynamic_cast<TForm&>(Root()).SetDefaultButton(this);
}

void TButton::Click() {
    if (OnClick)
        OnClick(this);
}

bool TButton::PressWithEnter() {
    Dispatch([this] { Click(); });
    return true;
}

void TButton::Command(WORD notification) {
    if (notification == BN_CLICKED)
        Dispatch([this] { Click(); });
}

} // namespace ui
