#include <gtest/gtest.h>

#include "StubTestSupport.h"
#include "core/PeImage.h"
#include "stub/UninstallRecord.h"

namespace {

stub::TUninstallRecord Sample() {
    stub::TUninstallRecord record;
    record.Title = "Blue Lagoon";
    record.Key = "{00000000-1111-2222-3333-444444444444}";
    record.Folder = "C:\\Users\\me\\AppData\\Local\\Zenvoy Muravel\\Wallpapers\\x";
    record.Files = {"lagoon.swf", "wallpaper.html", "LivelyInfo.json", "uninstall.exe"};
    return record;
}

std::string DamageOf(const std::string& text) {
    try {
        stub::TUninstallRecord::FromText(text);
    } catch (const wallpaper::EDamaged& damage) {
        return damage.Message;
    }
    return "";
}

} // namespace

TEST(UninstallRecord, TextRoundTrips) {
    const stub::TUninstallRecord back = stub::TUninstallRecord::FromText(Sample().ToText());
    EXPECT_EQ(back.Title, Sample().Title);
    EXPECT_EQ(back.Key, Sample().Key);
    EXPECT_EQ(back.Folder, Sample().Folder);
    EXPECT_EQ(back.Files, Sample().Files);
}

TEST(UninstallRecord, ARecordIsUtf8AndOneOfAnEarlierInstallerIsReadInTheSystemCodePage) {
    stub::TUninstallRecord record = Sample();
    record.Title = "Caf\xC3\xA9 \xE6\xA3\xAE";
    record.Folder = "C:\\\xD0\x9F\xD1\x80\xD0\xB8\\x";
    const std::string text = record.ToText();
    EXPECT_NE(text.find("Encoding=UTF-8\r\nTitle=Caf\xC3\xA9 \xE6\xA3\xAE\r\n"), std::string::npos);
    EXPECT_EQ(stub::TUninstallRecord::FromText(text).Folder, record.Folder);

    // As installers wrote records before: no encoding, text in code page 1252.
    const stub::TUninstallRecord earlier = stub::TUninstallRecord::FromText(
        "[Uninstall]\r\nTitle=Caf\xE9\r\nKey=k\r\nFolder=C:\\Caf\xE9\r\nCount=1\r\n"
        "File0=caf\xE9.swf\r\n");
    EXPECT_EQ(earlier.Title, "Caf\xC3\xA9");
    EXPECT_EQ(earlier.Folder, "C:\\Caf\xC3\xA9");
    EXPECT_EQ(earlier.Files, std::vector<std::string>{"caf\xC3\xA9.swf"});
}

TEST(UninstallRecord, ARecordCannotReachOutsideItsFolder) {
    for (const char* name : {"..\\..\\Windows\\win.ini", "..", "C:\\boot.ini", "a/b", "con"}) {
        stub::TUninstallRecord record = Sample();
        record.Files.push_back(name);
        EXPECT_NE(DamageOf(record.ToText()), "") << name;
    }
    stub::TUninstallRecord badKey = Sample();
    badKey.Key = "..\\Run";
    EXPECT_NE(DamageOf(badKey.ToText()), "");
    EXPECT_NE(DamageOf(""), "");
    EXPECT_NE(DamageOf("[Uninstall]\r\nKey=k\r\nFolder=C:\\x\r\nCount=1000\r\n"), "");
    EXPECT_NE(DamageOf("[Uninstall]\r\nKey=k\r\nCount=0\r\n"), "");
    EXPECT_EQ(DamageOf("[Uninstall]\r\nKey=k\r\nFolder=C:\\x\r\nCount=0\r\n"), "");

    // A copy is the key's folder in Lively's library or among Wallpaper Engine's projects.
    const std::string key = Sample().Key;
    const struct {
        std::string copy;
        bool taken;
    } copies[] = {
        {"C:\\Lively\\Library\\wallpapers\\" + key, true},
        {"D:\\Steam\\steamapps\\common\\wallpaper_engine\\projects\\myprojects\\" + key, true},
        {"D:\\Steam\\projects\\" + key, false},
        {"C:\\" + key, false},
        {"C:\\Lively\\wallpapers\\other", false},
        {"C:\\Lively\\myprojects\\..\\" + key, false},
    };
    for (const auto& c : copies) {
        stub::TUninstallRecord record = Sample();
        record.Copies = {c.copy};
        EXPECT_EQ(DamageOf(record.ToText()).empty(), c.taken) << c.copy;
    }
}

TEST(UninstallRecord, UninstallerIsTheStubWithTheRecordInside) {
    const std::string stubBytes = "MZ" + stubtest::RandomBytes(5000, 3);
    const std::string image =
        stub::UninstallerImage(reinterpret_cast<const uint8_t*>(stubBytes.data()),
                               static_cast<int64_t>(stubBytes.size()), Sample());
    EXPECT_EQ(image.substr(0, stubBytes.size()), stubBytes);
    const wallpaper::TPackedImage packed(reinterpret_cast<const uint8_t*>(image.data()),
                                         static_cast<int64_t>(image.size()));
    EXPECT_TRUE(stub::IsUninstallerImage(packed));
    EXPECT_EQ(stub::ReadUninstallRecord(packed).Files, Sample().Files);
}

TEST(UninstallRecord, AnInstallerIsNotAnUninstaller) {
    const std::string installer = stubtest::Container({"MZ", "a", "b"});
    const wallpaper::TPackedImage packed(reinterpret_cast<const uint8_t*>(installer.data()),
                                         static_cast<int64_t>(installer.size()));
    EXPECT_FALSE(stub::IsUninstallerImage(packed));
    EXPECT_THROW(stub::ReadUninstallRecord(packed), wallpaper::EDamaged);
}

TEST(UninstallRecord, CertificateOfTheSignedInstallerIsDroppedFromTheUninstaller) {
    // A stub whose header carries the certificate entry a signing tool wrote for the whole
    // installer, pointing far beyond the stub's own end.
    std::string stubBytes(1024, '\0');
    stubBytes[0] = 'M';
    stubBytes[1] = 'Z';
    stubtest::PutLe32(stubBytes, 0x3C, 0x40);
    stubBytes.replace(0x40, 4, std::string("PE\0\0", 4));
    stubBytes[0x40 + 20] = static_cast<char>(240);
    stubBytes[0x58] = 0x0B;
    stubBytes[0x59] = 2;
    stubtest::PutLe32(stubBytes, 0x58 + 108, 16);
    const size_t entry = stubtest::SecurityEntryAt(stubBytes);
    stubtest::PutLe32(stubBytes, entry, 50000);
    stubtest::PutLe32(stubBytes, entry + 4, 2000);

    const std::string image =
        stub::UninstallerImage(reinterpret_cast<const uint8_t*>(stubBytes.data()),
                               static_cast<int64_t>(stubBytes.size()), Sample());
    EXPECT_EQ(testfiles::Le32At(image, entry), 0u);
    EXPECT_EQ(testfiles::Le32At(image, entry + 4), 0u);
    EXPECT_EQ(image.substr(0, entry), stubBytes.substr(0, entry));
}
