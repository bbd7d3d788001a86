#include "host/HostControl.h"

#include "rtl/Paths.h"
#include "rtl/TextUtils.h"
#include "system/Handle.h"
#include "system/RegistryReader.h"
#include "wallpaper/SafeNames.h"

namespace host {

namespace {

bool SameFolder(const std::string& a, const std::string& b) {
    return rtl::SameTextAscii(a, b) || rtl::SameFile(a, b);
}

sys::TKernelHandle HostProcess(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return sys::TKernelHandle(OpenProcess(SYNCHRONIZE, FALSE, id));
}

} // namespace

std::string HostCommand(const std::string& folder) {
    return "\"" + folder + "\\" + wallpaper::HostFileName + "\"";
}

std::optional<std::string> RunningFolder() {
    const HWND window = FindWindowA(WindowClass, nullptr);
    if (window == nullptr)
        return std::nullopt;
    char title[MAX_PATH * 3] = {};
    GetWindowTextA(window, title, sizeof title);
    return std::string(title);
}

bool Shows(const std::string& folder) {
    const std::optional<std::string> shown = RunningFolder();
    return shown && SameFolder(*shown, folder);
}

bool StopRunning(DWORD timeoutMs) {
    const HWND window = FindWindowA(WindowClass, nullptr);
    if (window == nullptr)
        return true;
    const sys::TKernelHandle process = HostProcess(window);
    PostMessageA(window, WM_CLOSE, 0, 0);
    return process.Valid() && WaitForSingleObject(process.Get(), timeoutMs) == WAIT_OBJECT_0;
}

std::string Start(const std::string& folder) {
    sys::TRegKey key;
    LSTATUS status = RegCreateKeyExA(HKEY_CURRENT_USER, RunKey, 0, nullptr, 0, KEY_SET_VALUE,
                                     nullptr, key.Receive(), nullptr);
    const std::string command = HostCommand(folder);
    if (status == ERROR_SUCCESS)
        status = RegSetValueExA(key.Get(), RunValue, 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(command.c_str()),
                                static_cast<DWORD>(command.size() + 1));
    if (status != ERROR_SUCCESS)
        return "It cannot be set to start with Windows. " +
               rtl::SystemErrorText(static_cast<uint32_t>(status));
    // A second host of the same folder would only take the first one's place.
    if (Shows(folder))
        return "";

    // Nothing of the installer's: its standard handles belong to whoever waits for it.
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION started{};
    std::string line = command;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &started))
        return "Its program did not start. " + rtl::LastErrorText();
    const sys::TKernelHandle process(started.hProcess);
    CloseHandle(started.hThread);
    // The host first ends the one that runs, then shows its own window.
    for (DWORD waited = 0; waited < AnswerTimeoutMs; waited += 100) {
        if (Shows(folder))
            return "";
        DWORD code = STILL_ACTIVE;
        if (GetExitCodeProcess(process.Get(), &code) && code != STILL_ACTIVE)
            return "Its program ended at once.";
        Sleep(100);
    }
    return "Its program did not answer.";
}

namespace {

// Deletes the Run value when it is the command of the host in folder, or of any host when
// folder is empty.
void RemoveRunValue(const std::string& folder) {
    sys::TRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RunKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                      key.Receive()) != ERROR_SUCCESS)
        return;
    const std::optional<std::string> command = sys::ReadStringValue(key.Get(), RunValue);
    if (command && (folder.empty() || rtl::SameTextAscii(*command, HostCommand(folder))))
        RegDeleteValueA(key.Get(), RunValue);
}

} // namespace

void Retire() {
    StopRunning(AnswerTimeoutMs);
    RemoveRunValue("");
}

void Forget(const std::string& folder) {
    if (Shows(folder))
        StopRunning(AnswerTimeoutMs);
    RemoveRunValue(folder);
}

} // namespace host
