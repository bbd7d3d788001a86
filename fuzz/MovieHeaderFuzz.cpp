// The movie header reader behind the preview's file details and the check of every movie that
// goes into an installer: SWF (plain, zlib and LZMA) and FLV with its metadata and tags.
#include "FuzzSupport.h"
#include "core/MovieInfoUnit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    rtl::TMemoryView source(data, static_cast<int64_t>(size));
    const core::TMovieInfo info = core::TMovieInfo::ReadFrom(source);
    const std::string summary = info.Summary();
    info.Warning();
    using TKind = core::TMovieInfo::TKind;
    if (info.Kind == TKind::Unknown || info.Kind == TKind::Damaged)
        fuzz::Require(!summary.empty(), "an unusable file is described");
    fuzz::Require((info.Fault == core::TMovieInfo::TFault::None) == info.FaultText().empty(),
                  "every fault is told");
    return 0;
}
