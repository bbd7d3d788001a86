#include "system/Shell.h"

#include <shellapi.h>
#include <shlobj.h>

#include "rtl/Errors.h"
#include "rtl/Paths.h"

namespace sys {

namespace {

// The shell's own codes, for a shell that reports one without setting the last error.
DWORD ErrorOfShellCode(INT_PTR code) {
    switch (code) {
    case SE_ERR_FNF:
    case SE_ERR_PNF:
    case SE_ERR_ACCESSDENIED:
    case SE_ERR_OOM:
        return static_cast<DWORD>(code);
    case SE_ERR_SHARE:
        return ERROR_SHARING_VIOLATION;
    case SE_ERR_DLLNOTFOUND:
        return ERROR_DLL_NOT_FOUND;
    case SE_ERR_DDETIMEOUT:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY:
        return ERROR_DDE_FAIL;
    default:
        return ERROR_NO_ASSOCIATION;
    }
}

} // namespace

std::string OpenWithShell(HWND owner, const char* verb, const std::string& file,
                          const std::string& parameters, const std::string& folder, int show) {
    SHELLEXECUTEINFOA request{};
    request.cbSize = sizeof request;
    request.fMask = SEE_MASK_FLAG_NO_UI;
    request.hwnd = owner;
    request.lpVerb = verb;
    request.lpFile = file.c_str();
    request.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    request.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    request.nShow = show;
    SetLastError(ERROR_SUCCESS);
    if (ShellExecuteExA(&request))
        return "";
    const DWORD error = GetLastError();
    return rtl::SystemErrorText(
        error != ERROR_SUCCESS ? error
                               : ErrorOfShellCode(reinterpret_cast<INT_PTR>(request.hInstApp)));
}

std::string ShellFolder(int id, const char* what) {
    char buffer[MAX_PATH];
    const HRESULT result =
        SHGetFolderPathA(nullptr, id | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, buffer);
    if (FAILED(result))
        throw rtl::Exception(std::string("The ") + what + " folder is not known. " +
                             rtl::SystemErrorText(static_cast<uint32_t>(result)));
    return buffer;
}

std::string LocalAppDataFolder() {
    return ShellFolder(CSIDL_LOCAL_APPDATA, "local application data");
}

std::string ProductDataFolder() {
    return LocalAppDataFolder() + "\\Zenvoy Muravel";
}

} // namespace sys
