// What the fuzz targets share: the input as text, a scratch folder for readers that take a
// file, and a check that stops the run with a finding when a reader breaks its own promise.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fuzz {

inline std::string Text(const uint8_t* data, size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// A folder of this process's own, made on first use; a run that ends in a finding leaves it.
const std::string& ScratchFolder();

// Loads a project file's bytes as the window's Open does. A project that loads is saved and
// loaded again and must come back the same, unless it names so many movies that writing them
// out would take longer than a run may (the loader takes up to 2^20).
void LoadProject(const std::string& bytes);

// A broken promise is a finding; libFuzzer saves the input that led to it.
inline void Require(bool condition, const char* promise) {
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", promise);
        std::abort();
    }
}

} // namespace fuzz
