#include "ui/Label.h"

#include "rtl/CodePage.h"
#include "ui/Dispatch.h"

namespace ui {

TLabel::TLabel(const TControlArgs& args) : TControl(args.Name, args.Parent) {
    // SS_NOPREFIX keeps an "&" in a path from underlining the next letter; SS_NOTIFY reports
    // clicks.
    CreateSystemWindow("STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY, 0, args);
    AdjustSize();
}

void TLabel::SetLinkStyle() {
    link_ = true;
    textColor_ = core::clBlue;
    TFont font = DescribeFont(FontHandle(), PixelsPerInch());
    font.Underline = true;
    SetFont(font);
}

bool TLabel::HandleMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message == WM_SETCURSOR && link_) {
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
        result = TRUE;
        return true;
    }
    return false;
}

void TLabel::Command(WORD notification) {
    if (notification == STN_CLICKED && OnClick)
        Dispatch([this] { OnClick(this); });
}

HBRUSH TLabel::CtlColor(HDC dc) {
    const TColor background = Parent()->BackgroundColor();
    SetTextColor(dc, ColorToRGB(textColor_));
    SetBkColor(dc, ColorToRGB(background));
    return SolidBrush(background);
}

void TLabel::AdjustSize() {
    const std::wstring caption = rtl::NativeToWide(Caption());
    sys::TWindowDC dc(Handle());
    sys::TSelectObject font(dc.Get(), FontHandle());
    RECT rect{0, 0, 0, 0};
    DrawTextW(dc.Get(), caption.c_str(), static_cast<int>(caption.size()), &rect,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
    // The measure is the characters' advance; a last glyph such as "f" reaches beyond its
    // advance, and the window would cut that off.
    ABC last{};
    if (!caption.empty() && GetCharABCWidthsW(dc.Get(), caption.back(), caption.back(), &last) &&
        last.abcC < 0)
        rect.right -= last.abcC;
    SetWindowPos(Handle(), nullptr, 0, 0, rect.right, rect.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace ui
