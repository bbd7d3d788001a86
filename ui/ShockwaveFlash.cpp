#include "ui/ShockwaveFlash.h"

#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>
#include <wrl/client.h>

#include <cstdio>
#include <new>

#include "rtl/Paths.h"
#include "system/ComObject.h"
#include "system/Handle.h"

using Microsoft::WRL::ComPtr;

namespace ui {

namespace {

// {D27CDB6E-AE6D-11CF-96B8-444553540000}
constexpr CLSID CLSID_ShockwaveFlash = {
    0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// {D27CDB6C-AE6D-11CF-96B8-444553540000}
constexpr IID IID_IShockwaveFlash = {
    0xD27CDB6C, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

constexpr DISPID DispidMovie = 102;
constexpr DISPID DispidBackgroundColor = 123;

// IShockwaveFlash is a dual interface: the three methods of IUnknown and the four of
// IDispatch, then the control's own, of which SetVariable is the 59th. Nothing else is called
// through it, so the slots before SetVariable are left undescribed.
struct TShockwaveFlashVtbl {
    void* UnknownAndDispatch[3 + 4];
    void* Earlier[58];
    HRESULT(STDMETHODCALLTYPE* SetVariable)(IUnknown* self, BSTR name, BSTR value);
};

HRESULT CallSetVariable(IUnknown* flash, BSTR name, BSTR value) {
    const TShockwaveFlashVtbl* vtbl = *reinterpret_cast<const TShockwaveFlashVtbl* const*>(flash);
    return vtbl->SetVariable(flash, name, value);
}

const char* const HostClassName = "MuravelFlashHost";

// A BSTR of our own, converted from text in the system code page; empty text gives an empty
// string, not a null one.
class TOleString {
public:
    explicit TOleString(const std::string& text) {
        const int length = static_cast<int>(text.size());
        const int n =
            length == 0 ? 0 : MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
        bstr_ = SysAllocStringLen(nullptr, static_cast<UINT>(n));
        if (bstr_ == nullptr)
            throw rtl::EOutOfMemory();
        if (n > 0)
            MultiByteToWideChar(CP_ACP, 0, text.data(), length, bstr_, n);
    }
    ~TOleString() { SysFreeString(bstr_); }
    TOleString(const TOleString&) = delete;
    TOleString& operator=(const TOleString&) = delete;

    BSTR Get() const { return bstr_; }

private:
    BSTR bstr_;
};

std::string Narrow(const wchar_t* text) {
    if (text == nullptr || *text == L'\0')
        return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(n > 0 ? n : 1), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &result[0], n, nullptr, nullptr);
    result.resize(result.size() - 1);
    return result;
}

// The system's text for an error result, or the code itself when it has none.
std::string SystemText(HRESULT code) {
    std::string text = rtl::SystemErrorText(static_cast<uint32_t>(code));
    if (text.empty()) {
        char fallback[48];
        std::snprintf(fallback, sizeof fallback, "Flash control error %08lX",
                      static_cast<unsigned long>(code));
        text = fallback;
    }
    return text;
}

[[noreturn]] void RaiseOleError(HRESULT code, const std::string& controlText) {
    throw EOleException(controlText.empty() ? SystemText(code) : controlText, code);
}

// The text of a failed Invoke's EXCEPINFO; frees its strings and takes its error code.
std::string TakeExceptionText(EXCEPINFO& info, HRESULT& code) {
    if (info.pfnDeferredFillIn != nullptr)
        info.pfnDeferredFillIn(&info);
    std::string text = Narrow(info.bstrDescription);
    if (FAILED(info.scode))
        code = info.scode;
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    return text;
}

// The description the object left for a failed call through iid, if it says it leaves them.
std::string ErrorInfoText(IUnknown* object, REFIID iid) {
    // Taken first: it is the thread's, and any later call may replace it.
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, &info) != S_OK)
        return {};
    ComPtr<ISupportErrorInfo> support;
    if (FAILED(object->QueryInterface(IID_PPV_ARGS(&support))) ||
        support->InterfaceSupportsErrorInfo(iid) != S_OK)
        return {};
    BSTR description = nullptr;
    info->GetDescription(&description);
    std::string text = Narrow(description);
    SysFreeString(description);
    return text;
}

SIZEL PixelsToHimetric(int width, int height) {
    const sys::TWindowDC screen(nullptr);
    const int dpiX = GetDeviceCaps(screen.Get(), LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    constexpr int HimetricPerInch = 2540;
    return {MulDiv(width, HimetricPerInch, dpiX), MulDiv(height, HimetricPerInch, dpiY)};
}

// The property block of the window's design: only these three values; the control reads
// every other one as absent and keeps its default.
class TPropertyBag final : public sys::TComObject<IPropertyBag> {
public:
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
        if (name == nullptr || value == nullptr)
            return E_POINTER;
        static const struct {
            const wchar_t* name;
            const wchar_t* value;
        } values[] = {{L"WMode", L"Window"}, {L"Quality", L"High"}, {L"Scale", L"ShowAll"}};
        for (const auto& v : values) {
            // Property names are matched the way HTML parameters are, without regard to case.
            if (lstrcmpiW(name, v.name) != 0)
                continue;
            const VARTYPE wanted = value->vt;
            VARIANT text;
            VariantInit(&text);
            text.vt = VT_BSTR;
            text.bstrVal = SysAllocString(v.value);
            if (text.bstrVal == nullptr)
                return E_OUTOFMEMORY;
            if (wanted == VT_EMPTY || wanted == VT_BSTR) {
                *value = text;
                return S_OK;
            }
            const HRESULT converted = VariantChangeType(value, &text, 0, wanted);
            VariantClear(&text);
            return converted;
        }
        return E_INVALIDARG;
    }
    STDMETHODIMP Write(LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
};

// The control's client site, in-place site and in-place frame in one object: the panel is the
// only window the control ever needs to know about.
class TSite final : public sys::TComObject<IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame> {
public:
    explicit TSite(HWND window) : window_(window) {}

    // IOleClientSite: there is no document to save the control into or to name it by.
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker != nullptr)
            *moniker = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** container) override {
        if (container != nullptr)
            *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, for the site and the frame alike.
    STDMETHODIMP GetWindow(HWND* window) override {
        if (window == nullptr)
            return E_POINTER;
        *window = window_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  LPRECT position, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO frameInfo) override {
        if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr ||
            frameInfo == nullptr)
            return E_POINTER;
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *document = nullptr;
        GetClientRect(window_, position);
        *clip = *position;
        frameInfo->fMDIApp = FALSE;
        frameInfo->hwndFrame = GetAncestor(window_, GA_ROOT);
        frameInfo->haccel = nullptr;
        frameInfo->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    // The panel has a fixed size; the control keeps the rectangle it was activated with.
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no toolbars, menus or status bar to share.
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS widths) override {
        return widths == nullptr ? S_OK : INPLACE_E_NOTOOLSPACE;
    }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    void* BaseInterface(REFIID iid) override {
        if (iid == IID_IOleWindow)
            return static_cast<IOleInPlaceSite*>(this);
        if (iid == IID_IOleInPlaceUIWindow)
            return static_cast<IOleInPlaceFrame*>(this);
        return nullptr;
    }

    HWND window_;
};

// The Flash control hosted in place in the panel.
class TFlashControlHost final : public TShockwaveFlash {
public:
    TFlashControlHost(HWND parent, const TBounds& bounds) {
        RegisterWindowClass(HostClassName, nullptr);
        CreatePanel(HostClassName, parent, bounds);
    }
    ~TFlashControlHost() override { CloseControl(); }

    // Creates the control and activates it in place; the error result when it cannot.
    HRESULT Start(int width, int height);

    bool HostsControl() const override { return true; }
    void PutBackgroundColor(int32_t color) override;
    void PutMovie(const std::string& path) override;
    void SetVariable(const std::string& name, const std::string& value) override;

protected:
    bool HandleMessage(UINT message, WPARAM, LPARAM, LRESULT&) override {
        // When the parent goes first, the control must leave its window while it still exists;
        // the destructor closes it later.
        if (message == WM_DESTROY && object_) {
            ComPtr<IOleInPlaceObject> inPlace;
            if (SUCCEEDED(object_.As(&inPlace)))
                inPlace->InPlaceDeactivate();
        }
        return false;
    }

private:
    void CloseControl();
    void PutProperty(DISPID id, VARIANT& value);

    ComPtr<IOleClientSite> site_;
    ComPtr<IOleObject> object_;
    ComPtr<IDispatch> dispatch_;
    // IShockwaveFlash, which we declare only as far as SetVariable; asked for on first use.
    ComPtr<IUnknown> flash_;
};

HRESULT TFlashControlHost::Start(int width, int height) {
    HRESULT hr = CoCreateInstance(CLSID_ShockwaveFlash, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&object_));
    if (FAILED(hr))
        return hr;
    site_.Attach(new (std::nothrow) TSite(Handle()));
    if (!site_)
        return E_OUTOFMEMORY;
    // The Flash control asks for its site before it is initialised (OLEMISC_SETCLIENTSITEFIRST).
    if (FAILED(hr = object_->SetClientSite(site_.Get())))
        return hr;
    ComPtr<IPersistPropertyBag> persist;
    if (FAILED(hr = object_.As(&persist)))
        return hr;
    ComPtr<IPropertyBag> bag;
    bag.Attach(new (std::nothrow) TPropertyBag);
    if (!bag)
        return E_OUTOFMEMORY;
    if (FAILED(hr = persist->Load(bag.Get(), nullptr)))
        return hr;
    SIZEL extent = PixelsToHimetric(width, height);
    if (FAILED(hr = object_->SetExtent(DVASPECT_CONTENT, &extent)))
        return hr;
    RECT bounds = {0, 0, width, height};
    if (FAILED(hr = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.Get(), 0, Handle(),
                                    &bounds)))
        return hr;
    return object_.As(&dispatch_);
}

void TFlashControlHost::CloseControl() {
    if (object_) {
        ComPtr<IOleInPlaceObject> inPlace;
        if (SUCCEEDED(object_.As(&inPlace)))
            inPlace->InPlaceDeactivate();
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
    }
    flash_.Reset();
    dispatch_.Reset();
    object_.Reset();
    site_.Reset();
}

void TFlashControlHost::PutProperty(DISPID id, VARIANT& value) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&value, &named, 1, 1};
    EXCEPINFO error = {};
    UINT argumentError = 0;
    HRESULT hr = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                                   nullptr, &error, &argumentError);
    if (FAILED(hr)) {
        const std::string text = hr == DISP_E_EXCEPTION ? TakeExceptionText(error, hr) : "";
        RaiseOleError(hr, text);
    }
}

void TFlashControlHost::PutBackgroundColor(int32_t color) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = color;
    PutProperty(DispidBackgroundColor, value);
}

void TFlashControlHost::PutMovie(const std::string& path) {
    const TOleString movie(path);
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = movie.Get();
    PutProperty(DispidMovie, value);
}

void TFlashControlHost::SetVariable(const std::string& name, const std::string& value) {
    if (!flash_) {
        const HRESULT hr = dispatch_->QueryInterface(IID_IShockwaveFlash, &flash_);
        if (FAILED(hr))
            RaiseOleError(hr, "");
    }
    const TOleString oleName(name);
    const TOleString oleValue(value);
    const HRESULT hr = CallSetVariable(flash_.Get(), oleName.Get(), oleValue.Get());
    if (FAILED(hr))
        RaiseOleError(hr, ErrorInfoText(flash_.Get(), IID_IShockwaveFlash));
}

} // namespace

void TShockwaveFlash::CreatePanel(const char* className, HWND parent, const TBounds& bounds) {
    TControlArgs args;
    args.Name = Name;
    args.Bounds = bounds;
    try {
        CreateOwnWindow(className, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, args, parent);
    } catch (const ECreateWindowError& error) {
        throw rtl::Exception("Cannot create the Flash panel. " + error.Reason);
    }
}

std::unique_ptr<TShockwaveFlash> TShockwaveFlash::CreateHost(HWND parent, const TBounds& bounds,
                                                             std::string& note) {
    auto host = std::make_unique<TFlashControlHost>(parent, bounds);
    const HRESULT created = host->Start(bounds.Width, bounds.Height);
    if (SUCCEEDED(created))
        return host;
    host.reset();
    std::string reason = SystemText(created);
    if (reason.back() == '.')
        reason.pop_back();
    note = created == REGDB_E_CLASSNOTREG
               ? "No Flash player is installed; this is what the file's header says."
               : "The Flash player could not be started (" + reason +
                     "); this is what the file's header says.";
    return nullptr;
}

} // namespace ui
