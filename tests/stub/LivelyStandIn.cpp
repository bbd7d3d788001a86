// Stands in for Lively Wallpaper's program in the installer's tests, the way the real one
// behaves towards other programs:
//   Lively.exe               takes Lively's instance mutex, opens its command pipe and runs
//                            until a later start says --shutdown (two minutes at most); beside
//                            a file "never-answers" it does neither and just waits
//   Lively.exe ARGUMENT...   a later start, which hands its arguments on: records them, one
//                            line of them joined by "|", in "arguments.txt" beside it, and
//                            does what setwp, closewp and --shutdown ask of the layout file
//                            in Lively's settings folder and of the first start
#include <windows.h>

#include <shlobj.h>

#include <cstdio>
#include <string>

namespace {

const char* const InstanceMutex = "LIVELY:DESKTOPWALLPAPERSYSTEM";
const char* const EndEvent = "MuravelTestLivelyStandInEnd";

std::string Beside(const char* name) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

void Append(const std::string& path, const std::string& line) {
    if (std::FILE* file = std::fopen(path.c_str(), "ab")) {
        std::fputs((line + "\n").c_str(), file);
        std::fclose(file);
    }
}

void WriteLayout(const std::string& text) {
    char local[MAX_PATH];
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local);
    if (std::FILE* file = std::fopen(
            (std::string(local) + "\\Lively Wallpaper\\WallpaperLayout.json").c_str(), "wb")) {
        std::fputs(text.c_str(), file);
        std::fclose(file);
    }
}

std::string JsonEscaped(const std::string& text) {
    std::string out;
    for (const char c : text)
        out += c == '\\' || c == '"' ? std::string("\\") + c : std::string(1, c);
    return out;
}

int FirstStart() {
    const HANDLE end = CreateEventA(nullptr, TRUE, FALSE, EndEvent);
    if (GetFileAttributesA(Beside("never-answers").c_str()) != INVALID_FILE_ATTRIBUTES) {
        WaitForSingleObject(end, 120000);
        return 0;
    }
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, InstanceMutex);
    char user[257] = {};
    DWORD size = sizeof user;
    GetUserNameA(user, &size);
    const std::string pipe = std::string("\\\\.\\pipe\\Grpc_") + InstanceMutex + user;
    const HANDLE listening = CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_DUPLEX,
                                              PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 0, 0, nullptr);
    WaitForSingleObject(end, 120000);
    CloseHandle(listening);
    CloseHandle(mutex);
    CloseHandle(end);
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 2)
        return FirstStart();
    std::string line;
    for (int i = 1; i < __argc; ++i)
        line += (i > 1 ? "|" : "") + std::string(__argv[i]);
    Append(Beside("arguments.txt"), line);
    const std::string command = __argv[1];
    if (command == "setwp" && __argc >= 4)
        WriteLayout("[\r\n  {\r\n    \"LivelyScreen\": {\"DeviceName\": \"\\\\\\\\.\\\\DISPLAY1\", "
                    "\"Index\": 1},\r\n    \"LivelyInfoPath\": \"" +
                    JsonEscaped(__argv[3]) + "\"\r\n  }\r\n]");
    else if (command == "closewp")
        WriteLayout("[]");
    else if (command == "--shutdown")
        SetEvent(OpenEventA(EVENT_MODIFY_STATE, FALSE, EndEvent));
    return 0;
}
