#pragma once

#include <memory>

#include "rtl/StringList.h"
#include "ui/BalloonTip.h"
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

    // Replaces the text with one that differs only before the caret, which keeps its distance
    // from the end.
    void ReplaceBeforeCaret(const std::string& text);
    // A balloon below the edit that leaves the keyboard to it; it goes when the edit loses the
    // focus or after a few seconds.
    void ShowBalloonTip(const std::string& title, const std::string& text);
    // The balloon's text; empty while none is shown.
    std::string BalloonText() const { return balloon_ ? balloon_->Text() : std::string(); }

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
    void HideBalloonTip();

    TColor color_ = core::clWindow;
    std::unique_ptr<TBalloonTip> balloon_;
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
