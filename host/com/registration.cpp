#include "host/com/registration.h"

#include "host/com/com_ptr.h"
#include "host/com/tsf_declarations.h"

#include <objbase.h>

#include <iterator>

namespace zv::com {

namespace {

std::wstring guidText(REFGUID g) {
    wchar_t text[40] = {};
    StringFromGUID2(g, text, 40);
    return text;
}

LONG writeString(HKEY key, const wchar_t* name, const std::wstring& value) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring classKey(REFCLSID c) { return L"CLSID\\" + guidText(c); }

HRESULT registerClass(const ServiceRegistration& r) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, (classKey(r.service) + L"\\InprocServer32").c_str(), 0, nullptr, 0,
                        KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return E_FAIL;
    const bool ok = writeString(key, nullptr, r.library) == ERROR_SUCCESS &&
                    writeString(key, L"ThreadingModel", L"Apartment") == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok ? S_OK : E_FAIL;
}

}  // namespace

// Each one answers for what the service does: it is a keyboard service,
// provides display attributes, behaves in secure mode, works as a UI
// element for UI-less hosts, keeps the input-mode compartment, can be
// created without COM, and on Windows 8 and later runs in immersive
// applications.
std::vector<GUID> serviceCategories(bool windows8OrLater) {
    std::vector<GUID> list = {
        tsf_guid::TipKeyboard,          tsf_guid::DisplayAttributeProvider,   tsf_guid::TipCapSecureMode,
        tsf_guid::TipCapUiElementEnabled, tsf_guid::TipCapInputModeCompartment, tsf_guid::TipCapComless,
    };
    if (windows8OrLater) list.push_back(tsf_guid::TipCapImmersiveSupport);
    return list;
}

// The tray-indicator category was registered by earlier installers.
const GUID* const kEveryServiceCategory[] = {
    &tsf_guid::TipKeyboard,          &tsf_guid::DisplayAttributeProvider,   &tsf_guid::TipCapSecureMode,
    &tsf_guid::TipCapUiElementEnabled, &tsf_guid::TipCapInputModeCompartment, &tsf_guid::TipCapComless,
    &tsf_guid::TipCapImmersiveSupport, &tsf_guid::TipCapSystraySupport,
};
const size_t kEveryServiceCategoryCount = std::size(kEveryServiceCategory);

HRESULT registerService(const ServiceRegistration& r) {
    HRESULT hr = registerClass(r);
    ComPtr<ITfInputProcessorProfiles> profiles;
    ComPtr<ITfCategoryMgr> categories;
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(CLSID_TF_InputProcessorProfiles, nullptr, CLSCTX_INPROC_SERVER,
                              IID_ITfInputProcessorProfiles, profiles.putVoid());
    if (SUCCEEDED(hr)) hr = profiles->Register(r.service);
    if (SUCCEEDED(hr))
        hr = profiles->AddLanguageProfile(r.service, r.language, r.profile, r.description.c_str(),
                                          static_cast<ULONG>(r.description.size()), r.library.c_str(),
                                          static_cast<ULONG>(r.library.size()), static_cast<ULONG>(r.iconIndex));
    // Not every framework knows substitutes; the profile works without one.
    if (SUCCEEDED(hr) && r.substitute) profiles->SubstituteKeyboardLayout(r.service, r.language, r.profile, r.substitute);
    // A new profile starts disabled for the user; the machine's default and
    // the user's choice follow the style.
    if (SUCCEEDED(hr)) hr = profiles->EnableLanguageProfileByDefault(r.service, r.language, r.profile, r.enabled);
    if (SUCCEEDED(hr)) hr = profiles->EnableLanguageProfile(r.service, r.language, r.profile, r.enabled);
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(CLSID_TF_CategoryMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ITfCategoryMgr,
                              categories.putVoid());
    for (const GUID& category : serviceCategories(r.windows8OrLater))
        if (SUCCEEDED(hr)) hr = categories->RegisterCategory(r.service, category, r.service);
    if (FAILED(hr)) unregisterService(r);
    return hr;
}

HRESULT unregisterService(const ServiceRegistration& r) {
    HRESULT result = S_OK;
    ComPtr<ITfCategoryMgr> categories;
    if (SUCCEEDED(CoCreateInstance(CLSID_TF_CategoryMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ITfCategoryMgr,
                                   categories.putVoid())))
        for (const GUID* category : kEveryServiceCategory) categories->UnregisterCategory(r.service, *category, r.service);
    ComPtr<ITfInputProcessorProfiles> profiles;
    if (SUCCEEDED(CoCreateInstance(CLSID_TF_InputProcessorProfiles, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITfInputProcessorProfiles, profiles.putVoid()))) {
        profiles->RemoveLanguageProfile(r.service, r.language, r.profile);
        if (FAILED(profiles->Unregister(r.service))) result = E_FAIL;
    }
    // What the profile left for the user and the class.
    const std::wstring tip = L"Software\\Microsoft\\CTF\\TIP\\" + guidText(r.service);
    RegDeleteTreeW(HKEY_CURRENT_USER, tip.c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, tip.c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, classKey(r.service).c_str());
    return result;
}

}  // namespace zv::com
