#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace ui {

// What is handed to MessageBoxA.
struct TMessageBoxRequest {
    HWND Owner = nullptr;
    std::string Text;
    std::string Caption;
    UINT Type = 0; // MB_* flags: buttons, icon, default button
};

// What is handed to GetOpenFileNameA or GetSaveFileNameA.
struct TFileDialogRequest {
    HWND Owner = nullptr;
    bool Save = false;
    std::string Filter; // the double-zero form: description, 0, pattern, 0, ..., 0
    int FilterIndex = 1;
    std::string DefaultExt;
    std::string FileName; // offered in the name box when the dialog opens
    DWORD Flags = 0;      // OFN_*
};

// What is handed to ChooseColorA.
struct TColorDialogRequest {
    HWND Owner = nullptr;
    COLORREF Color = 0; // selected when the dialog opens
    DWORD Flags = 0;    // CC_*
};

// What is handed to the shell.
struct TShellRequest {
    HWND Owner = nullptr;
    std::optional<std::string> Verb; // none: the file type's default action
    std::string File;
    std::string Parameters;
    std::string Directory;
    int Show = SW_SHOWNORMAL;
};

// The few places where the window layer meets the user or the system outside its windows. A test
// replaces them to answer for the user and to see what would have been shown or started.
struct TSeams {
    // The button the user chose: IDOK, IDYES, IDNO, ...
    std::function<int(const TMessageBoxRequest&)> ShowMessageBox;
    // The chosen file name, or none when the user cancelled.
    std::function<std::optional<std::string>(const TFileDialogRequest&)> ExecuteFileDialog;
    // The chosen colour, or none when the user cancelled.
    std::function<std::optional<COLORREF>(const TColorDialogRequest&)> ExecuteColorDialog;
    // The system's reason when the shell could not do it; empty when it did.
    std::function<std::string(const TShellRequest&)> ExecuteShell;
    // The folder of the running executable, ending with "\".
    std::function<std::string()> ExecutableFolder;
};

// The platform's own: the real message box, dialogs, shell and module path.
TSeams PlatformSeams();

// The seams in force.
TSeams& Seams();

} // namespace ui
