#include "host/com/class_factory.h"

#include "host/com/object_count.h"
#include "host/com/service_ids.h"
#include "host/tsf/text_service.h"

#include <new>

namespace zv::com {

STDMETHODIMP ClassFactory::QueryInterface(REFIID riid, void** object) noexcept {
    if (!object) return E_INVALIDARG;
    *object = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory)) return E_NOINTERFACE;
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) ClassFactory::AddRef() noexcept {
    objectCreated();
    return 2;
}

STDMETHODIMP_(ULONG) ClassFactory::Release() noexcept {
    objectReleased();
    return 1;
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object) noexcept {
    if (!object) return E_INVALIDARG;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    try {
        return create_(riid, object);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) noexcept {
    if (lock) objectCreated();
    else objectReleased();
    return S_OK;
}

HRESULT getClassObject(REFCLSID clsid, REFIID riid, void** object) noexcept {
    if (!object) return E_INVALIDARG;
    *object = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory)) return CLASS_E_CLASSNOTAVAILABLE;
    try {
        if (!IsEqualCLSID(clsid, serviceClassId()) || IsEqualCLSID(clsid, GUID_NULL)) return CLASS_E_CLASSNOTAVAILABLE;
    } catch (...) {
        return E_FAIL;
    }
    // The factory holds nothing of its own, so one object made with the
    // library and kept until it is unloaded serves every caller.
    static ClassFactory factory(&tsf::createTextService);
    factory.AddRef();
    *object = static_cast<IClassFactory*>(&factory);
    return S_OK;
}

}  // namespace zv::com
