#pragma once

#include <string>

namespace cli {

// Opens the document at path with the program the system opens such documents with: the
// default browser for a page. False when nothing could be started.
bool OpenWithDefaultProgram(const std::string& path);

} // namespace cli
