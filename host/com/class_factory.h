#pragma once
// The library's one class factory: it makes text services. It has no
// count of its own; its references and locks are the library's object
// count.

#include <windows.h>
#include <unknwn.h>

namespace zv::com {

using CreateFunction = HRESULT (*)(REFIID riid, void** object);

class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(CreateFunction create) : create_(create) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** object) noexcept override;
    STDMETHODIMP_(ULONG) AddRef() noexcept override;
    STDMETHODIMP_(ULONG) Release() noexcept override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) noexcept override;
    STDMETHODIMP LockServer(BOOL lock) noexcept override;

private:
    CreateFunction create_;
};

// The library's class-object export: the factory for the service's class
// only, asked for as IUnknown or IClassFactory.
HRESULT getClassObject(REFCLSID clsid, REFIID riid, void** object) noexcept;

}  // namespace zv::com
