#include "ui/Panel.h"

namespace ui {

TPanel::TPanel(const TControlArgs& args, TBevel bevel)
    : TControl(args.Name, args.Parent), bevel_(bevel) {
    RegisterWindowClass("TPanel", nullptr);
    CreateOwnWindow("TPanel", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                    WS_EX_CONTROLPARENT, args, nullptr);
}

void TPanel::SetColor(TColor color) {
    color_ = color;
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TPanel::Paint(HDC dc) {
    RECT rect;
    GetClientRect(Handle(), &rect);
    FillRect(dc, &rect, SolidBrush(color_));
    // Of the four one-pixel edges these two are drawn in highlight and shadow, so the raised and
    // the lowered bevel mirror each other.
    DrawEdge(dc, &rect, bevel_ == TBevel::Raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
}

bool TPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    // Painted here in full, not left to a visual theme, which would draw the parent's
    // background in place of the colour and make a colour swatch useless.
    return HandleOwnPaint(message, wParam, result, [this](HDC dc) { Paint(dc); });
}

} // namespace ui
