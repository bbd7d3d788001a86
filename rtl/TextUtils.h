#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rtl {

std::string IntToStr(int64_t value);
// The value of a hexadecimal digit of either case, or -1.
int HexDigit(char c);

// Integer text: optional leading blanks, an optional sign, then decimal digits within the
// signed 32-bit range, or hexadecimal digits that fit 32 bits after "$", "x", "X", "0x" or
// "0X"; nothing may follow. Hexadecimal fills all 32 bits, so "$FFFFFFFF" is -1.
bool TryStrToInt(const std::string& text, int32_t& value);
int32_t StrToIntDef(const std::string& text, int32_t fallback);

// Strips leading and trailing characters with codes up to 32.
std::string Trim(const std::string& text);

// Only the letters A to Z (a to z) change; bytes of the upper half stay as they are.
std::string LowerCaseAscii(std::string text);
std::string UpperCaseAscii(std::string text);
bool SameTextAscii(const std::string& a, const std::string& b);

// The pieces between the delimiters: one more than there are delimiters, empty ones kept.
std::vector<std::string> Split(const std::string& text, char delimiter);

} // namespace rtl
