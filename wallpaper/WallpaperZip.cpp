// Apart from the rest of the folder: the installer writes no .zip and carries none of it.
#include "WallpaperFolder.h"
#include "rtl/ZipWriter.h"

namespace wallpaper {

void TWallpaperFolder::WriteZipTo(rtl::TStream& out) const {
    rtl::TZipWriter zip(out);
    for (const TFile& file : files_)
        zip.Add(file.Name, file.Write);
    zip.Finish();
}

} // namespace wallpaper
