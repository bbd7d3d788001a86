#pragma once

#include "rtl/StringList.h"
#include "ui/Control.h"

namespace ui {

// What one-line and multi-line edits share: the text, the colour behind it and the filter of
// typed characters.
class TCustomEdit : public TControl {
public:
    std::string Text() const { return Caption(); }
    void SetText(const std::string& text) { SetCaption(text); }
    bool ReadOnly() const;

    TColor Color() const { return color_; }
    void SetColor(TColor color);

    // Runs for every typed character of ASCII, before the edit takes it.
    TKeyPressEvent OnKeyPress;
    // Runs after every change of the text, typed, pasted or set by code.
    TNotifyEvent OnChange;

protected:
    TCustomEdit(const TControlArgs& args, DWORD style, DWORD exStyle);
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void Command(WORD notification) override;
    HBRUSH CtlColor(HDC dc) override;

private:
    TColor color_ = core::clWindow;
};

// A one-line edit.
class TEdit : public TCustomEdit {
public:
    explicit TEdit(const TControlArgs& args);
};

// A multi-line edit that wraps long lines and takes Enter as a line break; Tab and Esc still
// belong to the form.
class TMemo : public TCustomEdit {
public:
    TMemo(const TControlArgs& args, bool readOnly, bool border);

    // The lines as the user sees them separated by line breaks, not by wrapping.
    rtl::TStringList Lines() const;
    void SetLines(const rtl::TStringList& lines);
    // Adds a line at the end and shows it.
    void Append(const std::string& line);
    void Clear() { SetText(""); }

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

} // namespace ui
