#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/Seams.h"

namespace ui {
class TMainForm;
}

// Stands in for the user and the system while it lives: answers message boxes and dialogs from
// queues and records everything that would have been shown or started. A dialog run with no
// answer queued fails the test and counts as cancelled; a message box with none is answered OK.
class TFakeSeams {
public:
    TFakeSeams();
    ~TFakeSeams();
    TFakeSeams(const TFakeSeams&) = delete;
    TFakeSeams& operator=(const TFakeSeams&) = delete;

    std::vector<ui::TMessageBoxRequest> MessageBoxes;
    std::deque<int> MessageBoxAnswers;
    std::vector<ui::TFileDialogRequest> FileDialogs;
    std::deque<std::optional<std::string>> FileDialogAnswers;
    std::vector<ui::TColorDialogRequest> ColorDialogs;
    std::deque<std::optional<COLORREF>> ColorDialogAnswers;
    std::vector<ui::TShellRequest> ShellRequests;
    // What the shell answers: empty for done, else the system's reason.
    std::string ShellFailure;
    std::string ExecutableFolder = "C:\\Programs\\Zenvoy Muravel\\";

private:
    std::vector<std::string> arguments_;
};

// Handles the messages waiting for this thread.
void Pump();
// Pumps until condition holds, for ten seconds at most; whether it did.
bool PumpUntil(const std::function<bool()>& condition);
// A Linux path in the build tree, as Wine names it.
std::string WinePath(const char* path);

// A key as the keyboard would deliver it to the window that has the focus.
void PressKey(UINT key);

// Calls start, which runs a modal loop, and while that loop runs calls step once per timer
// tick with the top-level window of windowClass (and caption, when given) once it is there, or
// null before. step returns true when it is done with the window; the modal loop must then end
// by itself. A loop that does not end in reasonable time fails the test and is closed.
void WhileModal(const std::function<void()>& start, const char* windowClass, const char* caption,
                const std::function<bool(HWND)>& step);

// The window's class name.
std::string ClassOf(HWND window);
// The window's text.
std::string TextOf(HWND window);
// The children of parent from the top of the z-order down.
std::vector<HWND> ChildrenInZOrder(HWND parent);
// The pixel at x, y of the window as it paints itself into a memory bitmap.
COLORREF PaintedPixel(HWND window, int x, int y);
// Width of text in the window's font, and the font's line height.
// The width a label needs to show text whole in its font: the text's advance and what its
// last glyph reaches beyond it.
int InkWidth(HWND window, const std::string& text);
SIZE TextExtent(HWND window, const std::string& text);

// Everything a user could see of the main form's settings, a line each, with the movie and
// output paths it holds behind its labels.
std::vector<std::string> VisibleSettings(const ui::TMainForm& form);
