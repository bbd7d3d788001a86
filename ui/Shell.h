#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace ui {

// Asks the shell to open file with verb (none: the file type's default action), shown as show,
// with owner as the parent of anything the shell shows. Raises Exception with the system's
// reason when the shell cannot.
void ExecuteShell(HWND owner, const std::optional<std::string>& verb, const std::string& file,
                  int show);

} // namespace ui
