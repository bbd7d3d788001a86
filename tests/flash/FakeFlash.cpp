#include "FakeFlash.h"

#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>

#include <cstdio>
#include <stdexcept>
#include <utility>

namespace fakeflash {

namespace {

// Declared here from the control's published identifiers, not shared with the host, so that
// a wrong identifier or method position in the host shows as a failed test.
const CLSID FlashClass = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0, 0}};
const IID FlashInterface = {0xD27CDB6C, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0, 0}};
constexpr int MethodsBeforeSetVariable = 58;

TRecord record;
TBehaviour behaviour;
bool registered = false;

void Log(std::string call) {
    record.calls.push_back(std::move(call));
}

std::string Utf8(const wchar_t* text) {
    if (text == nullptr)
        return "null";
    std::string s = "\"";
    for (const wchar_t* p = text; *p != 0; ++p) {
        if (*p >= 32 && *p < 127) {
            s += static_cast<char>(*p);
        } else {
            char escape[16];
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(*p));
            s += escape;
        }
    }
    return s + "\"";
}

std::string InterfaceName(REFIID iid) {
    const std::pair<const IID*, const char*> names[] = {
        {&IID_IUnknown, "IUnknown"},
        {&IID_IOleObject, "IOleObject"},
        {&IID_IOleInPlaceObject, "IOleInPlaceObject"},
        {&IID_IOleWindow, "IOleWindow"},
        {&IID_IPersistPropertyBag, "IPersistPropertyBag"},
        {&IID_IPersistStreamInit, "IPersistStreamInit"},
        {&IID_IDispatch, "IDispatch"},
        {&IID_ISupportErrorInfo, "ISupportErrorInfo"},
        {&FlashInterface, "IShockwaveFlash"},
    };
    for (const auto& n : names)
        if (IsEqualIID(iid, *n.first))
            return n.second;
    wchar_t text[40];
    StringFromGUID2(iid, text, 40);
    return Utf8(text);
}

std::string VariantText(const VARIANT& v) {
    switch (v.vt) {
    case VT_I4:
        return "VT_I4 " + std::to_string(v.lVal);
    case VT_BSTR:
        return "VT_BSTR " + Utf8(v.bstrVal) +
               (v.bstrVal != nullptr && SysStringLen(v.bstrVal) == 0 ? " (empty)" : "");
    default:
        return "VT " + std::to_string(v.vt);
    }
}

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

HRESULT STDMETHODCALLTYPE DeferredFillIn(EXCEPINFO* info) {
    info->bstrDescription = SysAllocString(behaviour.exceptionText.c_str());
    return S_OK;
}

class TControl;
struct TFlashVtbl;

// IShockwaveFlash laid out by hand, as a C client sees it: IUnknown, IDispatch, 58 methods
// the host must not call, then SetVariable.
struct TFlashObject {
    const TFlashVtbl* vtbl;
    TControl* owner;
};

struct TFlashVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(TFlashObject*, REFIID, void**);
    ULONG(STDMETHODCALLTYPE* AddRef)(TFlashObject*);
    ULONG(STDMETHODCALLTYPE* Release)(TFlashObject*);
    HRESULT(STDMETHODCALLTYPE* GetTypeInfoCount)(TFlashObject*, UINT*);
    HRESULT(STDMETHODCALLTYPE* GetTypeInfo)(TFlashObject*, UINT, LCID, ITypeInfo**);
    HRESULT(STDMETHODCALLTYPE* GetIDsOfNames)
    (TFlashObject*, REFIID, LPOLESTR*, UINT, LCID, DISPID*);
    HRESULT(STDMETHODCALLTYPE* Invoke)
    (TFlashObject*, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*);
    HRESULT(STDMETHODCALLTYPE* Earlier[MethodsBeforeSetVariable])(TFlashObject*);
    HRESULT(STDMETHODCALLTYPE* SetVariable)(TFlashObject*, BSTR, BSTR);
};

class TControl final : public IOleObject,
                       public IOleInPlaceObject,
                       public IPersistPropertyBag,
                       public IDispatch,
                       public ISupportErrorInfo {
public:
    TControl();
    ~TControl() { --record.liveObjects; }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleObject))
            *out = static_cast<IOleObject*>(this);
        else if (IsEqualIID(iid, IID_IOleInPlaceObject) || IsEqualIID(iid, IID_IOleWindow))
            *out = static_cast<IOleInPlaceObject*>(this);
        else if (IsEqualIID(iid, IID_IPersistPropertyBag) || IsEqualIID(iid, IID_IPersist))
            *out = static_cast<IPersistPropertyBag*>(this);
        else if (IsEqualIID(iid, IID_IDispatch))
            *out = static_cast<IDispatch*>(this);
        else if (IsEqualIID(iid, IID_ISupportErrorInfo))
            *out = static_cast<ISupportErrorInfo*>(this);
        else if (IsEqualIID(iid, FlashInterface)) {
            Log("QueryInterface(IShockwaveFlash)");
            if (!behaviour.offersShockwaveFlash)
                return E_NOINTERFACE;
            *out = &flash_;
        } else {
            Log("QueryInterface(" + InterfaceName(iid) + ")");
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override {
        Log(std::string("IOleObject::SetClientSite(") + (site != nullptr ? "site" : "null") + ")");
        if (site_ != nullptr)
            site_->Release();
        site_ = site;
        if (site_ != nullptr)
            site_->AddRef();
        return S_OK;
    }
    STDMETHODIMP GetClientSite(IOleClientSite** site) override {
        Log("IOleObject::GetClientSite");
        *site = site_;
        if (site_ != nullptr)
            site_->AddRef();
        return S_OK;
    }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override {
        return Unexpected("IOleObject::SetHostNames");
    }
    STDMETHODIMP Close(DWORD option) override {
        Log("IOleObject::Close(" +
            std::string(option == OLECLOSE_NOSAVE ? "OLECLOSE_NOSAVE" : std::to_string(option)) +
            ")");
        Deactivate();
        return S_OK;
    }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override {
        return Unexpected("IOleObject::SetMoniker");
    }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override {
        return Unexpected("IOleObject::GetMoniker");
    }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override {
        return Unexpected("IOleObject::InitFromData");
    }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override {
        return Unexpected("IOleObject::GetClipboardData");
    }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                        LPCRECT bounds) override {
        Log("IOleObject::DoVerb(" + std::to_string(verb) + ", " +
            (bounds != nullptr ? RectText(*bounds) : "null") + ")");
        if (FAILED(behaviour.doVerbResult))
            return behaviour.doVerbResult;
        if (verb != OLEIVERB_INPLACEACTIVATE || site == nullptr)
            return E_INVALIDARG;
        return Activate(site, parent);
    }
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return Unexpected("IOleObject::EnumVerbs"); }
    STDMETHODIMP Update() override { return Unexpected("IOleObject::Update"); }
    STDMETHODIMP IsUpToDate() override { return Unexpected("IOleObject::IsUpToDate"); }
    STDMETHODIMP GetUserClassID(CLSID*) override {
        return Unexpected("IOleObject::GetUserClassID");
    }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override {
        return Unexpected("IOleObject::GetUserType");
    }
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override {
        Log("IOleObject::SetExtent(" + std::to_string(aspect) + ", " + std::to_string(size->cx) +
            " x " + std::to_string(size->cy) + ")");
        return S_OK;
    }
    STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return Unexpected("IOleObject::GetExtent"); }
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return Unexpected("IOleObject::Advise"); }
    STDMETHODIMP Unadvise(DWORD) override { return Unexpected("IOleObject::Unadvise"); }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override {
        return Unexpected("IOleObject::EnumAdvise");
    }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override {
        Log("IOleObject::GetMiscStatus");
        *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE |
                  OLEMISC_RECOMPOSEONRESIZE | OLEMISC_INSIDEOUT;
        return S_OK;
    }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override {
        return Unexpected("IOleObject::SetColorScheme");
    }

    // IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* window) override {
        Log("IOleInPlaceObject::GetWindow");
        *window = window_;
        return window_ != nullptr ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override {
        return Unexpected("IOleInPlaceObject::ContextSensitiveHelp");
    }
    STDMETHODIMP InPlaceDeactivate() override {
        Log("IOleInPlaceObject::InPlaceDeactivate");
        Deactivate();
        return S_OK;
    }
    STDMETHODIMP UIDeactivate() override { return Unexpected("IOleInPlaceObject::UIDeactivate"); }
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT) override {
        Log("IOleInPlaceObject::SetObjectRects(" + RectText(*position) + ")");
        return S_OK;
    }
    STDMETHODIMP ReactivateAndUndo() override {
        return Unexpected("IOleInPlaceObject::ReactivateAndUndo");
    }

    // IPersistPropertyBag
    STDMETHODIMP GetClassID(CLSID* id) override {
        Log("IPersistPropertyBag::GetClassID");
        *id = FlashClass;
        return S_OK;
    }
    STDMETHODIMP InitNew() override { return Unexpected("IPersistPropertyBag::InitNew"); }
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog*) override;
    STDMETHODIMP Save(IPropertyBag*, BOOL, BOOL) override {
        return Unexpected("IPersistPropertyBag::Save");
    }

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT*) override {
        return Unexpected("IDispatch::GetTypeInfoCount");
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override {
        return Unexpected("IDispatch::GetTypeInfo");
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return Unexpected("IDispatch::GetIDsOfNames");
    }
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT*,
                        EXCEPINFO* error, UINT*) override;

    // ISupportErrorInfo
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override {
        return behaviour.supportsErrorInfo && IsEqualIID(iid, FlashInterface) ? S_OK : S_FALSE;
    }

    HRESULT SetVariable(BSTR name, BSTR value) {
        Log("IShockwaveFlash::SetVariable(" + Utf8(name) + ", " + Utf8(value) + ")");
        if (SUCCEEDED(behaviour.setVariableResult) || behaviour.errorInfoText.empty() ||
            !behaviour.supportsErrorInfo)
            return behaviour.setVariableResult;
        ICreateErrorInfo* create = nullptr;
        if (SUCCEEDED(CreateErrorInfo(&create))) {
            create->SetDescription(const_cast<LPOLESTR>(behaviour.errorInfoText.c_str()));
            IErrorInfo* info = nullptr;
            create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info));
            SetErrorInfo(0, info);
            info->Release();
            create->Release();
        }
        return behaviour.setVariableResult;
    }

    static HRESULT Unexpected(const std::string& call) {
        Log(call);
        return E_NOTIMPL;
    }

private:
    HRESULT Activate(IOleClientSite* site, HWND parent);
    void Deactivate();

    ULONG references_ = 1;
    IOleClientSite* site_ = nullptr;
    IOleInPlaceSite* inPlaceSite_ = nullptr;
    HWND window_ = nullptr;
    TFlashObject flash_;
};

HRESULT STDMETHODCALLTYPE FlashQueryInterface(TFlashObject* self, REFIID iid, void** out) {
    return static_cast<IOleObject*>(self->owner)->QueryInterface(iid, out);
}
ULONG STDMETHODCALLTYPE FlashAddRef(TFlashObject* self) {
    return static_cast<IOleObject*>(self->owner)->AddRef();
}
ULONG STDMETHODCALLTYPE FlashRelease(TFlashObject* self) {
    return static_cast<IOleObject*>(self->owner)->Release();
}
HRESULT STDMETHODCALLTYPE FlashGetTypeInfoCount(TFlashObject* self, UINT* count) {
    return static_cast<IDispatch*>(self->owner)->GetTypeInfoCount(count);
}
HRESULT STDMETHODCALLTYPE FlashGetTypeInfo(TFlashObject* self, UINT i, LCID l, ITypeInfo** t) {
    return static_cast<IDispatch*>(self->owner)->GetTypeInfo(i, l, t);
}
HRESULT STDMETHODCALLTYPE FlashGetIDsOfNames(TFlashObject* self, REFIID iid, LPOLESTR* names,
                                             UINT count, LCID l, DISPID* ids) {
    return static_cast<IDispatch*>(self->owner)->GetIDsOfNames(iid, names, count, l, ids);
}
HRESULT STDMETHODCALLTYPE FlashInvoke(TFlashObject* self, DISPID id, REFIID iid, LCID l, WORD f,
                                      DISPPARAMS* p, VARIANT* r, EXCEPINFO* e, UINT* a) {
    return static_cast<IDispatch*>(self->owner)->Invoke(id, iid, l, f, p, r, e, a);
}
template <int N> HRESULT STDMETHODCALLTYPE FlashEarlier(TFlashObject*) {
    return TControl::Unexpected("IShockwaveFlash method " + std::to_string(N + 1));
}
HRESULT STDMETHODCALLTYPE FlashSetVariable(TFlashObject* self, BSTR name, BSTR value) {
    return self->owner->SetVariable(name, value);
}

template <int... N> TFlashVtbl MakeFlashVtbl(std::integer_sequence<int, N...>) {
    return {FlashQueryInterface,   FlashAddRef,          FlashRelease,
            FlashGetTypeInfoCount, FlashGetTypeInfo,     FlashGetIDsOfNames,
            FlashInvoke,           {FlashEarlier<N>...}, FlashSetVariable};
}

const TFlashVtbl flashVtbl =
    MakeFlashVtbl(std::make_integer_sequence<int, MethodsBeforeSetVariable>());

TControl::TControl() : flash_{&flashVtbl, this} {
    ++record.liveObjects;
}

STDMETHODIMP TControl::Load(IPropertyBag* bag, IErrorLog*) {
    // The names the control reads from a property block, as strings.
    static const wchar_t* const names[] = {L"Movie",
                                           L"Src",
                                           L"WMode",
                                           L"Play",
                                           L"Loop",
                                           L"Quality",
                                           L"SAlign",
                                           L"Menu",
                                           L"Base",
                                           L"Scale",
                                           L"DeviceFont",
                                           L"EmbedMovie",
                                           L"BGColor",
                                           L"Quality2",
                                           L"SWRemote",
                                           L"FlashVars",
                                           L"MovieData",
                                           L"AllowNetworking",
                                           L"AllowScriptAccess",
                                           L"AllowFullScreen"};
    std::string given;
    for (const wchar_t* name : names) {
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_BSTR;
        if (FAILED(bag->Read(name, &value, nullptr)))
            continue;
        std::string entry = Utf8(name).substr(1);
        entry.pop_back();
        given += (given.empty() ? "" : ", ") + entry + "=" +
                 (value.vt == VT_BSTR ? Utf8(value.bstrVal) : VariantText(value));
        VariantClear(&value);
    }
    Log("IPersistPropertyBag::Load(" + given + ")");
    return S_OK;
}

STDMETHODIMP TControl::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT*,
                              EXCEPINFO* error, UINT*) {
    std::string call = "IDispatch::Invoke(" + std::to_string(id) + ", ";
    if (!IsEqualIID(iid, IID_NULL))
        call += InterfaceName(iid) + ", ";
    call += flags == DISPATCH_PROPERTYPUT ? "DISPATCH_PROPERTYPUT" : std::to_string(flags);
    for (UINT i = 0; i < params->cNamedArgs; ++i)
        call += params->rgdispidNamedArgs[i] == DISPID_PROPERTYPUT
                    ? ", named DISPID_PROPERTYPUT"
                    : ", named " + std::to_string(params->rgdispidNamedArgs[i]);
    for (UINT i = 0; i < params->cArgs; ++i)
        call += ", " + VariantText(params->rgvarg[i]);
    Log(call + ")");
    if (id != behaviour.failingDispid)
        return S_OK;
    if (behaviour.invokeResult == DISP_E_EXCEPTION && error != nullptr) {
        *error = EXCEPINFO{};
        error->scode = E_FAIL;
        if (behaviour.deferExceptionText)
            error->pfnDeferredFillIn = DeferredFillIn;
        else
            error->bstrDescription = SysAllocString(behaviour.exceptionText.c_str());
        error->bstrSource = SysAllocString(L"Fake Flash");
    }
    return behaviour.invokeResult;
}

// In-place activation as a windowed control does it: ask the site, take its window and
// rectangles, and make a child window there.
HRESULT TControl::Activate(IOleClientSite* site, HWND parent) {
    if (inPlaceSite_ != nullptr)
        return S_OK;
    if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlaceSite_))))
        return E_NOINTERFACE;
    if (inPlaceSite_->CanInPlaceActivate() != S_OK) {
        inPlaceSite_->Release();
        inPlaceSite_ = nullptr;
        return E_FAIL;
    }
    inPlaceSite_->OnInPlaceActivate();
    inPlaceSite_->GetWindow(&record.siteWindow);
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = nullptr;
    OLEINPLACEFRAMEINFO info = {};
    info.cb = sizeof info;
    inPlaceSite_->GetWindowContext(&frame, &document, &record.position, &record.clip, &info);
    record.frameGiven = frame != nullptr;
    record.frameWindow = info.hwndFrame;
    if (frame != nullptr)
        frame->Release();
    if (document != nullptr)
        document->Release();
    const RECT& r = record.position;
    window_ = CreateWindowExA(0, "STATIC", "fake flash", WS_CHILD | WS_VISIBLE, r.left, r.top,
                              r.right - r.left, r.bottom - r.top,
                              record.siteWindow != nullptr ? record.siteWindow : parent, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    record.controlWindow = window_;
    return S_OK;
}

void TControl::Deactivate() {
    if (inPlaceSite_ == nullptr)
        return;
    if (window_ != nullptr)
        DestroyWindow(window_);
    window_ = nullptr;
    record.controlWindow = nullptr;
    inPlaceSite_->OnInPlaceDeactivate();
    inPlaceSite_->Release();
    inPlaceSite_ = nullptr;
}

class TFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is a static object: COM's references to it need no counting.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        Log("IClassFactory::CreateInstance(" + InterfaceName(iid) + ")");
        *out = nullptr;
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        auto* control = new TControl;
        const HRESULT hr = static_cast<IOleObject*>(control)->QueryInterface(iid, out);
        static_cast<IOleObject*>(control)->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

TFactory factory;

} // namespace

std::vector<std::string> TRecord::Calls(std::initializer_list<const char*> prefixes) const {
    std::vector<std::string> selected;
    for (const std::string& call : calls)
        for (const char* prefix : prefixes)
            if (call.rfind(prefix, 0) == 0) {
                selected.push_back(call);
                break;
            }
    return selected;
}

TRegistration::TRegistration(TBehaviour b) {
    if (registered)
        throw std::logic_error("one fake Flash control at a time");
    OleInitialize(nullptr);
    record = TRecord{};
    behaviour = std::move(b);
    const HRESULT hr = CoRegisterClassObject(FlashClass, &factory, CLSCTX_INPROC_SERVER,
                                             REGCLS_MULTIPLEUSE, &cookie_);
    if (FAILED(hr)) {
        OleUninitialize();
        throw std::runtime_error("CoRegisterClassObject failed");
    }
    registered = true;
}

TRegistration::~TRegistration() {
    CoRevokeClassObject(cookie_);
    OleUninitialize();
    registered = false;
}

TRecord& TRegistration::Record() const {
    return record;
}

TBehaviour& TRegistration::Behaviour() const {
    return behaviour;
}

} // namespace fakeflash
