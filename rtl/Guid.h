#pragma once

#include <string>

namespace rtl {

// A new GUID in its 38-character registry form: braces, upper-case hexadecimal, hyphens.
std::string NewGuidText();

} // namespace rtl
