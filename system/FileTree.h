#pragma once

#include <string>

namespace sys {

// Removes folder and everything in it, read-only files too, as far as it can; folder links
// (junctions, symbolic links) are removed without entering them, so a link to an ancestor or
// to another tree takes only the link with it.
void RemoveTree(const std::string& folder);

} // namespace sys
