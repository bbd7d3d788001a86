#pragma once

// Shared by the resource script and the code, so plain preprocessor definitions only.

#include "core/ProductVersion.h"

#define IDI_MURAVEL 1
