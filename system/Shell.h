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

// A shell folder by its CSIDL, made if missing; raises naming what when the system does not
// know it.
std::string ShellFolder(int id, const char* what);
// The current user's local application data folder, where per-user programs live.
std::string LocalAppDataFolder();
// %LOCALAPPDATA%\Zenvoy Muravel: the wallpapers and the web view's data live under it.
std::string ProductDataFolder();

} // namespace sys
