#include "Guid.h"

#include <cstdint>
#include <cstdio>
#include <random>

namespace rtl {

std::string NewGuidText() {
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    uint8_t bytes[16];
    for (int i = 0; i < 16; i += 8) {
        const uint64_t r = generator();
        for (int j = 0; j < 8; ++j)
            bytes[i + j] = static_cast<uint8_t>(r >> (8 * j));
    }
    bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x40); // version 4
    bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
    char text[39];
    std::snprintf(
        text, sizeof text, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
        bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7], bytes[8],
        bytes[9], bytes[10], bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]);
    return text;
}

} // namespace rtl
