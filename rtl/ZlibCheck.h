#pragma once

#include <zlib.h>

#include "Errors.h"

namespace rtl {

// zlib's result as this system's errors: EOutOfMemory, or ECompressionError with zlib's word.
inline void Check(int result, const z_stream& z) {
    if (result == Z_MEM_ERROR)
        throw EOutOfMemory();
    if ((result < 0 && result != Z_BUF_ERROR) || result == Z_NEED_DICT)
        throw ECompressionError(z.msg != nullptr ? z.msg : "");
}

} // namespace rtl
