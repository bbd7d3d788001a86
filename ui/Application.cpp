#include "ui/Application.h"

#include <commctrl.h>

#include <new>
#include <stdexcept>

#include "rtl/Errors.h"
#include "system/Handle.h"
#include "system/MessagePump.h"
#include "ui/Dispatch.h"
#include "ui/Form.h"
#include "ui/Seams.h"

namespace ui {

std::string ExceptionMessage(const std::exception_ptr& error) {
    std::string message;
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        message = rtl::EOutOfMemory().Message;
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = "Unknown error";
    }
    // Only a last character above "." earns a full stop, so a message that already ends in ".",
    // "!", ")" or a quote keeps its own ending.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        message += '.';
    return message;
}

void TApplication::Initialize() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    TForm::SetScreenPixelsPerInch(GetDeviceCaps(sys::TWindowDC(nullptr).Get(), LOGPIXELSY));
    SetExceptionHandler([this](const std::exception_ptr& error) { HandleException(error); });
    // The C runtime has already split the command line by the platform's quoting rules.
    arguments_.assign(__argv + (__argc > 0 ? 1 : 0), __argv + __argc);
}

std::string TApplication::ExeFolder() const {
    return Seams().ExecutableFolder();
}

void TApplication::Run() {
    sys::RunMessageLoop();
}

void TApplication::Terminate() {
    PostQuitMessage(0);
}

void TApplication::HandleException(const std::exception_ptr& error) {
    Seams().ShowMessageBox(
        {ActiveFormHandle(), ExceptionMessage(error), title_, MB_OK | MB_ICONSTOP});
}

HWND TApplication::ActiveFormHandle() const {
    HWND active = GetActiveWindow();
    if (active == nullptr && TForm::MainForm() != nullptr)
        active = TForm::MainForm()->Handle();
    return active;
}

TApplication& Application() {
    static TApplication application;
    return application;
}

} // namespace ui
