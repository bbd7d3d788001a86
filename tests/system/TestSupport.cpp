#include "TestSupport.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

#include <winioctl.h>

#include "rtl/Guid.h"
#include "system/Handle.h"
#include "system/SystemInfoUnit.h"

namespace systest {

TTempFolder::TTempFolder()
    : path_(sys::TSystemInfo().GetTempDirectory() + "muravel test " + rtl::NewGuidText()) {
    if (!CreateDirectoryA(path_.c_str(), nullptr))
        throw std::runtime_error("cannot create " + path_);
}

TTempFolder::~TTempFolder() {
    RemoveTree(path_);
}

std::string TTempFolder::AddFolder(const std::string& relative, DWORD attributes) const {
    const std::string path = path_ + "\\" + relative;
    if (!CreateDirectoryA(path.c_str(), nullptr))
        throw std::runtime_error("cannot create " + path);
    if (attributes != 0)
        SetFileAttributesA(path.c_str(), attributes | FILE_ATTRIBUTE_DIRECTORY);
    return path;
}

std::string TTempFolder::AddFile(const std::string& relative, DWORD attributes) const {
    const std::string path = path_ + "\\" + relative;
    const sys::TFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL,
                                            nullptr));
    if (!file.Valid())
        throw std::runtime_error("cannot create " + path);
    DWORD written = 0;
    WriteFile(file.Get(), relative.data(), static_cast<DWORD>(relative.size()), &written, nullptr);
    return path;
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA entry;
    const sys::TFindHandle search(FindFirstFileA((path + "\\*").c_str(), &entry));
    if (search.Valid()) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                DeleteFileA(child.c_str());
            else if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
                RemoveDirectoryA(child.c_str());
            else
                RemoveTree(child);
        } while (FindNextFileA(search.Get(), &entry));
    }
    RemoveDirectoryA(path.c_str());
}

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

std::string ReadWholeFile(const std::string& path) {
    const sys::TFileHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string content;
    if (!file.Valid())
        return content;
    char chunk[4096];
    DWORD n = 0;
    while (ReadFile(file.Get(), chunk, sizeof chunk, &n, nullptr) && n > 0)
        content.append(chunk, n);
    return content;
}

TMessageSink::TMessageSink() {
    static const char ClassName[] = "MuravelTestMessageSink";
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = ClassName;
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, ClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              windowClass.hInstance, nullptr);
    if (window_ == nullptr)
        throw std::runtime_error("cannot create the message window");
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TMessageSink::~TMessageSink() {
    DestroyWindow(window_);
}

LRESULT CALLBACK TMessageSink::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* sink = reinterpret_cast<TMessageSink*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_APP && sink != nullptr) {
        ++sink->received_;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace systest
