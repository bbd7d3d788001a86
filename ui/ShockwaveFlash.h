#pragma once

#include <windows.h>

#include <ole2.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>

#include "rtl/Errors.h"

namespace ui {

// An error result from the Flash control. Message is the control's own text for it when it
// gives one, else the system's text for ErrorCode.
class EOleException : public rtl::Exception {
public:
    EOleException(std::string message, HRESULT errorCode)
        : rtl::Exception(std::move(message)), ErrorCode(errorCode) {}

    HRESULT ErrorCode;
};

// The Flash Player control hosted in place in a child window, or, on a machine without the
// control, a preview of our own in the same window that shows what the movie's header says.
// Which of the two is decided once, when the object is made; the calls are the same either way.
class TShockwaveFlash {
public:
    // Creates the Flash control in place as a child of parent at the given bounds, or the
    // preview of our own when no Flash control can be created; decided once, here.
    TShockwaveFlash(HWND parent, int left, int top, int width, int height);
    ~TShockwaveFlash();
    TShockwaveFlash(const TShockwaveFlash&) = delete;
    TShockwaveFlash& operator=(const TShockwaveFlash&) = delete;

    // The child window (host or preview).
    HWND Handle() const { return window_; }
    // True when the real control is hosted.
    bool HostsControl() const { return static_cast<bool>(object_); }

    // The control's BackgroundColor (0xRRGGBB; -1 is the control's own default).
    void PutBackgroundColor(int32_t color);
    // The control's Movie: the file to load and play; converted from the system code page.
    void PutMovie(const std::string& path);
    // Sets a variable of the loaded movie; the preview knows FLVPath only, the video that
    // the player movie plays.
    void SetVariable(const std::string& name, const std::string& value);

private:
    class TSite;

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    HRESULT CreateControl(int width, int height);
    void CloseControl();
    void PutProperty(DISPID id, VARIANT& value);
    void ShowFile(const std::string& path);
    void Paint(HDC dc) const;

    // Balanced in the destructor only when it succeeded; ours may be a nested call.
    bool oleInitialized_ = false;
    HWND window_ = nullptr;

    Microsoft::WRL::ComPtr<IOleClientSite> site_;
    Microsoft::WRL::ComPtr<IOleObject> object_;
    Microsoft::WRL::ComPtr<IDispatch> dispatch_;
    // IShockwaveFlash, which we declare only as far as SetVariable; asked for on first use.
    Microsoft::WRL::ComPtr<IUnknown> flash_;

    // The preview: the background colour last put, the file shown and what its header says
    // (both empty when there is none) and, below them, why there is no control.
    int32_t backgroundColor_ = -1;
    std::string fileName_;
    std::string summary_;
    std::string note_;
};

} // namespace ui
