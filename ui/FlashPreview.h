#pragma once

#include <optional>

#include "core/Colors.h"
#include "ui/ShockwaveFlash.h"

namespace ui {

// The preview where no Flash control can be created: the file's name and what its header
// says (core's TMovieInfo) on the background colour put, and below them why there is no
// control. The window's text is what the panel shows, for screen readers and tests alike.
class TFlashPreview final : public TShockwaveFlash {
public:
    // note says why there is no control.
    TFlashPreview(HWND parent, const TBounds& bounds, std::string note);

    bool HostsControl() const override { return false; }
    // The line under the note that says why the movie does not play in the window either;
    // empty for none.
    void SetPlayNote(std::string line);
    void PutBackgroundColor(int32_t color) override;
    void PutMovie(const std::string& path) override;
    void SetVariable(const std::string& name, const std::string& value) override;

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void ShowFile(const std::string& path);
    // The window's text and picture from what it holds.
    void ShowText();
    void Paint(HDC dc) const;
    // Why there is no control, and why the movie does not play in the window.
    std::string Note() const { return playNote_.empty() ? note_ : note_ + "\r\n" + playNote_; }

    int32_t backgroundColor_ = -1;
    // What a Flash movie is drawn on by itself, where its header says.
    std::optional<core::TColor> ownColor_;
    std::string fileName_;
    std::string summary_;
    std::string note_;
    std::string playNote_;
};

// The Flash control as a child of parent at bounds, or the preview in its place when no Flash
// control can be created. Raises when not even the window can be made.
std::unique_ptr<TShockwaveFlash> CreateFlashPlayer(HWND parent, const TBounds& bounds);

} // namespace ui
