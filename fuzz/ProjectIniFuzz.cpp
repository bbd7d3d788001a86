// The project loader past the zlib checksums: the input is the settings' INI text, then,
// after form feeds, the licence and the text lines; they are packed as the program packs them.
#include "FuzzSupport.h"
#include "core/CompileUnit.h"
#include "rtl/TextUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> parts = rtl::Split(fuzz::Text(data, size), '\f');
    parts.resize(3);
    core::TCompileStream writer;
    for (const std::string& part : parts) {
        rtl::TMemoryView entry(reinterpret_cast<const uint8_t*>(part.data()),
                               static_cast<int64_t>(part.size()));
        writer.AddStream(entry, true);
    }
    fuzz::LoadProject(writer.Compile().ToString());
    return 0;
}
