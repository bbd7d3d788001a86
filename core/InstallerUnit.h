#pragma once

#include <cstdint>
#include <string>

namespace core {

class TProject;

// The installer format: a packed stream container of these entries, in this order, 3 for a
// Flash movie and 5 for a Flash video. The stub (raw) is copied unchanged, so the installer
// begins with it and its directory is the last bytes of the file; the others are compressed.
constexpr int32_t StubEntry = 0;
constexpr int32_t ProjectEntry = 1;
constexpr int32_t MovieEntry = 2;
constexpr int32_t PlayerEntry = 3; // FLVPlayer.swf, a video's only
constexpr int32_t ScriptEntry = 4; // swfobject.js, a video's only
constexpr int32_t MovieEntryCount = 3;
constexpr int32_t VideoEntryCount = 5;

// The program's sibling files, found by name in its folder.
constexpr const char* StubFileName = "installer.dat";
constexpr const char* PlayerFileName = "FLVPlayer.swf";
constexpr const char* ScriptFileName = "swfobject.js";
constexpr const char* PreviewPlayerFileName = "nsFLVPlayer.dat";
constexpr const char* TemplateFileName = "blankProject";
constexpr const char* HelpFileName = "Muravel.chm";

// A movie is a Flash video when the extension of its path, lower-cased, is ".flv"; anything
// else is handled as a Flash movie.
bool IsVideoPath(const std::string& path);

// The project the main window would save for a generation after opening source and choosing
// output: every setting of source, its first movie as the only one, the output path, and for a
// video the loop setting cleared, as showing a video clears it.
void CopyAsOpened(const TProject& source, const std::string& output, TProject& target);

} // namespace core
