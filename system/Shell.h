#pragma once

#include <windows.h>

#include <string>

namespace sys {

// Asks the shell to open file with verb (null: the file type's default action), with parameters
// and in folder (either may be empty), shown as show, with owner as the parent of anything the
// shell shows. The shell shows no error of its own: the caller gets the system's reason when it
// could not, and an empty text when it did.
std::string OpenWithShell(HWND owner, const char* verb, const std::string& file,
                          const std::string& parameters, const std::string& folder, int show);

} // namespace sys
