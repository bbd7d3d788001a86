#pragma once

#include <optional>
#include <string>

#include <windows.h>

#include "system/Handle.h"

namespace sys {

// The one registry string read: the text of a REG_SZ or REG_EXPAND_SZ value of key up to its
// first zero, references such as %SystemRoot% left unexpanded. Nothing when the value is
// missing or cannot be read; otherType, when given, tells whether it has a type of another kind.
std::optional<std::string> ReadStringValue(HKEY key, const std::string& name,
                                           bool* otherType = nullptr);

// Reads string values of one registry key at a time. Keys are opened for querying values only
// and never created, so a standard user can read the machine's keys and a query never writes
// to the registry.
class TRegistryReader {
public:
    // Closes the key open so far and opens path (no leading "\") below root. False when the
    // key is missing or may not be read; every ReadString then gives "".
    bool OpenKeyReadOnly(HKEY root, const std::string& path);
    void CloseKey() { key_.Reset(); }

    // The text of a REG_SZ or REG_EXPAND_SZ value up to its first zero, references such as
    // %SystemRoot% left unexpanded; "" when no key is open or the value cannot be read. A value
    // of any other type raises ERegistryException "Invalid data type for '<name>'".
    std::string ReadString(const std::string& name) const;

private:
    TRegKey key_;
};

} // namespace sys
