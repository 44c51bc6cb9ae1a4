// The functions the service offers the system: its configuration (the
// settings program) and reconversion, which the product does not offer for
// Chinese text (the system is told there is nothing to reconvert).

#include "host/tsf/text_service.h"

#include "host/com/service_ids.h"
#include "host/dll/module.h"

namespace zv::tsf {

namespace {
constexpr wchar_t kDisplayName[] = L"佐文五笔";
}  // namespace

STDMETHODIMP TextService::GetType(GUID* guid) noexcept {
    if (!guid) return E_INVALIDARG;
    return guarded([&]() -> HRESULT {
        *guid = com::serviceClassId();
        return S_OK;
    });
}

STDMETHODIMP TextService::GetDescription(BSTR* description) noexcept { return GetDisplayName(description); }

STDMETHODIMP TextService::GetDisplayName(BSTR* name) noexcept {
    if (!name) return E_INVALIDARG;
    *name = SysAllocString(kDisplayName);
    return *name ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP TextService::GetFunction(REFGUID group, REFIID riid, IUnknown** function) noexcept {
    if (!function) return E_INVALIDARG;
    *function = nullptr;
    if (!IsEqualGUID(group, GUID_NULL)) return E_NOINTERFACE;
    if (!IsEqualIID(riid, __uuidof(ITfFnConfigure)) && !IsEqualIID(riid, __uuidof(ITfFnReconversion)))
        return E_NOINTERFACE;
    return QueryInterface(riid, reinterpret_cast<void**>(function));
}

STDMETHODIMP TextService::Show(HWND, LANGID, REFGUID) noexcept {
    return guarded([&]() -> HRESULT {
        // While active the settings are reached through the service's own
        // menus; from the system's settings the program is started.
        if (active()) return S_OK;
        Engine engine = openEngine(host::instanceName(), host::processServices());
        if (!engine) return E_FAIL;
        const std::u16string program = std::u16string(installFolder(*engine)) + u"config.exe";
        const std::u16string arguments = u"/n '" + std::u16string(instanceName(*engine)) + u"'";
        return services(*engine).shell && services(*engine).shell->run(program, arguments, false) ? S_OK : E_FAIL;
    });
}

STDMETHODIMP TextService::QueryRange(ITfRange*, ITfRange** newRange, BOOL* convertible) noexcept {
    if (newRange) *newRange = nullptr;
    if (!convertible) return E_INVALIDARG;
    *convertible = FALSE;
    return S_OK;
}

STDMETHODIMP TextService::GetReconversion(ITfRange*, ITfCandidateList** list) noexcept {
    // No list to give: an S_OK without one would be a failure reported as
    // success.
    if (list) *list = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TextService::Reconvert(ITfRange*) noexcept { return S_OK; }

}  // namespace zv::tsf
