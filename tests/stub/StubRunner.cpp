#include "StubRunner.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "host/HostControl.h"
#include "rtl/Paths.h"

namespace stubrun {

namespace {

constexpr DWORD RunLimitMs = 60 * 1000;
constexpr auto EventuallyLimit = std::chrono::seconds(20);

std::string KeyPath(const std::string& name) {
    return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name;
}

// What the uninstaller leaves for its helper, and the helper itself, in the temporary folder.
bool CleanupLeftovers() {
    std::string temp = ::testing::TempDir();
    if (!temp.empty() && temp.back() == '\\')
        temp.pop_back();
    for (const std::string& name : Names(temp))
        if (name.rfind("Muravel-uninstall-", 0) == 0 || name.rfind("Muravel-cleanup-", 0) == 0)
            return true;
    return false;
}

} // namespace

std::string WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/')
        return path;
    std::string windows = "Z:" + path;
    for (char& c : windows)
        if (c == '/')
            c = '\\';
    return windows;
}

TRun RunProgram(const std::string& program, const std::string& arguments,
                const std::string& folder) {
    const std::string errorPath = ::testing::TempDir() + rtl::NewGuidText() + ".stderr";
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE error = CreateFileA(errorPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdError = error;
    startup.hStdOutput = error;
    std::string command = "\"" + program + "\" " + arguments;
    PROCESS_INFORMATION process{};
    const auto start = [&] {
        return CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                              folder.empty() ? nullptr : folder.c_str(), &startup, &process);
    };
    // Wine now and then fails to start a program copied a moment before with an internal
    // error; a second try starts it.
    BOOL started = start();
    if (!started && GetLastError() == ERROR_INTERNAL_ERROR) {
        Sleep(200);
        started = start();
    }
    CloseHandle(error);
    TRun run{~DWORD{0}, ""};
    if (!started) {
        ADD_FAILURE() << "cannot start " << command << ": " << GetLastError();
        return run;
    }
    if (WaitForSingleObject(process.hProcess, RunLimitMs) != WAIT_OBJECT_0) {
        ADD_FAILURE() << command << " did not end";
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, RunLimitMs);
    }
    GetExitCodeProcess(process.hProcess, &run.ExitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    run.Error = testfiles::ReadFile(errorPath);
    // Nothing the program started may still hold what it was given.
    EXPECT_TRUE(DeleteFileA(errorPath.c_str()))
        << command << " left its standard error open in another process";
    return run;
}

bool Eventually(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + EventuallyLimit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    if (folder.empty() || !Exists(folder))
        return names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::string UninstallString(const std::string& name, const char* value) {
    char buffer[1024];
    DWORD size = sizeof buffer;
    if (RegGetValueA(HKEY_CURRENT_USER, KeyPath(name).c_str(), value, RRF_RT_REG_SZ, nullptr,
                     buffer, &size) != ERROR_SUCCESS)
        return "";
    return buffer;
}

DWORD UninstallNumber(const std::string& name, const char* value) {
    DWORD number = 0, size = sizeof number;
    if (RegGetValueA(HKEY_CURRENT_USER, KeyPath(name).c_str(), value, RRF_RT_REG_DWORD, nullptr,
                     &number, &size) != ERROR_SUCCESS)
        return 0;
    return number;
}

bool UninstallKeyExists(const std::string& name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(name).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void DeleteUninstallKey(const std::string& name) {
    RegDeleteKeyA(HKEY_CURRENT_USER, KeyPath(name).c_str());
}

const std::string TStubTest::PlayerBytes = "FWS\x09" + stubtest::RandomBytes(3000, 7);
const std::string TStubTest::ScriptBytes = "var swfobject = function() {};\r\n";

TRuntimeStandIn::TRuntimeStandIn(const std::string& folder)
    : TRuntime(folder, WindowsPath(MURAVEL_WEBVIEW_PATH)) {}

TRuntimeStandIn::~TRuntimeStandIn() {
    host::StopRunning(host::AnswerTimeoutMs);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, host::RunKey, host::RunValue);
}

std::string HostRunValue() {
    char value[1024] = {};
    DWORD size = sizeof value;
    return RegGetValueA(HKEY_CURRENT_USER, host::RunKey, host::RunValue, RRF_RT_REG_SZ, nullptr,
                        value, &size) == ERROR_SUCCESS
               ? value
               : "";
}

TStubTest::TStubTest()
    : cli_(root_ / "tools\\muravel-cli.exe"), stub_(WindowsPath(MURAVEL_STUB_PATH)) {
    CreateDirectoryA((root_ / "tools").c_str(), nullptr);
    if (!CopyFileA(WindowsPath(MURAVEL_CLI_PATH).c_str(), cli_.c_str(), FALSE))
        ADD_FAILURE() << "cannot copy muravel-cli from " << WindowsPath(MURAVEL_CLI_PATH);
    testfiles::WriteFile(root_ / "tools\\FLVPlayer.swf", PlayerBytes);
    testfiles::WriteFile(root_ / "tools\\swfobject.js", ScriptBytes);
    stubBytes_ = testfiles::ReadFile(stub_);
    if (stubBytes_.empty())
        ADD_FAILURE() << "no stub at " << stub_;
}

TStubTest::~TStubTest() {
    for (const std::string& key : keys_)
        DeleteUninstallKey(key);
}

std::string TStubTest::NewGuid() {
    keys_.push_back(rtl::NewGuidText());
    return keys_.back();
}

std::string TStubTest::Project(const std::string& name,
                               const std::function<void(core::TProject&)>& fill) {
    std::string path = root_ / name;
    core::TProject project(root_ / (name + ".ini"));
    fill(project);
    project.SaveToFile(path);
    return path;
}

std::string TStubTest::Build(const std::string& project, const std::string& name) {
    std::string out = root_ / name;
    const TRun run =
        RunProgram(cli_, "build \"" + project + "\" -o \"" + out + "\" --stub \"" + stub_ + "\"");
    EXPECT_EQ(run.ExitCode, 0u) << run.Error;
    return out;
}

std::string TStubTest::Craft(const std::string& name,
                             const std::function<void(core::TProject&)>& fill,
                             const std::string& movie) {
    std::string path = root_ / name;
    const bool video = [&] {
        core::TProject probe("");
        fill(probe);
        return rtl::LowerFileExt(probe.FlashFiles.Get(0)) == ".flv";
    }();
    std::vector<std::string> entries{stubBytes_, stubtest::ProjectFile(fill), movie};
    if (video) {
        entries.push_back(PlayerBytes);
        entries.push_back(ScriptBytes);
    }
    testfiles::WriteFile(path, stubtest::Container(entries));
    return path;
}

std::string TStubTest::CraftMovie(const std::string& stem, const std::string& guid,
                                  const std::string& title) {
    return Craft(stem + ".exe", stubtest::Basic(stem + ".swf", guid, title), "FWS " + stem);
}

std::string TStubTest::ProgramBytes() const {
    return stubBytes_.substr(0, static_cast<size_t>(Player().ProgramSize()));
}

std::vector<std::string> TStubTest::InstalledNames(const std::vector<std::string>& extra) const {
    std::vector<std::string> names{"LivelyInfo.json", "LivelyProperties.json", "movie.js",
                                   "preview.png",     "project.json",          "uninstall.exe",
                                   "wallpaper.html"};
    const wallpaper::TWebPlayer player = Player();
    for (const wallpaper::TWebPlayer::TFile& file : player.Files())
        names.push_back(file.Name);
    names.insert(names.end(), extra.begin(), extra.end());
    std::sort(names.begin(), names.end());
    return names;
}

std::string TStubTest::InstalledMovie(const std::string& folder) {
    return stubtest::DataScriptBytes(testfiles::ReadFile(folder + "\\movie.js"));
}

wallpaper::TWebPlayer TStubTest::Player() const {
    return wallpaper::TWebPlayer(reinterpret_cast<const uint8_t*>(stubBytes_.data()),
                                 static_cast<int64_t>(stubBytes_.size()));
}

TRun TStubTest::InstallSilently(const std::string& installer, const std::string& folder) const {
    return RunProgram(installer, "/S /D=" + folder);
}

TRun TStubTest::UninstallSilently(const std::string& folder) const {
    TRun run = RunProgram(folder + "\\uninstall.exe", "/S");
    EXPECT_TRUE(Eventually([] { return !CleanupLeftovers(); }))
        << "the uninstaller's helper left files in the temporary folder";
    return run;
}

void TStubTest::ExpectUninstalled(const std::string& folder, const std::string& guid) const {
    const TRun run = UninstallSilently(folder);
    EXPECT_EQ(run.ExitCode, 0u) << folder << ": " << run.Error;
    EXPECT_FALSE(Exists(folder)) << folder;
    EXPECT_FALSE(UninstallKeyExists(guid)) << folder;
}

} // namespace stubrun
