#include "UninstallRecord.h"

#include <algorithm>

#include "core/CompileUnit.h"
#include "core/PeImage.h"
#include "rtl/CodePage.h"
#include "rtl/IniFile.h"
#include "rtl/Streams.h"
#include "rtl/TextUtils.h"
#include "wallpaper/SafeNames.h"

namespace stub {

namespace {

const char* const Section = "Uninstall";
const char* const Utf8 = "UTF-8";
// Far more than an installer writes; a larger count is not a record of ours.
constexpr int32_t MaxFiles = 64;
constexpr int32_t MaxCopies = 8;

// A full path (drive or network share) of plain names that ends with key in a players' library:
// "\wallpapers\" (Lively's) or "\myprojects\" (Wallpaper Engine's).
bool IsLibraryFolder(const std::string& path, const std::string& key) {
    const bool drive = path.size() > 3 && path[1] == ':' && path[2] == '\\';
    const bool share = path.size() > 2 && path[0] == '\\' && path[1] == '\\';
    if (!drive && !share)
        return false;
    std::vector<std::string> names;
    for (size_t start = drive ? 3 : 2; start <= path.size();) {
        const size_t end = std::min(path.find('\\', start), path.size());
        const std::string name = path.substr(start, end - start);
        if (name.empty() || wallpaper::SafeFileName(name) != name)
            return false;
        names.push_back(name);
        start = end + 1;
    }
    return names.size() >= 2 && names.back() == key &&
           (rtl::SameTextAscii(names[names.size() - 2], "wallpapers") ||
            rtl::SameTextAscii(names[names.size() - 2], "myprojects"));
}

} // namespace

std::string TUninstallRecord::ToText() const {
    rtl::TMemIniFile ini("");
    ini.WriteString(Section, "Encoding", Utf8);
    ini.WriteString(Section, "Title", rtl::NativeToUtf8(Title));
    ini.WriteString(Section, "Key", rtl::NativeToUtf8(Key));
    ini.WriteString(Section, "Folder", rtl::NativeToUtf8(Folder));
    ini.WriteInteger(Section, "Count", static_cast<int32_t>(Files.size()));
    for (size_t i = 0; i < Files.size(); ++i)
        ini.WriteString(Section, "File" + rtl::IntToStr(static_cast<int64_t>(i)),
                        rtl::NativeToUtf8(Files[i]));
    ini.WriteInteger(Section, "Copies", static_cast<int32_t>(Copies.size()));
    for (size_t i = 0; i < Copies.size(); ++i)
        ini.WriteString(Section, "Copy" + rtl::IntToStr(static_cast<int64_t>(i)),
                        rtl::NativeToUtf8(Copies[i]));
    return ini.Text();
}

TUninstallRecord TUninstallRecord::FromText(const std::string& text) {
    rtl::TMemIniFile ini("");
    ini.SetText(text);
    // Installers before the UTF-8 records wrote theirs in the system's code page.
    const bool utf8 = ini.ReadString(Section, "Encoding", "") == Utf8;
    const rtl::TCodePage system = rtl::TCodePage::System();
    const auto read = [&](const std::string& name) {
        const std::string value = ini.ReadString(Section, name, "");
        return utf8 ? rtl::Utf8ToNative(value) : system.ToNative(value);
    };
    TUninstallRecord record;
    record.Title = read("Title");
    record.Key = read("Key");
    record.Folder = read("Folder");
    const int32_t count = ini.ReadInteger(Section, "Count", -1);
    if (record.Folder.empty() || record.Key.empty() ||
        wallpaper::SafeFileName(record.Key) != record.Key || count < 0 || count > MaxFiles)
        throw wallpaper::EDamaged("Its list of installed files is not readable.");
    for (int32_t i = 0; i < count; ++i) {
        const std::string name = read("File" + rtl::IntToStr(i));
        if (name.empty() || wallpaper::SafeFileName(name) != name)
            throw wallpaper::EDamaged("Its list of installed files names \"" + name +
                                      "\", which is not a file of its folder.");
        record.Files.push_back(name);
    }
    const int32_t copies = ini.ReadInteger(Section, "Copies", 0);
    if (copies < 0 || copies > MaxCopies)
        throw wallpaper::EDamaged("Its list of installed files is not readable.");
    for (int32_t i = 0; i < copies; ++i) {
        const std::string copy = read("Copy" + rtl::IntToStr(i));
        if (!IsLibraryFolder(copy, record.Key))
            throw wallpaper::EDamaged("Its list of installed files names \"" + copy +
                                      "\", which is not a library's folder of this wallpaper.");
        record.Copies.push_back(copy);
    }
    return record;
}

bool IsUninstallerImage(const wallpaper::TPackedImage& image) {
    return image.Count() == 2;
}

TUninstallRecord ReadUninstallRecord(const wallpaper::TPackedImage& image) {
    if (!IsUninstallerImage(image))
        throw wallpaper::EDamaged("It holds " + rtl::IntToStr(image.Count()) +
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
    // The record is small: the installer carries no threads.
    core::TCompileStream writer(rtl::DeflateWhole);
    writer.AddStream(program, false);
    writer.AddStream(list, true);
    return writer.Compile().ToString();
}

} // namespace stub
