#include "ui/Dialogs.h"

#include <commdlg.h>

#include "ui/Application.h"
#include "ui/Seams.h"

namespace ui {

std::string DoubleZeroFilter(const std::string& filter) {
    if (filter.empty())
        return filter;
    std::string result = filter;
    for (char& c : result)
        if (c == '|')
            c = '\0';
    result += '\0';
    // c_str() adds the last zero.
    return result;
}

TFileDialog::TFileDialog(std::string name, bool save, std::string filter, std::string defaultExt,
                         DWORD options)
    : TComponent(std::move(name)), Filter(std::move(filter)), DefaultExt(std::move(defaultExt)),
      Options(options), save_(save) {}

bool TFileDialog::Execute() {
    // The Explorer style, without which OFN_ENABLESIZING means nothing.
    const TFileDialogRequest request{Application().ActiveFormHandle(),
                                     save_,
                                     DoubleZeroFilter(Filter),
                                     FilterIndex,
                                     DefaultExt,
                                     FileName,
                                     Options | OFN_EXPLORER};
    const std::optional<std::string> chosen = Seams().ExecuteFileDialog(request);
    if (!chosen)
        return false;
    FileName = *chosen;
    return true;
}

bool TColorDialog::Execute() {
    const TColorDialogRequest request{Application().ActiveFormHandle(), ColorToRGB(Color),
                                      Options | CC_RGBINIT};
    const std::optional<COLORREF> chosen = Seams().ExecuteColorDialog(request);
    if (!chosen)
        return false;
    Color = static_cast<TColor>(*chosen);
    return true;
}

} // namespace ui
