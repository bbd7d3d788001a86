#include "ui/BalloonTip.h"

#include <commctrl.h>

#include "rtl/CodePage.h"

namespace ui {

namespace {

// Wide enough for a sentence, narrow enough to stay beside the control.
constexpr int MaxTipWidth = 320;

TOOLINFOW ToolOf(HWND control, const std::wstring* text) {
    // The size of the tool record that every version of the common controls takes.
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = control;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text != nullptr ? const_cast<wchar_t*>(text->c_str()) : nullptr;
    return tool;
}

} // namespace

TBalloonTip::TBalloonTip(HWND control) : control_(control) {}

void TBalloonTip::Show(const std::string& title, const std::string& text) {
    const std::wstring wideText = rtl::NativeToWide(text);
    TOOLINFOW tool = ToolOf(control_, &wideText);
    if (!tip_.Valid()) {
        tip_.Reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_NOPREFIX | TTS_BALLOON | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                   GetAncestor(control_, GA_ROOT), nullptr, nullptr, nullptr));
        if (!tip_.Valid())
            return;
        SendMessageW(tip_.Get(), TTM_SETMAXTIPWIDTH, 0, MaxTipWidth);
        SendMessageW(tip_.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    } else {
        SendMessageW(tip_.Get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    SendMessageW(tip_.Get(), TTM_SETTITLEW, TTI_INFO,
                 reinterpret_cast<LPARAM>(rtl::NativeToWide(title).c_str()));
    RECT bounds;
    GetWindowRect(control_, &bounds);
    const int height = bounds.bottom - bounds.top;
    SendMessageW(tip_.Get(), TTM_TRACKPOSITION, 0,
                 MAKELPARAM(bounds.left + height, bounds.bottom - height / 4));
    SendMessageW(tip_.Get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    text_ = text;
}

void TBalloonTip::Hide() {
    if (!tip_.Valid() || text_.empty())
        return;
    TOOLINFOW tool = ToolOf(control_, nullptr);
    SendMessageW(tip_.Get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    text_.clear();
}

} // namespace ui
