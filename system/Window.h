#pragma once

#include <windows.h>

#include "system/Handle.h"

namespace sys {

// An object that handles the messages of its window: the base of the program's controls and
// forms and of the installer's window. The window is tied to the object through a window
// property rather than GWLP_USERDATA: any window of the process may be asked whether it is
// ours, and a foreign one may use its user data for anything. The window belongs to the object;
// it goes when the object goes, and an object whose window went with its parent forgets it.
class TWindow {
public:
    virtual ~TWindow();
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    HWND Handle() const { return window_.Get(); }
    // The object of one of our windows, or null for any other window.
    static TWindow* FromHandle(HWND window);
    // Seen by the message loop before a message for this top-level window or any of its
    // children is dispatched; true when the object used it (dialog keys, mostly).
    virtual bool PreTranslateMessage(MSG& /*message*/) { return false; }

protected:
    TWindow() = default;
    // The procedure of our window classes: windows created with their object as the creation
    // parameter are tied to it at WM_NCCREATE, their messages go to WindowProc, and after
    // WM_NCDESTROY the object forgets the window; windows created without one get the
    // default handling.
    static LRESULT CALLBACK ClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Registers a window class of ours with ClassProc; one registered already stays as it is.
    // Raises on failure.
    static void RegisterWindowClass(const char* className, HBRUSH background, HICON icon = nullptr);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Ties window to this object, which now owns it.
    void Attach(HWND window);
    // Unties the window, which stays.
    void Detach();
    // The window goes by itself (WM_NCDESTROY): the object lets go of it.
    void Forget();
    // Destroys the window now, its children's windows with it.
    void Destroy();

private:
    TWindowHandle window_;
};

// A window class name of ours, which is ASCII and short, in the form the wide calls take; in a
// fixed buffer, since the installer does without the library's wide strings.
class TWideClassName {
public:
    explicit TWideClassName(const char* name);
    const wchar_t* Get() const { return text_; }

private:
    wchar_t text_[64];
};

} // namespace sys
