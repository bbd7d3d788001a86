#include "ui/Shell.h"

#include "rtl/Errors.h"
#include "ui/Seams.h"

namespace ui {

void ExecuteShell(HWND owner, const std::optional<std::string>& verb, const std::string& file,
                  int show) {
    const std::string failure = Seams().ExecuteShell({owner, verb, file, "", "", show});
    if (!failure.empty())
        throw rtl::Exception("The system cannot open \"" + file + "\". " + failure);
}

} // namespace ui
