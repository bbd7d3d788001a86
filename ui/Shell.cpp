#include "ui/Shell.h"

#include "ui/Seams.h"

namespace ui {

void ExecuteShell(HWND owner, const std::optional<std::string>& verb, const std::string& file,
                  int show) {
    Seams().ExecuteShell({owner, verb, file, "", "", show});
}

} // namespace ui
