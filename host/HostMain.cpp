// The wallpaper host: shows the wallpaper of its own folder behind the desktop icons until it
// is asked to end, the session ends, or another host takes over.
#include <objbase.h>
#include <windows.h>

#include "host/DesktopHost.h"
#include "host/HostControl.h"
#include "rtl/Paths.h"
#include "system/MessagePump.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The runtime answers through the messages of a single-threaded apartment.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    // The wallpaper set last wins: a host that runs already ends before this one shows.
    const sys::TKernelHandle mutex(CreateMutexW(nullptr, FALSE, host::MutexName));
    if (!mutex.Valid())
        return 1;
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        host::StopRunning(host::AnswerTimeoutMs);
    const DWORD owned = WaitForSingleObject(mutex.Get(), host::AnswerTimeoutMs);
    if (owned != WAIT_OBJECT_0 && owned != WAIT_ABANDONED) {
        host::Report("The wallpaper host that runs did not end.");
        return 1;
    }
    int code = 0;
    try {
        std::string folder = rtl::ExecutableFolder();
        while (!folder.empty() && folder.back() == '\\')
            folder.pop_back();
        host::TDesktopHost desktop(folder);
        sys::RunMessageLoop();
    } catch (const rtl::Exception& error) {
        host::Report(error.Message);
        code = 1;
    }
    ReleaseMutex(mutex.Get());
    CoUninitialize();
    return code;
}
