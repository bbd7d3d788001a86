#include "ui/MessageBoxes.h"

#include "ui/Application.h"
#include "ui/Seams.h"

namespace ui {

int ShowMessageBox(const std::string& text, const std::string& caption, UINT type) {
    return Seams().ShowMessageBox({Application().ActiveFormHandle(), text, caption, type});
}

void ShowInformation(const std::string& text) {
    ShowMessageBox(text, "Information", MB_OK | MB_ICONINFORMATION);
}

void ShowPlainMessage(const std::string& text) {
    ShowMessageBox(text, Application().Title(), MB_OK);
}

int AskYesNoCancel(const std::string& text) {
    return ShowMessageBox(text, Application().Title(), MB_YESNOCANCEL | MB_ICONQUESTION);
}

bool Confirm(const std::string& text) {
    return ShowMessageBox(text, "Confirm", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1) == IDYES;
}

} // namespace ui
