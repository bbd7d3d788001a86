#pragma once

// The product's maker and version, for the program's resources, the About box and what an
// installer records; plain preprocessor definitions, as the resource script reads them too.

#define MURAVEL_PUBLISHER "Zenvoy"
#define MURAVEL_VERSION_TEXT "3.0.0"
#define MURAVEL_VERSION_NUMBERS 3, 0, 0, 0
