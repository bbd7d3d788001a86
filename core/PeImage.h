#pragma once

#include <cstdint>
#include <optional>

namespace core {

// The certificate table of a signed program file, as its PE security directory records it.
// Unlike every other data directory it is located by file offset, not by memory address.
struct TCertificateTable {
    int64_t Offset;
    int64_t Size;
};

// Where the security directory entry (offset and size, 4 bytes each) lies in the file, or
// nothing when the bytes are not a PE image with such an entry.
std::optional<int64_t> SecurityDirectoryEntry(const uint8_t* image, int64_t size);

// Where the program's own bytes end: after its headers and the data of its last section.
// What follows was appended to the program (the stub carries its web player there); nothing
// when the bytes are not a PE image or are cut off before that end.
std::optional<int64_t> ProgramEnd(const uint8_t* image, int64_t size);

// The certificate table when the security directory names one that ends exactly at the end
// of the file, which is where signing tools put it; anything else (no table, or a table of
// the stub's own that ended up inside the first entry) gives nothing.
std::optional<TCertificateTable> FindCertificateTable(const uint8_t* image, int64_t size);

// For a copy of the stub made to run on its own: a security directory that points beyond the
// copy's end belonged to the file it was copied from and is cleared; true when it was.
bool ClearForeignCertificate(uint8_t* image, int64_t size);

} // namespace core
