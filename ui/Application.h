#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace ui {

class TForm;

// The program as a whole: its title, its main window, the message loop and the handler of last
// resort for the exceptions of event handlers.
class TApplication {
public:
    // Loads the common controls, reads the screen's pixels per inch and takes over the pump that
    // long operations of other layers run to keep the window responsive.
    void Initialize();

    // The caption of the program's own message boxes. The task bar shows the main window's
    // caption, since the main window owns the task-bar button; the program keeps the two equal.
    const std::string& Title() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }

    // Closing the main form ends the message loop.
    TForm* MainForm() const { return mainForm_; }
    void SetMainForm(TForm* form) { mainForm_ = form; }

    // The screen's logical pixels per inch; layouts made for 96 are scaled by it.
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int pixelsPerInch) { pixelsPerInch_ = pixelsPerInch; }

    // The command line's arguments after the program's own name; Initialize reads them.
    const std::vector<std::string>& Arguments() const { return arguments_; }
    void SetArguments(std::vector<std::string> arguments) { arguments_ = std::move(arguments); }

    // The folder of the running executable, ending with "\": where the sibling files are.
    std::string ExeFolder() const;

    // Handles messages until the main form closes.
    void Run();
    // Ends Run once the messages already waiting have been handled.
    void Terminate();
    // Waits for one message and handles it; false when it was the end of the loop (WM_QUIT).
    bool HandleMessage();
    // Handles every message already waiting, then returns. A WM_QUIT it meets is posted again,
    // so the loop that owns it still ends.
    void ProcessMessages();

    // The one point through which every event handler runs: an exception the handler raises
    // ends the handler and goes to HandleException, and the program goes on. False when the
    // handler raised.
    bool Dispatch(const std::function<void()>& handler) noexcept;
    // The default handler: the exception's message in a stop-icon box captioned with the title.
    void HandleException(const std::exception_ptr& error);

    // The window that owns the program's message boxes and dialogs: the active one, else the
    // main form.
    HWND ActiveFormHandle() const;

private:
    void ProcessMessage(MSG& message);

    std::string title_;
    std::vector<std::string> arguments_;
    TForm* mainForm_ = nullptr;
    int pixelsPerInch_ = 96;
};

TApplication& Application();

} // namespace ui
