#include "ui/Seams.h"

#include <commdlg.h>

#include <vector>

#include "rtl/Paths.h"
#include "system/Handle.h"
#include "system/Shell.h"

namespace ui {

namespace {

// A Yes/No message box has no Cancel button, so the system lets Esc do nothing; the program's
// questions take Esc as No.
LRESULT CALLBACK EscapeMeansNo(int code, WPARAM wParam, LPARAM lParam) {
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && message->message == WM_KEYDOWN && message->wParam == VK_ESCAPE) {
        PostMessageA(GetAncestor(message->hwnd, GA_ROOT), WM_COMMAND, IDNO, 0);
        return TRUE;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

int PlatformMessageBox(const TMessageBoxRequest& request) {
    sys::THookHandle hook;
    if ((request.Type & MB_TYPEMASK) == MB_YESNO)
        hook.Reset(SetWindowsHookExA(WH_MSGFILTER, &EscapeMeansNo, nullptr, GetCurrentThreadId()));
    return MessageBoxA(request.Owner, request.Text.c_str(), request.Caption.c_str(), request.Type);
}

std::optional<std::string> PlatformFileDialog(const TFileDialogRequest& request) {
    std::vector<char> name(32768, '\0');
    request.FileName.copy(name.data(), name.size() - 1);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = request.Owner;
    dialog.lpstrFilter = request.Filter.empty() ? nullptr : request.Filter.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(request.FilterIndex);
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrDefExt = request.DefaultExt.empty() ? nullptr : request.DefaultExt.c_str();
    dialog.Flags = request.Flags;
    const BOOL chosen = request.Save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    if (!chosen)
        return std::nullopt;
    return std::string(name.data());
}

std::optional<COLORREF> PlatformColorDialog(const TColorDialogRequest& request) {
    // No custom colours are given, so all sixteen start white.
    COLORREF custom[16];
    for (COLORREF& color : custom)
        color = RGB(255, 255, 255);
    CHOOSECOLORA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = request.Owner;
    dialog.rgbResult = request.Color;
    dialog.lpCustColors = custom;
    dialog.Flags = request.Flags;
    if (!ChooseColorA(&dialog))
        return std::nullopt;
    return dialog.rgbResult;
}

std::string PlatformShell(const TShellRequest& request) {
    return sys::OpenWithShell(request.Owner, request.Verb ? request.Verb->c_str() : nullptr,
                              request.File, request.Parameters, request.Directory, request.Show);
}

} // namespace

TSeams PlatformSeams() {
    return {&PlatformMessageBox, &PlatformFileDialog, &PlatformColorDialog, &PlatformShell,
            &rtl::ExecutableFolder};
}

TSeams& Seams() {
    static TSeams seams = PlatformSeams();
    return seams;
}

} // namespace ui
