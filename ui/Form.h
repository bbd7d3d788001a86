#pragma once

#include <memory>
#include <vector>

#include "ui/Control.h"

namespace ui {

class TMainMenu;

enum class TBorderStyle {
    Single, // fixed single border, system menu and minimize box
    Dialog, // dialog frame, system menu only
};

enum class TPosition {
    Designed,        // at Left, Top of the description
    OwnerFormCenter, // centred on the owner form when shown
};

// What a form is made from; sizes at 96 pixels per inch.
struct TFormDescription {
    const char* ClassName;
    const char* Caption;
    TBorderStyle BorderStyle;
    TPosition Position;
    int Left;
    int Top;
    int ClientWidth;
    int ClientHeight;
    TFont Font;
    int IconResource; // the window's icon, or 0 for none
};

// A top-level window holding controls, with Tab moving between them, Enter pressing the default
// button and modal showing.
class TForm : public TControl {
public:
    TForm(const TFormDescription& description, TForm* owner);
    ~TForm() override;

    int PixelsPerInch() const override { return pixelsPerInch_; }
    // The screen's logical pixels per inch, which forms made from now on are laid out for.
    static int ScreenPixelsPerInch();
    static void SetScreenPixelsPerInch(int pixelsPerInch);

    // Closing the main form ends the message loop.
    static TForm* MainForm();
    static void SetMainForm(TForm* form);
    // A length of the layout, made for 96 pixels per inch, at this form's pixels per inch.
    int Scale(int pixels) const { return MulDiv(pixels, pixelsPerInch_, 96); }

    // The caller's component, kept by the form until it goes.
    template <class T> T& Adopt(std::unique_ptr<T> component) {
        T& kept = *component;
        components_.push_back(std::move(component));
        return kept;
    }

    // The component of that name among those the form keeps, or null.
    TComponent* FindComponent(const std::string& name) const;

    // Attaches the menu bar, keeping the client area's size.
    void SetMenu(std::unique_ptr<TMainMenu> menu);

    // The button Enter presses while it can take the focus and the focus is on no other button
    // and in no control that wants Enter itself.
    TControl* DefaultButton() const { return defaultButton_; }
    void SetDefaultButton(TControl* button) { defaultButton_ = button; }

    TNotifyEvent OnShow;
    // Asked before a form that is not modal closes; a handler that raises keeps it open too.
    TCloseQueryEvent OnCloseQuery;

    // Runs OnShow, then shows and activates the form.
    void Show();
    // Ends a modal showing; otherwise hides the form once OnCloseQuery lets it, and closing the
    // main form ends the program.
    void Close();
    // Shows the form with its owner disabled until Close; the modal result.
    int ShowModal();

    // The keys of dialog navigation, seen before the message is dispatched: Tab and the arrows
    // move the focus, Enter presses a button, Esc does nothing. True when the message was used.
    bool PreTranslateMessage(MSG& message) override;

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void SetClientSize();
    void CenterOnOwner();
    void PressEnter(HWND focus);
    void RestoreFocus();

    TFormDescription description_;
    int pixelsPerInch_;
    std::vector<std::unique_ptr<TComponent>> components_;
    std::unique_ptr<TMainMenu> menu_;
    sys::TIconHandle bigIcon_;
    sys::TIconHandle smallIcon_;
    TControl* defaultButton_ = nullptr;
    HWND lastFocus_ = nullptr;
    bool modal_ = false;
    int modalResult_ = 0;
};

} // namespace ui
