#include "StubRunner.h"
#include "host/HostControl.h"
#include "stub/DesktopWallpaper.h"

using stubrun::Eventually;

namespace {

// The installer started with its window; stopped at the end if it is still running.
class TWindowedInstaller {
public:
    TWindowedInstaller(const std::string& installer, const std::string& arguments) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string command = "\"" + installer + "\" " + arguments;
        if (!CreateProcessA(installer.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &process_))
            ADD_FAILURE() << "cannot start " << command;
    }
    ~TWindowedInstaller() {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    TWindowedInstaller(const TWindowedInstaller&) = delete;
    TWindowedInstaller& operator=(const TWindowedInstaller&) = delete;

    // The installer's visible top-level window with this caption.
    HWND Window(const std::string& caption) const {
        HWND found = nullptr;
        Eventually([&] {
            found = FindWindowA(nullptr, caption.c_str());
            DWORD owner = 0;
            if (found != nullptr)
                GetWindowThreadProcessId(found, &owner);
            return found != nullptr && owner == process_.dwProcessId && IsWindowVisible(found);
        });
        return found;
    }

    DWORD ExitCode() const {
        EXPECT_TRUE(
            Eventually([&] { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }));
        DWORD code = 99;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION process_{};
};

// A child control by class and caption, or null.
HWND Child(HWND window, const char* className, const std::string& caption) {
    struct TSearch {
        const char* className;
        const std::string& caption;
        HWND found;
    } search{className, caption, nullptr};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM parameter) -> BOOL {
            auto& s = *reinterpret_cast<TSearch*>(parameter);
            char name[64], text[256];
            GetClassNameA(child, name, sizeof name);
            GetWindowTextA(child, text, sizeof text);
            if (lstrcmpiA(name, s.className) == 0 && s.caption == text) {
                s.found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// An edit control keeps its text to itself, so another process asks for it with a message.
std::string Text(HWND control) {
    char text[1024];
    const LRESULT n =
        SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return std::string(text, static_cast<size_t>(n));
}

// The text of a message box: its first static control that has any (the icon has none).
std::string MessageText(HWND box) {
    for (HWND label = FindWindowExA(box, nullptr, "Static", nullptr); label != nullptr;
         label = FindWindowExA(box, label, "Static", nullptr))
        if (!Text(label).empty())
            return Text(label);
    return "";
}

void Click(HWND button) {
    SendMessageA(button, BM_CLICK, 0, 0);
}

bool Checked(HWND box) {
    return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

class InstallWindowTest : public stubrun::TStubTest {};

} // namespace

TEST_F(InstallWindowTest, ALongTitleIsShortenedToFitTheLabelAboveTheLicence) {
    std::string title = "Sunset over the quiet lagoon";
    while (title.size() < 300)
        title += " and the quiet lagoon";
    const std::string installer = Craft(
        "long.exe",
        [&](core::TProject& p) {
            stubtest::Basic("long.swf", NewGuid(), title)(p);
            p.ShowLicense = true;
            p.LicenseLines.Add("You may look at this wallpaper.");
        },
        "FWS long");
    TWindowedInstaller run(installer, "/D=" + Path("long"));
    const HWND window = run.Window(title);
    ASSERT_NE(window, nullptr);
    HWND label = FindWindowExA(window, nullptr, "Static", nullptr);
    while (label != nullptr && Text(label).rfind("Please read", 0) != 0)
        label = FindWindowExA(window, label, "Static", nullptr);
    ASSERT_NE(label, nullptr);
    const std::string text = Text(label);
    const std::string end = "...\". Tick \"I accept\" to install it.";
    ASSERT_GT(text.size(), end.size());
    EXPECT_EQ(text.substr(text.size() - end.size()), end) << text;
    EXPECT_EQ(text.find("Please read the licence agreement of \"Sunset over the quiet lagoon"), 0u);
    EXPECT_LT(text.size(), title.size());
    Click(Child(window, "Button", "Cancel"));
    EXPECT_EQ(run.ExitCode(), 3u);
}

TEST_F(InstallWindowTest, InstallStaysDisabledUntilTheLicenceIsAccepted) {
    const std::string guid = NewGuid();
    const std::string installer = Craft(
        "licensed.exe",
        [&](core::TProject& p) {
            stubtest::Basic("licensed.swf", guid, "Licensed Lagoon")(p);
            p.ShowLicense = true;
            p.LicenseLines.Add("You may look at this wallpaper.");
            p.LicenseLines.Add("You may not sell it.");
        },
        "FWS licensed");
    const std::string folder = Path("licensed");
    TWindowedInstaller run(installer, "/D=" + folder);
    const HWND window = run.Window("Licensed Lagoon");
    ASSERT_NE(window, nullptr);
    const HWND install = Child(window, "Button", "Install");
    const HWND accept = Child(window, "Button", "I accept");
    ASSERT_NE(install, nullptr);
    ASSERT_NE(accept, nullptr);
    const HWND licence = FindWindowExA(window, nullptr, "Edit", nullptr);
    ASSERT_NE(licence, nullptr);
    EXPECT_EQ(Text(licence), "You may look at this wallpaper.\r\nYou may not sell it.\r\n");

    EXPECT_FALSE(IsWindowEnabled(install));
    Click(install);
    EXPECT_TRUE(IsWindowVisible(accept)) << "a disabled Install must not start installing";
    EXPECT_FALSE(Exists(folder));

    Click(accept);
    EXPECT_TRUE(Checked(accept));
    EXPECT_TRUE(IsWindowEnabled(install));
    Click(accept);
    EXPECT_FALSE(IsWindowEnabled(install));
    Click(accept);
    ASSERT_TRUE(IsWindowEnabled(install));

    Click(install);
    const HWND open = Child(window, "Button", "Open the wallpaper now");
    ASSERT_NE(open, nullptr);
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(open) != FALSE; }));
    EXPECT_TRUE(Checked(open));
    EXPECT_FALSE(IsWindowVisible(accept));
    // No browser under test: the box is cleared before Finish.
    Click(open);
    EXPECT_FALSE(Checked(open));
    const HWND finish = Child(window, "Button", "Finish");
    ASSERT_NE(finish, nullptr);
    Click(finish);
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_EQ(InstalledMovie(folder), "FWS licensed");
    EXPECT_TRUE(UninstallKeyExists(guid));
    EXPECT_EQ(UninstallSilently(folder).ExitCode, 0u);
}

TEST_F(InstallWindowTest, WithTheRuntimeTheFinishPagePutsTheWallpaperOnTheDesktopByItsHost) {
    const stubrun::TRuntimeStandIn runtime(Path("runtime"));
    const std::string guid = NewGuid();
    const std::string folder = Path("plain");
    TWindowedInstaller run(CraftMovie("plain", guid, "Plain Lagoon"), "/D=" + folder);
    const HWND window = run.Window("Plain Lagoon");
    ASSERT_NE(window, nullptr);
    Click(Child(window, "Button", "Install"));
    const HWND set = Child(window, "Button", "Set as my desktop wallpaper now");
    ASSERT_NE(set, nullptr);
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(set) != FALSE; }));
    EXPECT_TRUE(Checked(set));
    EXPECT_FALSE(Checked(Child(window, "Button", "Open the wallpaper now")));
    EXPECT_NE(Child(window, "Static", stub::HostText), nullptr);

    Click(Child(window, "Button", "Finish"));
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_TRUE(host::Shows(folder));
    EXPECT_EQ(stubrun::HostRunValue(), "\"" + folder + "\\wallpaper-host.exe\"");
    ExpectUninstalled(folder, guid);
    EXPECT_EQ(stubrun::HostRunValue(), "");
}

TEST_F(InstallWindowTest, WithoutALicenceInstallIsReadyAndCancelInstallsNothing) {
    const std::string guid = NewGuid();
    const std::string installer = CraftMovie("plain", guid, "Plain Lagoon");
    const std::string folder = Path("plain");
    TWindowedInstaller run(installer, "/D=" + folder);
    const HWND window = run.Window("Plain Lagoon");
    ASSERT_NE(window, nullptr);
    const HWND install = Child(window, "Button", "Install");
    ASSERT_NE(install, nullptr);
    EXPECT_TRUE(IsWindowEnabled(install));
    EXPECT_EQ(Child(window, "Button", "I accept"), nullptr);
    EXPECT_NE(Child(window, "Static", "\"Plain Lagoon\" will be installed for you."), nullptr);
    EXPECT_NE(Child(window, "Static", folder), nullptr);
    Click(Child(window, "Button", "Cancel"));
    EXPECT_EQ(run.ExitCode(), 3u);
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(UninstallKeyExists(guid));
}

TEST_F(InstallWindowTest, ADamagedInstallerSaysSoInAMessageBox) {
    const std::string guid = NewGuid();
    const std::string whole = testfiles::ReadFile(CraftMovie("whole", guid));
    const std::string installer = Path("cut.exe");
    testfiles::WriteFile(installer, whole.substr(0, whole.size() - 3));
    TWindowedInstaller run(installer, "/D=" + Path("d"));
    const HWND box = run.Window("Wallpaper Setup");
    ASSERT_NE(box, nullptr);
    const std::string message = MessageText(box);
    EXPECT_EQ(message.rfind("This installer is damaged. Please download it again.\r\n\r\n", 0), 0u)
        << message;
    Click(GetDlgItem(box, IDOK));
    EXPECT_EQ(run.ExitCode(), 1u);
    EXPECT_FALSE(Exists(Path("d")));
}

TEST_F(InstallWindowTest, TheUninstallerAsksFirst) {
    const std::string guid = NewGuid();
    const std::string folder = Path("asked");
    ASSERT_EQ(InstallSilently(CraftMovie("a", guid, "Asked"), folder).ExitCode, 0u);
    {
        TWindowedInstaller run(folder + "\\uninstall.exe", "");
        const HWND question = run.Window("Asked");
        ASSERT_NE(question, nullptr);
        Click(GetDlgItem(question, IDNO));
        EXPECT_EQ(run.ExitCode(), 3u);
    }
    EXPECT_EQ(Names(folder), InstalledNames());
    EXPECT_TRUE(UninstallKeyExists(guid));
    {
        TWindowedInstaller run(folder + "\\uninstall.exe", "");
        Click(GetDlgItem(run.Window("Asked"), IDYES));
        // The second box says it is done; the folder has gone by then.
        const HWND done = run.Window("Asked");
        ASSERT_NE(done, nullptr);
        EXPECT_FALSE(Exists(folder));
        Click(GetDlgItem(done, IDOK));
        EXPECT_EQ(run.ExitCode(), 0u);
    }
    EXPECT_FALSE(UninstallKeyExists(guid));
}

TEST_F(InstallWindowTest, BrowseChoosesTheFolderAndTheTitleIsRightEverywhere) {
    const std::string guid = NewGuid();
    // The title as the window keeps it: code page 1252.
    const std::string installer = CraftMovie("cafe", guid, "Caf\xE9 Lagoon");
    // The dialog starts at the folder's parent, where the one sub-folder is the choice.
    CreateDirectoryA(Path("pick").c_str(), nullptr);
    CreateDirectoryA(Path("pick\\here").c_str(), nullptr);
    TWindowedInstaller run(installer, "/D=" + Path("pick\\first"));
    // Found by its title in the test's own text, UTF-8.
    const HWND window = run.Window("Caf\xC3\xA9 Lagoon");
    ASSERT_NE(window, nullptr);
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    EXPECT_EQ(std::wstring(title), L"Caf\u00e9 Lagoon");

    PostMessageA(Child(window, "Button", "Browse..."), BM_CLICK, 0, 0);
    const HWND dialog = run.Window("Browse for Folder");
    ASSERT_NE(dialog, nullptr);
    // Open the selected folder and step down to its one sub-folder, as the keyboard does; the
    // dialog's box names the folder selected.
    const HWND tree = FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr);
    const HWND selected = FindWindowExA(dialog, nullptr, "Edit", nullptr);
    ASSERT_TRUE(Eventually([&] {
        for (const WPARAM key : {VK_RIGHT, VK_DOWN})
            SendMessageA(tree, WM_KEYDOWN, key, 0);
        return Text(selected) == "here";
    }));
    Click(GetDlgItem(dialog, IDOK));
    const std::string folder = Path("pick\\here\\Caf\xC3\xA9 Lagoon");
    EXPECT_TRUE(Eventually([&] { return Child(window, "Static", folder) != nullptr; }));

    Click(Child(window, "Button", "Install"));
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(Child(window, "Button", "Finish")); }));
    SendMessageA(Child(window, "Button", "Open the wallpaper now"), BM_SETCHECK, BST_UNCHECKED, 0);
    Click(Child(window, "Button", "Finish"));
    EXPECT_EQ(run.ExitCode(), 0u);

    EXPECT_EQ(Names(folder), InstalledNames());
    EXPECT_FALSE(Exists(Path("pick\\first")));
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER,
                            (L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
                             std::wstring(guid.begin(), guid.end()))
                                .c_str(),
                            0, KEY_READ, &key),
              ERROR_SUCCESS);
    wchar_t name[64] = {};
    DWORD size = sizeof name;
    RegQueryValueExW(key, L"DisplayName", nullptr, nullptr, reinterpret_cast<BYTE*>(name), &size);
    RegCloseKey(key);
    EXPECT_EQ(std::wstring(name), L"Caf\u00e9 Lagoon");
    const std::string utf8 = "Caf\xC3\xA9 Lagoon";
    EXPECT_NE(testfiles::ReadFile(folder + "\\wallpaper.html").find("<title>" + utf8 + "</title>"),
              std::string::npos);
    EXPECT_NE(testfiles::ReadFile(folder + "\\LivelyInfo.json").find("\"Title\": \"" + utf8),
              std::string::npos);
    EXPECT_EQ(UninstallSilently(folder).ExitCode, 0u);
}
