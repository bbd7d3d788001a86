#include "ui/Image.h"

namespace ui {

TImage::TImage(const TControlArgs& args) : TControl(args.Name, args.Parent) {
    RegisterWindowClass("TImage", nullptr);
    CreateOwnWindow("TImage", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, args, nullptr);
}

void TImage::SetIcon(int resource) {
    RECT rect;
    GetClientRect(Handle(), &rect);
    icon_.Reset(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource),
                                              IMAGE_ICON, rect.right, rect.bottom, 0)));
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TImage::Paint(HDC dc) {
    RECT rect;
    GetClientRect(Handle(), &rect);
    FillRect(dc, &rect, SolidBrush(Parent()->BackgroundColor()));
    if (icon_.Valid())
        DrawIconEx(dc, 0, 0, icon_.Get(), rect.right, rect.bottom, 0, nullptr, DI_NORMAL);
}

bool TImage::HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    return HandleOwnPaint(message, wParam, result, [this](HDC dc) { Paint(dc); });
}

} // namespace ui
