#pragma once

#include <string>
#include <vector>

namespace cli {

constexpr int ExitSuccess = 0;
constexpr int ExitError = 1;
constexpr int ExitUsage = 2;

// The commands. Each takes the arguments after its name, raises EUsage for arguments it does
// not take and any other exception for what stops it, and returns the exit code.

// Containers (ContainerCommands.cpp).
int Pack(const std::vector<std::string>& args);
int List(const std::vector<std::string>& args);
int Extract(const std::vector<std::string>& args);

// Project files (ProjectCommands.cpp).
int ProjectNew(const std::vector<std::string>& args);
int ProjectSet(const std::vector<std::string>& args);
int ProjectShow(const std::vector<std::string>& args);

// Wallpapers (WallpaperCommands.cpp).
int Build(const std::vector<std::string>& args);
int Page(const std::vector<std::string>& args);

// Movies (InfoCommand.cpp).
int Info(const std::vector<std::string>& args);

} // namespace cli
