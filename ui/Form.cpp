#include "ui/Form.h"

#include <algorithm>

#include "system/MessagePump.h"
#include "ui/Dispatch.h"
#include "ui/Menu.h"

namespace ui {

namespace {

sys::TIconHandle LoadIconResource(int resource, int metricX, int metricY) {
    return sys::TIconHandle(static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource), IMAGE_ICON,
                   GetSystemMetrics(metricX), GetSystemMetrics(metricY), 0)));
}

int screenPixelsPerInch = 96;
TForm* mainForm = nullptr;

} // namespace

int TForm::ScreenPixelsPerInch() {
    return screenPixelsPerInch;
}

void TForm::SetScreenPixelsPerInch(int pixelsPerInch) {
    screenPixelsPerInch = pixelsPerInch;
}

TForm* TForm::MainForm() {
    return mainForm;
}

void TForm::SetMainForm(TForm* form) {
    mainForm = form;
}

TForm::TForm(const TFormDescription& description, TForm* owner)
    : TControl(description.ClassName + 1, nullptr), description_(description),
      pixelsPerInch_(screenPixelsPerInch) {
    RegisterWindowClass(description.ClassName, GetSysColorBrush(COLOR_BTNFACE));
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE;
    if (description.BorderStyle == TBorderStyle::Single) {
        style |= WS_OVERLAPPED | WS_MINIMIZEBOX;
    } else {
        style |= WS_POPUP;
        exStyle |= WS_EX_DLGMODALFRAME;
    }
    // A window without owner gets a task-bar button of its own; the main form is one, so no
    // hidden window stands in for the program there.
    if (owner == nullptr)
        exStyle |= WS_EX_APPWINDOW;
    const TControlArgs args{Name,
                            nullptr,
                            description.Caption,
                            {description.Left, description.Top, Scale(description.ClientWidth),
                             Scale(description.ClientHeight)},
                            false};
    CreateOwnWindow(description.ClassName, style, exStyle, args,
                    owner != nullptr ? owner->Handle() : nullptr);
    SetFont(description.Font);
    if (description.IconResource != 0) {
        bigIcon_ = LoadIconResource(description.IconResource, SM_CXICON, SM_CYICON);
        smallIcon_ = LoadIconResource(description.IconResource, SM_CXSMICON, SM_CYSMICON);
        SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
        SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
    }
    SetClientSize();
}

TForm::~TForm() {
    if (mainForm == this)
        mainForm = nullptr;
    // The menu object frees the menu; a menu still attached would be freed by the window too.
    ::SetMenu(Handle(), nullptr);
    // The windows go before the objects of the controls, so no message reaches a control that
    // is half gone.
    DestroyHandle();
}

TComponent* TForm::FindComponent(const std::string& name) const {
    for (const auto& component : components_)
        if (component->Name == name)
            return component.get();
    return nullptr;
}

void TForm::SetMenu(std::unique_ptr<TMainMenu> menu) {
    menu_ = std::move(menu);
    ::SetMenu(Handle(), menu_ != nullptr ? menu_->Handle() : nullptr);
    SetClientSize();
}

void TForm::SetClientSize() {
    const int width = Scale(description_.ClientWidth);
    const int height = Scale(description_.ClientHeight);
    // Twice, since the new width may change how many lines the menu bar takes.
    for (int pass = 0; pass < 2; ++pass) {
        RECT window;
        RECT client;
        GetWindowRect(Handle(), &window);
        GetClientRect(Handle(), &client);
        SetWindowPos(Handle(), nullptr, 0, 0, window.right - window.left + width - client.right,
                     window.bottom - window.top + height - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TForm::CenterOnOwner() {
    HWND owner = GetWindow(Handle(), GW_OWNER);
    if (owner == nullptr)
        return;
    RECT ownerRect;
    RECT rect;
    GetWindowRect(owner, &ownerRect);
    GetWindowRect(Handle(), &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const int left = std::max<int>(ownerRect.left + (ownerRect.right - ownerRect.left - width) / 2,
                                   GetSystemMetrics(SM_XVIRTUALSCREEN));
    const int top = std::max<int>(ownerRect.top + (ownerRect.bottom - ownerRect.top - height) / 2,
                                  GetSystemMetrics(SM_YVIRTUALSCREEN));
    SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::Show() {
    if (IsWindowVisible(Handle()))
        return;
    if (OnShow)
        Dispatch([this] { OnShow(this); });
    if (description_.Position == TPosition::OwnerFormCenter)
        CenterOnOwner();
    ShowWindow(Handle(), SW_SHOWNORMAL);
}

void TForm::Close() {
    if (modal_) {
        if (modalResult_ == 0)
            modalResult_ = IDCANCEL;
        return;
    }
    bool canClose = true;
    if (OnCloseQuery && !Dispatch([&] { OnCloseQuery(this, canClose); }))
        canClose = false;
    if (!canClose)
        return;
    ShowWindow(Handle(), SW_HIDE);
    if (mainForm == this)
        PostQuitMessage(0);
}

int TForm::ShowModal() {
    HWND owner = GetWindow(Handle(), GW_OWNER);
    modal_ = true;
    modalResult_ = 0;
    if (owner != nullptr)
        EnableWindow(owner, FALSE);
    Show();
    while (modalResult_ == 0) {
        if (!sys::HandleMessage()) {
            // The end of the program: the outer loop must see it too.
            PostQuitMessage(0);
            break;
        }
    }
    // The owner is enabled before this form hides, so the activation goes back to it.
    if (owner != nullptr)
        EnableWindow(owner, TRUE);
    ShowWindow(Handle(), SW_HIDE);
    modal_ = false;
    return modalResult_;
}

bool TForm::PreTranslateMessage(MSG& message) {
    if (message.message == WM_KEYDOWN &&
        (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE)) {
        const LRESULT wants = SendMessageA(message.hwnd, WM_GETDLGCODE, message.wParam,
                                           reinterpret_cast<LPARAM>(&message));
        if ((wants & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) != 0)
            return false;
        // The forms have no cancel button, so Esc is dropped here.
        if (message.wParam == VK_RETURN)
            PressEnter(message.hwnd);
        return true;
    }
    return IsDialogMessageW(Handle(), &message) != FALSE;
}

void TForm::PressEnter(HWND focus) {
    TControl* control = TControl::FromHandle(focus);
    if ((control == nullptr || !control->PressWithEnter()) && defaultButton_ != nullptr &&
        defaultButton_->CanFocus())
        defaultButton_->PressWithEnter();
}

void TForm::RestoreFocus() {
    HWND target = lastFocus_;
    if (target == nullptr || !IsWindow(target) || !IsChild(Handle(), target) ||
        !IsWindowVisible(target) || !IsWindowEnabled(target))
        target = GetNextDlgTabItem(Handle(), nullptr, FALSE);
    if (target != nullptr)
        ::SetFocus(target);
}

bool TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND:
        if (lParam == 0 && HIWORD(wParam) == 0 && menu_ != nullptr) {
            if (TMenuItem* item = menu_->FindCommand(LOWORD(wParam))) {
                Dispatch([item] { item->Click(); });
                result = 0;
                return true;
            }
        }
        return false;
    case WM_CLOSE:
        Close();
        result = 0;
        return true;
    case WM_ACTIVATE:
        // A plain window would take the focus itself on activation; a form gives it back to the
        // control that had it.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus != nullptr && IsChild(Handle(), focus))
                lastFocus_ = focus;
        } else if (HIWORD(wParam) == 0) {
            RestoreFocus();
        }
        result = 0;
        return true;
    case WM_SETFOCUS:
        RestoreFocus();
        result = 0;
        return true;
    default:
        return false;
    }
}

} // namespace ui
