#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "rtl/Errors.h"
#include "ui/Control.h"

namespace ui {

// An error result from the Flash control. Message is the control's own text for it when it
// gives one, else the system's text for ErrorCode.
class EOleException : public rtl::Exception {
public:
    EOleException(std::string message, HRESULT errorCode)
        : rtl::Exception(std::move(message)), ErrorCode(errorCode) {}

    HRESULT ErrorCode;
};

// The movie preview in a child window: the Flash Player control hosted in place, or, on a
// machine without the control, a preview of our own that shows what the movie's header says.
// Which of the two is decided once, by CreateFlashPlayer (FlashPreview.h); the calls are the
// same either way. OLE must have been initialised on the thread (the program entry does it).
class TShockwaveFlash : public TControl {
public:
    // The Flash control hosted as a child of parent at bounds, or null when no Flash control can
    // be created, with note set to why, for the preview that stands in. Raises when not even the
    // window can be made.
    static std::unique_ptr<TShockwaveFlash> CreateHost(HWND parent, const TBounds& bounds,
                                                       std::string& note);

    // True when the real control is hosted.
    virtual bool HostsControl() const = 0;
    // The control's BackgroundColor (0xRRGGBB; -1 is the control's own default).
    virtual void PutBackgroundColor(int32_t color) = 0;
    // The control's Movie: the file to load and play; converted from the system code page.
    virtual void PutMovie(const std::string& path) = 0;
    // Sets a variable of the loaded movie; the preview knows FLVPath only, the video that the
    // player movie plays.
    virtual void SetVariable(const std::string& name, const std::string& value) = 0;

protected:
    TShockwaveFlash() : TControl("FlashPlayer", nullptr) {}
    // Makes the window, a child of parent, raising "Cannot create the Flash panel." with the
    // system's reason when it cannot.
    void CreatePanel(const char* className, HWND parent, const TBounds& bounds);
};

} // namespace ui
