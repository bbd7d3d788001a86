#pragma once

#include <windows.h>

#include <unknwn.h>

#include <tuple>

namespace sys {

// The IUnknown of a COM object made here, answering for Interfaces: made with new and a count
// of one, deleted by its last Release; QueryInterface answers IUnknown and each interface, and
// asks BaseInterface for the bases that two of them share.
template <class... Interfaces> class TComObject : public Interfaces... {
public:
    TComObject(const TComObject&) = delete;
    TComObject& operator=(const TComObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr)
            return E_POINTER;
        using TFirst = std::tuple_element_t<0, std::tuple<Interfaces...>>;
        *out = iid == IID_IUnknown ? static_cast<TFirst*>(this) : Find<Interfaces...>(iid);
        if (*out == nullptr)
            *out = BaseInterface(iid);
        if (*out == nullptr)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return left;
    }

protected:
    TComObject() = default;
    virtual ~TComObject() = default;
    virtual void* BaseInterface(REFIID /*iid*/) { return nullptr; }

private:
    template <class TInterface, class... Rest> void* Find(REFIID iid) {
        if (iid == __uuidof(TInterface))
            return static_cast<TInterface*>(this);
        if constexpr (sizeof...(Rest) > 0)
            return Find<Rest...>(iid);
        else
            return nullptr;
    }

    LONG references_ = 1;
};

} // namespace sys
