#include "UninstallRecord.h"

#include "core/PeImage.h"
#include "SafeNames.h"
#include "core/CompileUnit.h"
#include "rtl/IniFile.h"
#include "rtl/Streams.h"
#include "rtl/TextUtils.h"

namespace stub {

namespace {

const char* const Section = "Uninstall";
// Far more than an installer writes; a larger count is not a record of ours.
constexpr int32_t MaxFiles = 64;

} // namespace

std::string TUninstallRecord::ToText() const {
    rtl::TMemIniFile ini("");
    ini.WriteString(Section, "Title", Title);
    ini.WriteString(Section, "Key", Key);
    ini.WriteString(Section, "Folder", Folder);
    ini.WriteInteger(Section, "Count", static_cast<int32_t>(Files.size()));
    for (size_t i = 0; i < Files.size(); ++i)
        ini.WriteString(Section, "File" + rtl::IntToStr(static_cast<int64_t>(i)), Files[i]);
    return ini.Text();
}

TUninstallRecord TUninstallRecord::FromText(const std::string& text) {
    rtl::TMemIniFile ini("");
    ini.SetText(text);
    TUninstallRecord record;
    record.Title = ini.ReadString(Section, "Title", "");
    record.Key = ini.ReadString(Section, "Key", "");
    record.Folder = ini.ReadString(Section, "Folder", "");
    const int32_t count = ini.ReadInteger(Section, "Count", -1);
    if (record.Folder.empty() || record.Key.empty() || SafeFileName(record.Key) != record.Key ||
        count < 0 || count > MaxFiles)
        throw EDamaged("Its list of installed files is not readable.");
    for (int32_t i = 0; i < count; ++i) {
        const std::string name = ini.ReadString(Section, "File" + rtl::IntToStr(i), "");
        if (name.empty() || SafeFileName(name) != name)
            throw EDamaged("Its list of installed files names \"" + name +
                           "\", which is not a file of its folder.");
        record.Files.push_back(name);
    }
    return record;
}

bool IsUninstallerImage(const TPackedImage& image) {
    return image.Count() == 2;
}

TUninstallRecord ReadUninstallRecord(const TPackedImage& image) {
    if (!IsUninstallerImage(image))
        throw EDamaged("It holds " + rtl::IntToStr(image.Count()) +
                       " parts, where an uninstaller holds 2.");
    return TUninstallRecord::FromText(image.InflateToString(1, "The list of installed files"));
}

std::string UninstallerImage(const uint8_t* stub, int64_t size, const TUninstallRecord& record) {
    rtl::TMemoryStream program;
    program.WriteBuffer(stub, size);
    core::ClearForeignCertificate(program.Memory(), program.Size());
    rtl::TMemoryStream list;
    const std::string text = record.ToText();
    list.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    core::TCompileStream writer;
    writer.AddStream(program, false);
    writer.AddStream(list, true);
    return writer.Compile().ToString();
}

} // namespace stub
