// The uninstaller's record of what it installed, read from its text: any record it accepts
// is one it can write and read back unchanged.
#include "FuzzSupport.h"
#include "stub/UninstallRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    stub::TUninstallRecord record;
    try {
        record = stub::TUninstallRecord::FromText(fuzz::Text(data, size));
    } catch (const wallpaper::EDamaged&) {
        return 0;
    }
    const stub::TUninstallRecord again = stub::TUninstallRecord::FromText(record.ToText());
    fuzz::Require(again.Title == record.Title && again.Key == record.Key &&
                      again.Folder == record.Folder && again.Files == record.Files &&
                      again.Copies == record.Copies,
                  "an uninstall record written and read back is the same");
    return 0;
}
