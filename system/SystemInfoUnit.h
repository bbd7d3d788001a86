#pragma once

#include <cstdint>
#include <string>

#include "rtl/StringList.h"
#include "system/HandleProvider.h"

namespace sys {

// Selects what GetSystemPath returns: 0 to 16 the user's shell folders, 17 to 20 folders the
// platform names, 21 to 26 the machine's folders, anything above nothing.
using TFolderKind = uint8_t;

// Answers questions about the Windows installation the program runs on. It holds no state, so
// any instance will do; callers make one for a call.
class TSystemInfo {
public:
    // The user's temporary directory, ending with "\", so a name appended directly lands
    // inside it.
    std::string GetTempDirectory() const;

    // The Windows directory followed by "\", even when the platform's text already ends with
    // one (a Windows directory at a drive's root).
    std::string GetWindowsPath() const;

    // Writes the short form of fileName ("" when the platform gives none, e.g. for a missing
    // file) as SCRNSAVE.EXE in the [boot] section of system.ini in the Windows directory, then
    // flushes the platform's cache of that file. Raises EIniFileException "Unable to write to
    // <ini path>" when the write fails, leaving the file as it was.
    void SetDefaultScreensaver(const std::string& fileName) const;

    // Appends to list the full path of every file at any depth below directory (given without
    // a trailing "\"), letters a to z upper-cased, depth first in the platform's order.
    // Directories add no line; hidden and system entries are seen; folder links (junctions,
    // directory symbolic links) are neither listed nor entered, so a link to an ancestor
    // cannot make the search endless. A folder that cannot be listed adds nothing. Handles
    // the waiting window messages at the start of every folder it visits, so the caller's
    // other event handlers may run in the middle of a search.
    void FindAll(const std::string& directory, rtl::TStringList& list) const;

    // The file-system path of a shell special folder (a CSIDL number), nothing appended; ""
    // for an id the shell does not know or a virtual folder without a path.
    std::string GetCacheDirectory(int32_t folderId, const IHandleProvider& application) const;

    // The folder of the given kind, ending with "\" unless it is empty. Missing keys and
    // values give ""; a value that is not a string raises ERegistryException "Invalid data
    // type for '<name>'". Keys are only read, never created.
    std::string GetSystemPath(TFolderKind kind) const;
};

} // namespace sys
