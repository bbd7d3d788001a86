#include "ui/GroupBox.h"

namespace ui {

TGroupBox::TGroupBox(const TControlArgs& args) : TControl(args.Name, args.Parent) {
    CreateSystemWindow("BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, args);
}

bool TGroupBox::HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    // A group box paints only its frame and caption; since its parent clips its children, the
    // inside would keep whatever was on the screen before.
    if (message == WM_ERASEBKGND) {
        RECT rect;
        GetClientRect(Handle(), &rect);
        FillRect(reinterpret_cast<HDC>(wParam), &rect, SolidBrush(BackgroundColor()));
        result = 1;
        return true;
    }
    return false;
}

HBRUSH TGroupBox::CtlColor(HDC dc) {
    SetBkColor(dc, ColorToRGB(BackgroundColor()));
    return SolidBrush(BackgroundColor());
}

} // namespace ui
