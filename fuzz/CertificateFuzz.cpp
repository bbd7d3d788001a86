// The PE reader that finds a signed installer's certificate table, the end of the stub's
// program and where the container before a certificate ends.
#include <cstring>
#include <memory>

#include "FuzzSupport.h"
#include "core/ContainerDirectory.h"
#include "core/PeImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto n = static_cast<int64_t>(size);
    if (const auto table = core::FindCertificateTable(data, n))
        fuzz::Require(table->Offset > 0 && table->Size >= 8 && table->Offset + table->Size == n,
                      "a certificate table found lies at the end of the file");
    if (const auto end = core::ProgramEnd(data, n))
        fuzz::Require(*end > 0 && *end <= n, "a program ends within its file");
    const int64_t containerEnd = core::TContainerDirectory::ContainerEnd(data, n);
    fuzz::Require(containerEnd >= 0 && containerEnd <= n, "a container ends within its file");

    // Writing a stub's uninstaller clears a table the copy no longer carries; a copy of
    // exactly the input's size keeps the sanitizer watching its end.
    const auto copy = std::make_unique<uint8_t[]>(size);
    if (size != 0)
        std::memcpy(copy.get(), data, size);
    if (core::ClearForeignCertificate(copy.get(), n))
        fuzz::Require(!core::ClearForeignCertificate(copy.get(), n),
                      "a cleared certificate entry needs no second clearing");
    return 0;
}
