#pragma once

#include <windows.h>

namespace sys {

// What the system information service needs of the application object: the window that owns
// the shell's calls, so any window the shell shows is modal to it.
class IHandleProvider {
public:
    virtual HWND Handle() const = 0;

protected:
    ~IHandleProvider() = default;
};

} // namespace sys
