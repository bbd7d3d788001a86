// The project loader from a project file's raw bytes: a container of the settings, the
// licence and the text, each a zlib stream.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::LoadProject(fuzz::Text(data, size));
    return 0;
}
