#pragma once
// The IUnknown of a small object that answers one interface (a display
// attribute, its enumerator, an edit session): counted among the library's
// objects, reference counted, and deleted with its last reference.

#include "host/com/object_count.h"

#include <windows.h>
#include <unknwn.h>

namespace zv::com {

template <class Interface>
class SingleInterface : public Interface, private CountedObject {
public:
    explicit SingleInterface(const IID& iid) noexcept : iid_(iid) {}
    virtual ~SingleInterface() = default;
    SingleInterface(const SingleInterface&) = delete;
    SingleInterface& operator=(const SingleInterface&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** object) noexcept override {
        if (!object) return E_INVALIDARG;
        *object = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, iid_)) return E_NOINTERFACE;
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() noexcept override {
        const LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

private:
    LONG refs_ = 1;
    const IID& iid_;
};

}  // namespace zv::com
