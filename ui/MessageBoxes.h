#pragma once

#include <windows.h>

#include <string>

namespace ui {

// A modal message box owned by the active form; the button chosen (IDOK, IDYES, IDNO).
int ShowMessageBox(const std::string& text, const std::string& caption, UINT type);

// "Information": the information icon and an OK button.
void ShowInformation(const std::string& text);
// Captioned with the application's title, no icon, an OK button.
void ShowPlainMessage(const std::string& text);
// "Confirm": the question icon, Yes (the default) and No (also Esc); true for Yes.
bool Confirm(const std::string& text);
// Captioned with the application's title, the question icon, Yes (the default), No and Cancel
// (also Esc); IDYES, IDNO or IDCANCEL.
int AskYesNoCancel(const std::string& text);

} // namespace ui
