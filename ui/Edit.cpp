#include "ui/Edit.h"

#include <algorithm>

#include "ui/Dispatch.h"

namespace ui {

namespace {

// The edit's own timers have small numbers.
constexpr UINT_PTR BalloonTimer = 0x4D42;
constexpr UINT BalloonMs = 6000;

} // namespace

TCustomEdit::TCustomEdit(const TControlArgs& args, DWORD style, DWORD exStyle)
    : TControl(args.Name, args.Parent) {
    CreateSystemWindow("EDIT", style, exStyle, args);
    // 0 lifts the system's limit on the length of the text.
    SendMessageA(Handle(), EM_SETLIMITTEXT, 0, 0);
}

bool TCustomEdit::ReadOnly() const {
    return (GetWindowLongA(Handle(), GWL_STYLE) & ES_READONLY) != 0;
}

void TCustomEdit::SetColor(TColor color) {
    color_ = color;
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TCustomEdit::ReplaceBeforeCaret(const std::string& text) {
    // Both counts are of UTF-16 units, as the edit keeps its text.
    DWORD caret = 0;
    SendMessageW(Handle(), EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    const int afterCaret = std::max(GetWindowTextLengthW(Handle()) - static_cast<int>(caret), 0);
    SetText(text);
    const int at = std::max(GetWindowTextLengthW(Handle()) - afterCaret, 0);
    SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(at), at);
}

void TCustomEdit::ShowBalloonTip(const std::string& title, const std::string& text) {
    if (!balloon_)
        balloon_ = std::make_unique<TBalloonTip>(Handle());
    balloon_->Show(title, text);
    // A later refusal starts the time again.
    SetTimer(Handle(), BalloonTimer, BalloonMs, nullptr);
}

void TCustomEdit::HideBalloonTip() {
    KillTimer(Handle(), BalloonTimer);
    if (balloon_)
        balloon_->Hide();
}

bool TCustomEdit::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_TIMER && wParam == BalloonTimer) {
        HideBalloonTip();
        result = 0;
        return true;
    }
    if (message == WM_KILLFOCUS)
        HideBalloonTip();
    // A character beyond ASCII comes as several UTF-8 bytes, or as one UTF-16 unit; the edit
    // puts it together untouched.
    if (message != WM_CHAR || !OnKeyPress || wParam >= 0x80)
        return false;
    char key = static_cast<char>(wParam);
    const bool completed = Dispatch([&] { OnKeyPress(this, key); });
    result = 0;
    if (completed && key != '\0')
        result = CallDefault(message, static_cast<unsigned char>(key), lParam);
    return true;
}

void TCustomEdit::Command(WORD notification) {
    if (notification == EN_CHANGE && OnChange)
        Dispatch([this] { OnChange(this); });
}

HBRUSH TCustomEdit::CtlColor(HDC dc) {
    // A read-only edit asks with WM_CTLCOLORSTATIC and would get the dialog colour; it keeps its
    // own. A disabled one keeps the system's disabled look.
    if (!IsWindowEnabled(Handle()))
        return nullptr;
    SetTextColor(dc, ColorToRGB(core::clWindowText));
    SetBkColor(dc, ColorToRGB(color_));
    return SolidBrush(color_);
}

TEdit::TEdit(const TControlArgs& args)
    : TCustomEdit(args, ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE) {}

TMemo::TMemo(const TControlArgs& args, bool readOnly, bool border)
    : TCustomEdit(args,
                  ES_LEFT | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL |
                      (readOnly ? ES_READONLY : 0),
                  border ? WS_EX_CLIENTEDGE : 0) {
    // Without a border the memo is text on its parent, and lines up with the labels beside it.
    if (!border)
        SendMessageA(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
}

rtl::TStringList TMemo::Lines() const {
    rtl::TStringList lines;
    lines.SetText(Text());
    return lines;
}

void TMemo::SetLines(const rtl::TStringList& lines) {
    SetText(lines.Text());
}

void TMemo::Append(const std::string& line) {
    const std::string text = Text();
    std::string added = line + "\r\n";
    if (!text.empty() && text.back() != '\n')
        added = "\r\n" + added;
    const int end = static_cast<int>(text.size());
    SendMessageA(Handle(), EM_SETSEL, end, end);
    SendMessageA(Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(added.c_str()));
}

bool TMemo::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_GETDLGCODE) {
        result = CallDefault(message, wParam, lParam);
        // A multi-line edit asks for every key. Tab must still move the focus, and Esc must not
        // reach it: in a dialog it would close its parent window.
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        if (key != nullptr && key->message == WM_KEYDOWN &&
            (key->wParam == VK_TAB || key->wParam == VK_ESCAPE))
            result &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
        return true;
    }
    return TCustomEdit::HandleMessage(message, wParam, lParam, result);
}

} // namespace ui
