#pragma once
// The IUnknown the library's objects share: each is counted among the
// library's live objects, starts with one reference, is deleted with its
// last, and answers IUnknown with the pointer of its first interface, so
// its identity is the same whichever interface it is asked from. A class
// says which further interfaces it answers in `answer`, and nothing else.

#include "host/com/object_count.h"

#include <windows.h>
#include <unknwn.h>

namespace zv::com {

template <class First, class... Rest>
class ComObject : public First, public Rest..., private CountedObject {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** object) noexcept final {
        if (!object) return E_INVALIDARG;
        *object = IsEqualIID(riid, IID_IUnknown) ? static_cast<First*>(this) : answer(riid);
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept final { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() noexcept final {
        const LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

protected:
    ComObject() noexcept = default;
    virtual ~ComObject() = default;

    // The interface asked for other than IUnknown, cast from this object, or
    // null when it is not one this object answers.
    virtual void* answer(REFIID riid) noexcept = 0;

private:
    LONG refs_ = 1;
};

// A small object that answers one interface (a display attribute, its
// enumerator, an edit session).
template <class Interface>
class SingleInterface : public ComObject<Interface> {
protected:
    explicit SingleInterface(const IID& iid) noexcept : iid_(iid) {}

private:
    void* answer(REFIID riid) noexcept final {
        return IsEqualIID(riid, iid_) ? static_cast<Interface*>(this) : nullptr;
    }

    const IID& iid_;
};

}  // namespace zv::com
