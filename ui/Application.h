#pragma once

#include <windows.h>

#include <exception>
#include <string>
#include <vector>

namespace ui {

// The program as a whole: its title, its main window, the message loop and the handler of last
// resort for the exceptions of event handlers.
class TApplication {
public:
    // Loads the common controls, reads the screen's pixels per inch for the forms and installs
    // HandleException.
    void Initialize();

    // The caption of the program's own message boxes. The task bar shows the main window's
    // caption, since the main window owns the task-bar button; the program keeps the two equal.
    const std::string& Title() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }

    // The command line's arguments after the program's own name; Initialize reads them.
    const std::vector<std::string>& Arguments() const { return arguments_; }
    void SetArguments(std::vector<std::string> arguments) { arguments_ = std::move(arguments); }

    // The folder of the running executable, ending with "\": where the sibling files are.
    std::string ExeFolder() const;

    // Handles messages until the main form closes.
    void Run();
    // Ends Run once the messages already waiting have been handled.
    void Terminate();

    // The handler of last resort for the exceptions of event handlers, which Initialize installs
    // for Dispatch: the exception's message in a stop-icon box captioned with the title.
    void HandleException(const std::exception_ptr& error);

    // The window that owns the program's message boxes and dialogs: the active one, else the
    // main form.
    HWND ActiveFormHandle() const;

private:
    std::string title_;
    std::vector<std::string> arguments_;
};

TApplication& Application();

// What the application's handler shows for error: its message, with a full stop where it
// ends without one.
std::string ExceptionMessage(const std::exception_ptr& error);

} // namespace ui
