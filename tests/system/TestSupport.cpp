#include "TestSupport.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

#include <winioctl.h>

#include "system/Handle.h"

namespace systest {

namespace {

// The mount-point form of the reparse buffer; user-mode headers do not declare it.
struct TMountPointBuffer {
    ULONG ReparseTag;
    USHORT ReparseDataLength;
    USHORT Reserved;
    USHORT SubstituteNameOffset;
    USHORT SubstituteNameLength;
    USHORT PrintNameOffset;
    USHORT PrintNameLength;
    WCHAR PathBuffer[1];
};

std::wstring Wide(const std::string& text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1)
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n);
    return wide;
}

} // namespace

bool MakeJunction(const std::string& link, const std::string& target) {
    if (!CreateDirectoryA(link.c_str(), nullptr))
        return false;
    const std::wstring substitute = L"\\??\\" + Wide(target);
    const size_t nameBytes = substitute.size() * sizeof(WCHAR);
    std::vector<BYTE> buffer(offsetof(TMountPointBuffer, PathBuffer) + nameBytes +
                             2 * sizeof(WCHAR));
    auto* mount = reinterpret_cast<TMountPointBuffer*>(buffer.data());
    mount->ReparseTag = IO_REPARSE_TAG_MOUNT_POINT;
    mount->ReparseDataLength =
        static_cast<USHORT>(buffer.size() - offsetof(TMountPointBuffer, SubstituteNameOffset));
    mount->SubstituteNameLength = static_cast<USHORT>(nameBytes);
    mount->PrintNameOffset = static_cast<USHORT>(nameBytes + sizeof(WCHAR));
    std::memcpy(mount->PathBuffer, substitute.data(), nameBytes);
    bool made = false;
    {
        const sys::TFileHandle folder(
            CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        DWORD returned = 0;
        made = folder.Valid() &&
               DeviceIoControl(folder.Get(), FSCTL_SET_REPARSE_POINT, buffer.data(),
                               static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
    }
    if (!made)
        RemoveDirectoryA(link.c_str());
    return made;
}

std::string UnixLinkTree() {
    const char* unixPath = std::getenv("MURAVEL_UNIX_LINK_TREE");
    using TDosName = WCHAR*(CDECL*)(const char*);
    const auto dosName = reinterpret_cast<TDosName>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
    if (unixPath == nullptr || dosName == nullptr)
        return {};
    WCHAR* wide = dosName(unixPath);
    if (wide == nullptr)
        return {};
    char path[MAX_PATH] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, path, sizeof path, nullptr, nullptr);
    HeapFree(GetProcessHeap(), 0, wide);
    return path;
}

namespace {

LRESULT CALLBACK CountingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_APP)
        return DefWindowProcA(window, message, wParam, lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, GetWindowLongPtrA(window, GWLP_USERDATA) + 1);
    return 0;
}

} // namespace

TMessageSink::TMessageSink() {
    static const char ClassName[] = "MuravelTestMessageSink";
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = CountingWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = ClassName;
    RegisterClassA(&windowClass);
    window_.Reset(CreateWindowExA(0, ClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr));
    if (!window_.Valid())
        throw std::runtime_error("cannot create the message window");
}

} // namespace systest
