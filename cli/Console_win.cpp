#include "Console.h"

#include <windows.h>

namespace cli {

TUtf8Console::TUtf8Console() : previous_(GetConsoleOutputCP()) {
    if (previous_ != 0 && previous_ != CP_UTF8)
        SetConsoleOutputCP(CP_UTF8);
}

TUtf8Console::~TUtf8Console() {
    if (previous_ != 0 && previous_ != CP_UTF8)
        SetConsoleOutputCP(previous_);
}

} // namespace cli
