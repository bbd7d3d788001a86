#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "rtl/Errors.h"
#include "system/Handle.h"
#include "system/Window.h"
#include "ui/Colors.h"
#include "ui/Font.h"

namespace ui {

// A window that could not be made; Reason is the system's text for why.
class ECreateWindowError : public rtl::Exception {
public:
    ECreateWindowError(std::string message, std::string reason)
        : rtl::Exception(std::move(message)), Reason(std::move(reason)) {}

    std::string Reason;
};

class TControl;

// Anything a form holds by name: controls, menu items, dialogs, timers.
class TComponent {
public:
    explicit TComponent(std::string name) : Name(std::move(name)) {}
    virtual ~TComponent() = default;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    std::string Name;
};

using TNotifyEvent = std::function<void(TComponent* Sender)>;
// A handler that clears CanClose keeps the form open.
using TCloseQueryEvent = std::function<void(TComponent* Sender, bool& CanClose)>;
// Key is the typed character; a handler that sets it to 0 drops it.
using TKeyPressEvent = std::function<void(TComponent* Sender, char& Key)>;

// Left, top, width and height in pixels, relative to the parent's client area.
struct TBounds {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// What every control is made from.
struct TControlArgs {
    std::string Name;
    TControl* Parent = nullptr;
    std::string Caption;
    TBounds Bounds; // already scaled to the form's pixels per inch
    bool TabStop = false;
};

// A control with a window of its own. The window belongs to the object: it goes when the object
// goes, and an object whose window went with its parent simply forgets it.
class TControl : public TComponent, public sys::TWindow {
public:
    ~TControl() override;

    TControl* Parent() const { return parent_; }
    // The top of the parent chain: the form this control sits in, or itself for a form.
    TControl& Root() const;
    // The pixels per inch its form is laid out for.
    virtual int PixelsPerInch() const;

    std::string Caption() const;
    void SetCaption(const std::string& caption);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    void SetVisible(bool visible);
    TBounds Bounds() const;
    void SetBounds(const TBounds& bounds);
    // Visible and enabled up to the form, so the focus may go there.
    bool CanFocus() const;
    void SetFocus();

    // The control's own font if it has one, else its parent's.
    HFONT FontHandle() const;
    // Gives the control a font of its own, scaled to its form's pixels per inch.
    void SetFont(const TFont& font);
    // Enter pressed with the focus here: a push button clicks and says true.
    virtual bool PressWithEnter() { return false; }
    // The colour the control's children paint behind themselves.
    virtual TColor BackgroundColor() const;

    // The control of one of our windows, or null for any other window.
    static TControl* FromHandle(HWND window);

protected:
    TControl(std::string name, TControl* parent) : TComponent(std::move(name)), parent_(parent) {}

    // Creates a window of a system class (BUTTON, EDIT, ...) and subclasses it, so its messages
    // pass through HandleMessage first.
    void CreateSystemWindow(const char* className, DWORD style, DWORD exStyle,
                            const TControlArgs& args);
    // Creates a window of one of our own classes, registered on first use.
    void CreateOwnWindow(const char* className, DWORD style, DWORD exStyle,
                         const TControlArgs& args, HWND parentOrOwner);
    // A message to this control's window; true when handled, with result set.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Notifications that the system sends to the parent and the parent hands to the child.
    virtual void Command(WORD /*notification*/) {}
    virtual bool Notify(const NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
    // Answers WM_CTLCOLOR*: the brush for the background, or null for the system's default.
    virtual HBRUSH CtlColor(HDC /*dc*/) { return nullptr; }
    // After the caption or the font changed: a control that sizes itself to them does it here.
    virtual void AdjustSize() {}

    // Destroys the window now, its children's windows with it.
    void DestroyHandle();

    // The window's own processing of a message: the system class's or DefWindowProc.
    LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);
    // For a control that paints its whole window itself: WM_ERASEBKGND is left out, and
    // WM_PAINT and WM_PRINTCLIENT go to paint. True when message was one of the three.
    bool HandleOwnPaint(UINT message, WPARAM wParam, LRESULT& result,
                        const std::function<void(HDC)>& paint);
    HWND ParentHandle() const { return parent_ != nullptr ? parent_->Handle() : nullptr; }

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool RouteToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Puts a subclassed window's own procedure back.
    void RestoreSystemProc();

    TControl* parent_;
    WNDPROC systemProc_ = nullptr;
    sys::TFontHandle ownFont_;
};

} // namespace ui
