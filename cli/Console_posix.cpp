#include "Console.h"

namespace cli {

// Terminals here take UTF-8 as they are.
TUtf8Console::TUtf8Console() = default;
TUtf8Console::~TUtf8Console() = default;

} // namespace cli
