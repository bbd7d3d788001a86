#include <windows.h>

#include <exception>

#include "system/Handle.h"
#include "ui/Application.h"
#include "ui/MainFormUnit.h"
#include "ui/ProductInfo.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The Flash control and the shell's dialogs want OLE on this thread, once for the program.
    const sys::TOleInitialization ole;
    ui::TApplication& application = ui::Application();
    application.Initialize();
    application.SetTitle(ui::ProductName);
    try {
        // Unowned, the main form has the program's task-bar button itself.
        ui::TMainForm mainForm;
        ui::TForm::SetMainForm(&mainForm);
        mainForm.Show();
        application.Run();
    } catch (...) {
        // Only making the window can fail here; the handlers' failures stay in their dispatch.
        application.HandleException(std::current_exception());
        return 1;
    }
    return 0;
}
