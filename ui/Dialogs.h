#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>

#include "ui/Colors.h"
#include "ui/Control.h"

namespace ui {

// "Description|pattern|Description|pattern" as the file dialogs take it: each part followed by
// a zero character, and one more zero at the end.
std::string DoubleZeroFilter(const std::string& filter);

// What the file-open and file-save dialogs share. Each keeps the name chosen in it last and
// offers it again when it next opens.
class TFileDialog : public TComponent {
public:
    std::string Filter;     // "Description|pattern|..."
    int FilterIndex = 1;    // the filter selected when the dialog opens, from 1
    std::string DefaultExt; // added to a typed name without extension; empty for none
    DWORD Options;          // OFN_*
    std::string FileName;

    // Runs the dialog modally; true and FileName set on OK, false and nothing changed on Cancel.
    bool Execute();

protected:
    TFileDialog(std::string name, bool save, std::string filter, std::string defaultExt,
                DWORD options);

private:
    bool save_;
};

class TOpenDialog : public TFileDialog {
public:
    TOpenDialog(std::string name, std::string filter, std::string defaultExt, DWORD options)
        : TFileDialog(std::move(name), false, std::move(filter), std::move(defaultExt), options) {}
};

class TSaveDialog : public TFileDialog {
public:
    TSaveDialog(std::string name, std::string filter, std::string defaultExt, DWORD options)
        : TFileDialog(std::move(name), true, std::move(filter), std::move(defaultExt), options) {}
};

// The colour dialog. It opens on Color, a system colour turned into the RGB value it has at that
// moment, and on OK holds the chosen colour, always an RGB value.
class TColorDialog : public TComponent {
public:
    TColorDialog(std::string name, DWORD options) : TComponent(std::move(name)), Options(options) {}

    TColor Color = core::clBlack;
    DWORD Options; // CC_*

    bool Execute();
};

} // namespace ui
