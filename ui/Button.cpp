#include "ui/Button.h"

#include "ui/Application.h"
#include "ui/Form.h"

namespace ui {

TButton::TButton(const TControlArgs& args, bool isDefault) : TControl(args.Name, args.Parent) {
    CreateSystemWindow("BUTTON", isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, 0, args);
    if (isDefault)
        Form().SetDefaultButton(this);
}

void TButton::Click() {
    if (OnClick)
        OnClick(this);
}

void TButton::Command(WORD notification) {
    if (notification == BN_CLICKED)
        Application().Dispatch([this] { Click(); });
}

} // namespace ui
