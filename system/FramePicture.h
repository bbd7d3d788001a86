#pragma once

#include <string>

namespace sys {

// A picture (PNG, as a web view captures one) made a PNG at most maxSide pixels wide and high,
// its aspect kept, by the Windows Imaging Component, which every Windows carries. Needs COM on
// the calling thread. Raises rtl::EReadError when the bytes are no picture it reads.
std::string ShrunkPng(const std::string& picture, int maxSide);

} // namespace sys
