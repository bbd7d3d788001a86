// The container reader: a directory read from the end of any bytes, then every entry, as
// stored and forced through the inflater, as `extract` and the project loader take them.
#include "FuzzSupport.h"
#include "core/DecompileUnit.h"
#include "rtl/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    rtl::TMemoryView source(data, static_cast<int64_t>(size));
    core::TDecompileStream reader;
    try {
        reader.Decompile(source);
    } catch (const rtl::Exception&) {
        return 0;
    }
    for (int32_t i = 0; i < reader.EntryCount(); ++i)
        for (const bool force : {false, true}) {
            try {
                const auto entry = reader.GetStream(i, force);
                fuzz::Require(entry->Size() == reader.SourceSize(i),
                              "an entry read whole has the size its directory records");
            } catch (const rtl::Exception&) {
            }
        }
    return 0;
}
