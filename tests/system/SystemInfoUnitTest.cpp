#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include <windows.h>

#include <shlobj.h>

#include "TestSupport.h"
#include "rtl/Errors.h"
#include "rtl/StringList.h"
#include "rtl/TextUtils.h"
#include "system/Handle.h"
#include "system/MessagePump.h"
#include "system/SystemInfoUnit.h"
#include "tests/TestFiles.h"

namespace {

using sys::TSystemInfo;

class TFakeApplication : public sys::IHandleProvider {
public:
    explicit TFakeApplication(HWND window = nullptr) : window_(window) {}
    HWND Handle() const override {
        ++asked;
        return window_;
    }

    mutable int asked = 0;

private:
    HWND window_;
};

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string ShellFolder(int csidl) {
    return TSystemInfo().GetCacheDirectory(csidl, TFakeApplication());
}

TEST(GetTempDirectory, EndsWithSeparatorAndNamesAFolder) {
    const std::string temp = TSystemInfo().GetTempDirectory();
    ASSERT_TRUE(EndsWith(temp, "\\")) << temp;
    EXPECT_FALSE(EndsWith(temp, "\\\\")) << temp;
    const DWORD attributes = GetFileAttributesA(temp.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << temp;
    EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST(GetTempDirectory, NameAppendedDirectlyLandsInside) {
    const std::string temp = TSystemInfo().GetTempDirectory();
    const std::string name = "muravel scratch " + std::to_string(GetCurrentProcessId());
    {
        const sys::TFileHandle file(CreateFileA((temp + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file.Valid());
    }
    WIN32_FIND_DATAA entry;
    const sys::TFindHandle search(FindFirstFileA((temp + "*").c_str(), &entry));
    bool found = false;
    if (search.Valid())
        do
            found = found || name == entry.cFileName;
        while (FindNextFileA(search.Get(), &entry));
    DeleteFileA((temp + name).c_str());
    EXPECT_TRUE(found);
}

TEST(GetTempDirectory, EqualsTempFolderKind) {
    EXPECT_EQ(TSystemInfo().GetSystemPath(19), TSystemInfo().GetTempDirectory());
}

TEST(GetWindowsPath, IsTheWindowsFolderWithOneSeparatorAppended) {
    const std::string windows = ShellFolder(CSIDL_WINDOWS);
    ASSERT_FALSE(windows.empty());
    // Wine's and a usual Windows folder sit below a drive's root, so the platform's text has no
    // "\" of its own at the end.
    ASSERT_FALSE(EndsWith(windows, "\\")) << windows;
    EXPECT_EQ(TSystemInfo().GetWindowsPath(), windows + "\\");
}

bool IniFileIsMapped() {
    sys::TRegKey key;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                         "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\IniFileMapping\\"
                         "system.ini\\boot",
                         0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

// Works on the real system.ini of the Windows folder, so every test puts the [boot] key back
// as it found it.
class SetDefaultScreensaver : public ::testing::Test {
protected:
    void SetUp() override {
        hadKey_ = ReadValue("<absent>") != "<absent>" || ReadValue("<other>") != "<other>";
        original_ = ReadValue("");
        char keys[4096] = {};
        hadSection_ =
            GetPrivateProfileSectionA("boot", keys, sizeof keys, ini_.c_str()) > 0 || hadKey_;
        saver_ = folder_.AddFile("Muravel Screen Saver Test.scr");
    }

    void TearDown() override {
        if (hadKey_)
            WritePrivateProfileStringA("boot", Key, original_.c_str(), ini_.c_str());
        else if (hadSection_)
            WritePrivateProfileStringA("boot", Key, nullptr, ini_.c_str());
        else
            WritePrivateProfileStringA("boot", nullptr, nullptr, ini_.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini_.c_str());
    }

    std::string ReadValue(const char* fallback) const {
        char value[1024] = {};
        GetPrivateProfileStringA("boot", Key, fallback, value, sizeof value, ini_.c_str());
        return value;
    }

    static constexpr const char* Key = "SCRNSAVE.EXE";
    const std::string ini_ = TSystemInfo().GetWindowsPath() + "system.ini";
    testfiles::TempFolder folder_;
    std::string saver_;
    std::string missing_ = folder_ / "No Such Saver.scr";
    bool hadKey_ = false;
    bool hadSection_ = false;
    std::string original_;
};

TEST_F(SetDefaultScreensaver, WritesShortFormOfTheFile) {
    TSystemInfo().SetDefaultScreensaver(saver_);
    const std::string written = ReadValue("<absent>");
    ASSERT_NE(written, "<absent>");
    EXPECT_EQ(written.find(' '), std::string::npos) << written;
    char longForm[MAX_PATH] = {};
    ASSERT_NE(GetLongPathNameA(written.c_str(), longForm, sizeof longForm), 0u) << written;
    EXPECT_EQ(rtl::UpperCaseAscii(longForm), rtl::UpperCaseAscii(saver_));
}

TEST_F(SetDefaultScreensaver, MissingFileWritesEmptyValue) {
    TSystemInfo().SetDefaultScreensaver(saver_);
    ASSERT_NE(ReadValue(""), "");
    TSystemInfo().SetDefaultScreensaver(missing_);
    EXPECT_EQ(ReadValue("<absent>"), "");
}

// Another program holding system.ini open without sharing makes the write fail. Windows maps
// the [boot] key of system.ini to the registry, where the file's state does not matter; Wine 8
// has no such mapping and writes the file. Running as root under Wine, a read-only attribute
// would not stop the write, so sharing is what this test denies.
TEST_F(SetDefaultScreensaver, UnwritableIniFileRaisesAndKeepsItsContent) {
    if (IniFileIsMapped())
        GTEST_SKIP() << "system.ini [boot] is mapped to the registry here";
    TSystemInfo().SetDefaultScreensaver(saver_);
    const std::string valueBefore = ReadValue("<absent>");
    const std::string contentBefore = testfiles::ReadFile(ini_);
    ASSERT_FALSE(contentBefore.empty());

    std::string message = "no error";
    {
        const sys::TFileHandle lock(CreateFileA(ini_.c_str(), GENERIC_READ, 0, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(lock.Valid());
        try {
            TSystemInfo().SetDefaultScreensaver(missing_);
        } catch (const rtl::EIniFileException& e) {
            message = e.Message;
        }
    }
    EXPECT_EQ(message, "Unable to write to " + TSystemInfo().GetWindowsPath() + "system.ini");
    EXPECT_EQ(testfiles::ReadFile(ini_), contentBefore);
    EXPECT_EQ(ReadValue("<absent>"), valueBefore);
}

class FindAll : public ::testing::Test {
protected:
    void TearDown() override { sys::SetMessageHandler(nullptr); }

    std::vector<std::string> Find(const std::string& directory) const {
        rtl::TStringList list;
        TSystemInfo().FindAll(directory, list);
        return list.Items();
    }

    // The lines below prefix are one unbroken run, as a depth-first search gives them.
    static bool Contiguous(const std::vector<std::string>& lines, const std::string& prefix) {
        const auto below = [&prefix](const std::string& line) {
            return line.compare(0, prefix.size(), prefix) == 0;
        };
        const auto first = std::find_if(lines.begin(), lines.end(), below);
        const auto end = std::find_if_not(first, lines.end(), below);
        return first != lines.end() && std::none_of(end, lines.end(), below);
    }

    testfiles::TempFolder folder_;
    // Without the trailing "\", the form in which FindAll hands folders to itself.
    const std::string dir_ = folder_.Path().substr(0, folder_.Path().size() - 1);
    const std::string root_ = rtl::UpperCaseAscii(dir_);
};

TEST_F(FindAll, ListsEveryFileAsUpperCaseFullPath) {
    folder_.AddFile("Top.txt");
    folder_.AddFolder("Sub");
    folder_.AddFile("Sub\\inner.dat");
    folder_.AddFolder("Sub\\Deeper");
    folder_.AddFile("Sub\\Deeper\\deep");
    folder_.AddFolder("Empty");
    EXPECT_EQ(Sorted(Find(dir_)), Sorted({root_ + "\\TOP.TXT", root_ + "\\SUB\\INNER.DAT",
                                          root_ + "\\SUB\\DEEPER\\DEEP"}));
}

TEST_F(FindAll, OneFileAndOneSubfolderGiveTwoLines) {
    folder_.AddFile("outer.txt");
    folder_.AddFolder("inner");
    folder_.AddFile("inner\\file.txt");
    EXPECT_EQ(Sorted(Find(dir_)), Sorted({root_ + "\\OUTER.TXT", root_ + "\\INNER\\FILE.TXT"}));
}

TEST_F(FindAll, FinishesEachFolderBeforeTheNextEntry) {
    folder_.AddFolder("a");
    folder_.AddFile("a\\1.txt");
    folder_.AddFolder("a\\deep");
    folder_.AddFile("a\\deep\\2.txt");
    folder_.AddFile("a\\deep\\3.txt");
    folder_.AddFile("a\\4.txt");
    folder_.AddFolder("b");
    folder_.AddFile("b\\5.txt");
    folder_.AddFile("b\\6.txt");
    folder_.AddFile("7.txt");
    folder_.AddFile("8.txt");
    const std::vector<std::string> lines = Find(dir_);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_TRUE(Contiguous(lines, root_ + "\\A\\"));
    EXPECT_TRUE(Contiguous(lines, root_ + "\\A\\DEEP\\"));
    EXPECT_TRUE(Contiguous(lines, root_ + "\\B\\"));
}

TEST_F(FindAll, OnlyLettersAToZChangeCase) {
    folder_.AddFile("caf\xC3\xA9 {x~y}_1.txt");
    EXPECT_EQ(Find(dir_), std::vector<std::string>{root_ + "\\CAF\xC3\xA9 {X~Y}_1.TXT"});
}

TEST_F(FindAll, SeesHiddenSystemAndReadOnlyEntries) {
    SetFileAttributesA(folder_.AddFile("hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA(folder_.AddFile("system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesA(folder_.AddFile("readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    folder_.AddFolder("secret");
    folder_.AddFile("secret\\inside.txt");
    SetFileAttributesA((folder_ / "secret").c_str(),
                       FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(Sorted(Find(dir_)),
              Sorted({root_ + "\\HIDDEN.TXT", root_ + "\\SYSTEM.TXT", root_ + "\\READONLY.TXT",
                      root_ + "\\SECRET\\INSIDE.TXT"}));
}

TEST_F(FindAll, AppendsWithoutClearingAndListsTwiceWhenCalledTwice) {
    folder_.AddFile("one.txt");
    folder_.AddFolder("sub");
    folder_.AddFile("sub\\two.txt");
    rtl::TStringList list;
    list.Add("kept line");
    TSystemInfo().FindAll(dir_, list);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Get(0), "kept line");
    TSystemInfo().FindAll(dir_, list);
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(list.Get(3), list.Get(1));
    EXPECT_EQ(list.Get(4), list.Get(2));
}

TEST_F(FindAll, MissingOrEmptyFolderAddsNothing) {
    rtl::TStringList list;
    list.Add("kept line");
    EXPECT_NO_THROW(TSystemInfo().FindAll(dir_ + "\\missing", list));
    EXPECT_NO_THROW(TSystemInfo().FindAll(dir_, list));
    EXPECT_EQ(list.Items(), std::vector<std::string>{"kept line"});
}

TEST_F(FindAll, HandlesWaitingMessagesOnEveryFolderItVisits) {
    folder_.AddFolder("a");
    folder_.AddFolder("a\\b");
    folder_.AddFolder("c");
    folder_.AddFile("a\\b\\file.txt");
    int calls = 0;
    sys::SetMessageHandler([&calls] { ++calls; });
    Find(dir_);
    EXPECT_EQ(calls, 4);
    Find(dir_ + "\\missing");
    EXPECT_EQ(calls, 5);
}

TEST_F(FindAll, DispatchesMessagesWaitingBeforeTheCall) {
    systest::TMessageSink sink;
    sink.Post();
    sink.Post();
    Find(dir_ + "\\missing");
    EXPECT_EQ(sink.Received(), 2);
}

// On Windows the test makes junctions; Wine 8 can make neither junctions nor symbolic links, so
// there the tree comes from the link-tree fixture, whose Unix links Wine shows as folders with
// the reparse-point attribute.
TEST_F(FindAll, DoesNotEnterFolderLinksBackToTheRoot) {
    folder_.AddFile("a.txt");
    folder_.AddFolder("sub");
    folder_.AddFile("sub\\b.txt");
    std::string tree = dir_;
    if (!systest::MakeJunction(tree + "\\loop", tree) ||
        !systest::MakeJunction(tree + "\\sub\\up", tree))
        tree = systest::UnixLinkTree();
    if (tree.empty())
        GTEST_SKIP() << "no way to make a folder link here";
    for (const char* link : {"\\loop", "\\sub\\up"}) {
        const DWORD attributes = GetFileAttributesA((tree + link).c_str());
        ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << tree << link;
        ASSERT_EQ(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT),
                  static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
            << tree << link;
    }
    // Every folder visit passes through the message handler, which stops a search that went
    // into a link before it grows without end.
    int visits = 0;
    sys::SetMessageHandler([&visits] {
        if (++visits > 20)
            throw std::runtime_error("the search went into a folder link");
    });
    std::vector<std::string> lines;
    ASSERT_NO_THROW(lines = Find(tree));
    const std::string upper = rtl::UpperCaseAscii(tree);
    EXPECT_EQ(Sorted(lines), Sorted({upper + "\\A.TXT", upper + "\\SUB\\B.TXT"}));
    EXPECT_EQ(visits, 2);
}

TEST(GetCacheDirectory, GivesThePathWithNothingAppended) {
    const std::string windows = ShellFolder(CSIDL_WINDOWS);
    EXPECT_EQ(windows + "\\", TSystemInfo().GetWindowsPath());
    EXPECT_EQ(ShellFolder(CSIDL_SYSTEM) + "\\", TSystemInfo().GetSystemPath(18));
}

TEST(GetCacheDirectory, AsksTheApplicationForItsWindow) {
    systest::TMessageSink window;
    const TFakeApplication application(window.Handle());
    EXPECT_FALSE(TSystemInfo().GetCacheDirectory(CSIDL_WINDOWS, application).empty());
    EXPECT_GE(application.asked, 1);
}

TEST(GetCacheDirectory, VirtualFolderGivesEmptyString) {
    EXPECT_EQ(ShellFolder(CSIDL_DRIVES), "");
    EXPECT_EQ(ShellFolder(CSIDL_CONTROLS), "");
}

TEST(GetCacheDirectory, UnknownIdGivesEmptyString) {
    EXPECT_EQ(ShellFolder(0x7777), "");
    EXPECT_EQ(ShellFolder(-1), "");
}

TEST(GetSystemPath, WindowsKindMatchesGetWindowsPath) {
    const std::string windows = TSystemInfo().GetWindowsPath();
    // For a Windows folder at a drive's root GetWindowsPath ends with two separators, the kind
    // with one.
    const std::string expected =
        EndsWith(windows, "\\\\") ? windows.substr(0, windows.size() - 1) : windows;
    EXPECT_EQ(TSystemInfo().GetSystemPath(17), expected);
}

TEST(GetSystemPath, SystemDriveKindIsItsRoot) {
    const std::string root = TSystemInfo().GetSystemPath(20);
    ASSERT_EQ(root.size(), 3u) << root;
    EXPECT_TRUE(isalpha(static_cast<unsigned char>(root[0]))) << root;
    EXPECT_EQ(root.substr(1), ":\\");
    EXPECT_EQ(TSystemInfo().GetSystemPath(18).compare(0, 3, root), 0);
    EXPECT_EQ(GetDriveTypeA(root.c_str()), static_cast<UINT>(DRIVE_FIXED));
}

TEST(GetSystemPath, KindsAfterTheTableAreEmpty) {
    for (int kind = 27; kind <= 255; ++kind)
        EXPECT_EQ(TSystemInfo().GetSystemPath(static_cast<sys::TFolderKind>(kind)), "")
            << "kind " << kind;
}

// The shell writes these values when it resolves the folders, so both must agree; a shifted
// or misspelt table entry shows up as a mismatch. Wine's shell gives the documents folder with
// a "\" of its own at the end, which the kind does not double.
TEST(GetSystemPath, UserKindsAreTheShellFolders) {
    const struct {
        int kind;
        int csidl;
    } table[] = {{0, CSIDL_DESKTOPDIRECTORY},
                 {1, CSIDL_STARTMENU},
                 {2, CSIDL_PROGRAMS},
                 {3, CSIDL_STARTUP},
                 {4, CSIDL_PERSONAL},
                 {5, CSIDL_APPDATA},
                 {6, CSIDL_FONTS},
                 {7, CSIDL_SENDTO},
                 {8, CSIDL_RECENT},
                 {9, CSIDL_FAVORITES},
                 {10, CSIDL_INTERNET_CACHE},
                 {11, CSIDL_COOKIES},
                 {12, CSIDL_HISTORY},
                 {13, CSIDL_NETHOOD},
                 {14, CSIDL_PRINTHOOD},
                 {15, CSIDL_TEMPLATES},
                 {16, CSIDL_LOCAL_APPDATA}};
    for (const auto& row : table) {
        const std::string shell = ShellFolder(row.csidl);
        EXPECT_EQ(TSystemInfo().GetSystemPath(static_cast<sys::TFolderKind>(row.kind)),
                  shell.empty() || EndsWith(shell, "\\") ? shell : shell + "\\")
            << "kind " << row.kind;
    }
}

TEST(GetSystemPath, ProgramFolderKindsAreTheShellFolders) {
    EXPECT_EQ(TSystemInfo().GetSystemPath(21), ShellFolder(CSIDL_PROGRAM_FILES) + "\\");
    EXPECT_EQ(TSystemInfo().GetSystemPath(22), ShellFolder(CSIDL_PROGRAM_FILES_COMMON) + "\\");
}

// Wine 8 stores neither ConfigPath, DevicePath, MediaPath nor WallPaperDir, so there kinds 23 to
// 26 show the missing-value rule; on Windows DevicePath is REG_EXPAND_SZ "%SystemRoot%\inf" and
// shows that the text is not expanded.
TEST(GetSystemPath, MachineKindsGiveStoredTextUnexpandedOrEmpty) {
    const char* const names[] = {"ProgramFilesDir", "CommonFilesDir", "ConfigPath",
                                 "DevicePath",      "MediaPath",      "WallPaperDir"};
    for (int i = 0; i < 6; ++i) {
        char stored[1024] = {};
        DWORD size = sizeof stored;
        const LONG status = RegGetValueA(
            HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", names[i],
            RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, stored, &size);
        const std::string text = status == ERROR_SUCCESS ? stored : "";
        const std::string expected = text.empty() || EndsWith(text, "\\") ? text : text + "\\";
        EXPECT_EQ(TSystemInfo().GetSystemPath(static_cast<sys::TFolderKind>(21 + i)), expected)
            << names[i];
    }
}

TEST(GetSystemPath, EveryResultIsEmptyOrEndsWithOneSeparator) {
    for (int kind = 0; kind <= 26; ++kind) {
        const std::string path = TSystemInfo().GetSystemPath(static_cast<sys::TFolderKind>(kind));
        EXPECT_TRUE(path.empty() || (EndsWith(path, "\\") && !EndsWith(path, "\\\\")))
            << "kind " << kind << ": " << path;
    }
}

} // namespace
