#include <gtest/gtest.h>

#include <string>

#include <windows.h>

#include <sddl.h>

#include "rtl/Errors.h"
#include "rtl/Guid.h"
#include "system/Handle.h"
#include "system/RegistryReader.h"

namespace {

const char TestRoot[] = "Software\\Zenvoy Muravel Tests";

bool KeyExists(const std::string& path) {
    sys::TRegKey key;
    return RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Receive()) ==
           ERROR_SUCCESS;
}

// A key of the test's own below the current user's key, holding one value of each kind the
// reader must tell apart; removed with its values afterwards.
class RegistryReader : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, key_.Receive(), nullptr),
                  ERROR_SUCCESS);
        SetRaw("Plain", REG_SZ, std::string("C:\\Plain Folder", 16));
        SetRaw("Expand", REG_EXPAND_SZ, std::string("%SystemRoot%\\inf", 17));
        SetRaw("Embedded", REG_SZ, std::string("first\0second\0", 13));
        SetRaw("Unterminated", REG_SZ, "no zero at the end");
        SetRaw("Empty", REG_SZ, std::string(1, '\0'));
        SetRaw("Long", REG_SZ, std::string(3000, 'x') + '\0');
        const DWORD number = 0x5C3A43;
        SetRaw("Dword", REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4));
        SetRaw("Multi", REG_MULTI_SZ, std::string("C:\\one\0C:\\two\0\0", 16));
        SetRaw("Binary", REG_BINARY, "C:\\bytes");
        SetRaw("None", REG_NONE, "");
        SetRaw("Qword", REG_QWORD, std::string(8, '\x41'));
    }

    void TearDown() override {
        key_.Reset();
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
        // Fails while another run still has its key there, which is what it should do.
        RegDeleteKeyA(HKEY_CURRENT_USER, TestRoot);
    }

    void SetRaw(const char* name, DWORD type, const std::string& bytes) {
        ASSERT_EQ(RegSetValueExA(key_.Get(), name, 0, type,
                                 reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }

    std::string Read(const std::string& name) {
        sys::TRegistryReader reader;
        EXPECT_TRUE(reader.OpenKeyReadOnly(HKEY_CURRENT_USER, path_));
        return reader.ReadString(name);
    }

    static std::string ReadError(sys::TRegistryReader& reader, const std::string& name) {
        try {
            reader.ReadString(name);
        } catch (const rtl::ERegistryException& e) {
            return e.Message;
        }
        return "no error";
    }

    const std::string path_ = std::string(TestRoot) + "\\" + rtl::NewGuidText();
    sys::TRegKey key_;
};

TEST_F(RegistryReader, StringTypesGiveTheirText) {
    EXPECT_EQ(Read("Plain"), "C:\\Plain Folder");
    EXPECT_EQ(Read("Long"), std::string(3000, 'x'));
    EXPECT_EQ(Read("Empty"), "");
}

TEST_F(RegistryReader, ExpandStringComesBackAsStored) {
    EXPECT_EQ(Read("Expand"), "%SystemRoot%\\inf");
}

TEST_F(RegistryReader, TextEndsAtTheFirstZero) {
    EXPECT_EQ(Read("Embedded"), "first");
}

TEST_F(RegistryReader, TextWithoutZeroIsTakenWhole) {
    EXPECT_EQ(Read("Unterminated"), "no zero at the end");
}

TEST_F(RegistryReader, MissingValueGivesEmptyString) {
    EXPECT_EQ(Read("No Such Value"), "");
}

TEST_F(RegistryReader, EveryOtherTypeRaisesAndNamesTheValue) {
    sys::TRegistryReader reader;
    ASSERT_TRUE(reader.OpenKeyReadOnly(HKEY_CURRENT_USER, path_));
    for (const char* name : {"Dword", "Multi", "Binary", "None", "Qword"})
        EXPECT_EQ(ReadError(reader, name), std::string("Invalid data type for '") + name + "'");
}

TEST_F(RegistryReader, ErrorLeavesValueAndReaderUsable) {
    sys::TRegistryReader reader;
    ASSERT_TRUE(reader.OpenKeyReadOnly(HKEY_CURRENT_USER, path_));
    EXPECT_THROW(reader.ReadString("Dword"), rtl::ERegistryException);
    EXPECT_EQ(reader.ReadString("Plain"), "C:\\Plain Folder");
    DWORD number = 0;
    DWORD size = sizeof number;
    DWORD type = REG_NONE;
    ASSERT_EQ(RegQueryValueExA(key_.Get(), "Dword", nullptr, &type,
                               reinterpret_cast<BYTE*>(&number), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(number, 0x5C3A43u);
}

TEST_F(RegistryReader, MissingKeyReadsEmptyAndIsNotCreated) {
    const std::string missing = path_ + "\\Missing";
    sys::TRegistryReader reader;
    EXPECT_FALSE(reader.OpenKeyReadOnly(HKEY_CURRENT_USER, missing));
    EXPECT_EQ(reader.ReadString("Plain"), "");
    EXPECT_FALSE(KeyExists(missing));
}

TEST_F(RegistryReader, FailedOpenLeavesNoEarlierKeyBehind) {
    sys::TRegistryReader reader;
    ASSERT_TRUE(reader.OpenKeyReadOnly(HKEY_CURRENT_USER, path_));
    EXPECT_FALSE(reader.OpenKeyReadOnly(HKEY_CURRENT_USER, path_ + "\\Missing"));
    EXPECT_EQ(reader.ReadString("Plain"), "");
}

TEST_F(RegistryReader, NothingOpenReadsEmpty) {
    sys::TRegistryReader reader;
    EXPECT_EQ(reader.ReadString("Plain"), "");
    ASSERT_TRUE(reader.OpenKeyReadOnly(HKEY_CURRENT_USER, path_));
    reader.CloseKey();
    EXPECT_EQ(reader.ReadString("Plain"), "");
}

// A key that everyone may read but not change, as the machine's keys are for a standard user.
// Wine checks no access rights on registry keys, so there this only shows that the read works;
// on Windows a reader asking for write access would get nothing.
TEST_F(RegistryReader, ReadsKeyThatMayNotBeWritten) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
        "D:P(A;;KR;;;WD)(A;;SD;;;WD)", SDDL_REVISION_1, &descriptor, nullptr));
    SECURITY_ATTRIBUTES security = {sizeof security, descriptor, FALSE};
    const std::string guarded = path_ + "\\Guarded";
    sys::TRegKey key;
    const LONG created = RegCreateKeyExA(HKEY_CURRENT_USER, guarded.c_str(), 0, nullptr, 0,
                                         KEY_SET_VALUE, &security, key.Receive(), nullptr);
    LocalFree(descriptor);
    ASSERT_EQ(created, ERROR_SUCCESS);
    const std::string text("C:\\Guarded", 11);
    ASSERT_EQ(RegSetValueExA(key.Get(), "Folder", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(text.data()),
                             static_cast<DWORD>(text.size())),
              ERROR_SUCCESS);
    key.Reset();

    sys::TRegistryReader reader;
    ASSERT_TRUE(reader.OpenKeyReadOnly(HKEY_CURRENT_USER, guarded));
    EXPECT_EQ(reader.ReadString("Folder"), "C:\\Guarded");
    reader.CloseKey();
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, guarded.c_str()), ERROR_SUCCESS);
}

} // namespace
