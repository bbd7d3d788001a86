#pragma once

// Shared by the resource script and the code, so plain preprocessor definitions only.

#define IDI_MURAVEL 1

#define MURAVEL_VERSION_TEXT "3.0.0"
#define MURAVEL_VERSION_NUMBERS 3, 0, 0, 0
