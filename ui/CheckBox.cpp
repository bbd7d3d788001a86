#include "ui/CheckBox.h"

#include "ui/Dispatch.h"

namespace ui {

TCheckBox::TCheckBox(const TControlArgs& args) : TControl(args.Name, args.Parent) {
    CreateSystemWindow("BUTTON", BS_AUTOCHECKBOX, 0, args);
}

bool TCheckBox::Checked() const {
    return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TCheckBox::SetChecked(bool checked) {
    if (checked == Checked())
        return;
    SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    // BM_SETCHECK sends no BN_CLICKED, so the change is announced here; code that sets the
    // state is inside a handler already and gets the handler's exception itself.
    Click();
}

void TCheckBox::Click() {
    if (OnClick)
        OnClick(this);
}

void TCheckBox::Command(WORD notification) {
    // An automatic check box has changed its state by the time it reports the click.
    if (notification == BN_CLICKED)
        Dispatch([this] { Click(); });
}

HBRUSH TCheckBox::CtlColor(HDC dc) {
    // A check box asks its parent for the brush behind its box and text; without this answer
    // it would paint the system's dialog colour rather than the colour of the page it is on.
    const TColor background = Parent()->BackgroundColor();
    SetBkColor(dc, ColorToRGB(background));
    return SolidBrush(background);
}

} // namespace ui
