#pragma once

#include <windows.h>

#include <ole2.h>

#include <initializer_list>
#include <string>
#include <vector>

// A stand-in for the Flash control, registered in the test process for the control's class
// identifier: it records every call made to it and does what the test tells it to.
namespace fakeflash {

struct TBehaviour {
    // Invoke of this dispatch id fails with invokeResult; with DISP_E_EXCEPTION it fills the
    // EXCEPINFO with exceptionText, at once or through pfnDeferredFillIn.
    DISPID failingDispid = DISPID_UNKNOWN;
    HRESULT invokeResult = S_OK;
    std::wstring exceptionText;
    bool deferExceptionText = false;
    // SetVariable fails with this result, leaving errorInfoText as the thread's error info
    // when it is not empty; an object that does not support error info leaves none.
    HRESULT setVariableResult = S_OK;
    std::wstring errorInfoText;
    bool supportsErrorInfo = true;
    bool offersShockwaveFlash = true;
    HRESULT doVerbResult = S_OK;
};

// What the fakes saw, in order, and what the host's site told them on activation.
struct TRecord {
    std::vector<std::string> calls;
    int liveObjects = 0;
    HWND siteWindow = nullptr;
    RECT position = {};
    RECT clip = {};
    bool frameGiven = false;
    HWND frameWindow = nullptr;
    // The window the fake made in place, while it is active.
    HWND controlWindow = nullptr;

    // The calls whose text starts with one of the prefixes.
    std::vector<std::string> Calls(std::initializer_list<const char*> prefixes) const;
};

// Registers the fake while it lives; there is one at a time, and the record is fresh.
class TRegistration {
public:
    explicit TRegistration(TBehaviour behaviour = {});
    ~TRegistration();
    TRegistration(const TRegistration&) = delete;
    TRegistration& operator=(const TRegistration&) = delete;

    TRecord& Record() const;
    TBehaviour& Behaviour() const;

private:
    DWORD cookie_ = 0;
};

} // namespace fakeflash
