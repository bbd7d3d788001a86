// The INI reader behind projects and uninstall records, and the integer and colour text its
// values are read with.
#include "FuzzSupport.h"
#include "core/Colors.h"
#include "rtl/Errors.h"
#include "rtl/IniFile.h"
#include "rtl/TextUtils.h"

namespace {

void CheckNumbers(const std::string& text) {
    int32_t value;
    if (rtl::TryStrToInt(text, value)) {
        int32_t again = 0;
        fuzz::Require(rtl::TryStrToInt(rtl::IntToStr(value), again) && again == value,
                      "an integer read back from its text is the same");
    }
    try {
        const core::TColor color = core::StringToColor(text);
        fuzz::Require(core::StringToColor(core::ColorToString(color)) == color,
                      "a colour read back from its text is the same");
    } catch (const rtl::EConvertError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = fuzz::Text(data, size);
    rtl::TMemIniFile ini("");
    ini.SetText(text);
    const std::string written = ini.Text();
    rtl::TMemIniFile again("");
    again.SetText(written);
    fuzz::Require(again.Text() == written, "an INI document written and read back is the same");
    ini.ReadInteger("FlashFiles", "Count", 0);
    ini.ReadBool("Settings", "Loop", false);
    ini.ReadString("MetaData", "GUID", "");

    // The number readers take one value each; the first lines are plenty to vary them.
    const std::vector<std::string> lines = rtl::Split(text, '\n');
    for (size_t i = 0; i < lines.size() && i < 16; ++i)
        CheckNumbers(lines[i]);
    return 0;
}
