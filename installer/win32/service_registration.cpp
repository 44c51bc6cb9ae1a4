#include "installer/win32/service_registration.h"

#include "host/com/com_ptr.h"
#include "host/com/registration.h"
#include "host/com/tsf_declarations.h"
#include "installer/win32/keyboard_layouts.h"
#include "installer/win32/machine.h"
#include "installer/win32/registry.h"

#include <objbase.h>

namespace zv::installer::win32 {

namespace {

// The view the program itself writes, and the other side of a 64-bit Windows.
constexpr RegistryView kOwnView = sizeof(void*) == 8 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
constexpr RegistryView kOtherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

std::wstring tipKey(const std::wstring& guid) { return L"Software\\Microsoft\\CTF\\TIP\\" + guid; }
std::wstring classKey(const std::wstring& guid) { return L"Software\\Classes\\CLSID\\" + guid; }

const std::wstring& ownLibrary(const ServicePlan& p) { return sizeof(void*) == 8 ? p.ime64 : p.ime32; }
const std::wstring& otherLibrary(const ServicePlan& p) { return sizeof(void*) == 8 ? p.ime32 : p.ime64; }

com::ServiceRegistration serviceOf(const ServicePlan& p) {
    com::ServiceRegistration r{};
    CLSIDFromString(p.guid.c_str(), &r.service);
    r.profile = r.service;
    r.language = p.language;
    r.library = ownLibrary(p);
    r.description = p.description;
    r.enabled = p.enabled;
    r.windows8OrLater = p.windows8OrLater;
    return r;
}

void deleteClass(const std::wstring& guid) {
    for (RegistryView view : {kOwnView, kOtherView}) deleteKeyTree(HKEY_LOCAL_MACHINE, classKey(guid), view);
}

// The other side's library as the same class, and the profile copied
// there when the system keeps a separate one for that side.
bool registerOtherSide(const ServicePlan& p) {
    const std::wstring& other = otherLibrary(p);
    if (other.empty() || !is64BitWindows()) return true;
    RegistryKey cls = RegistryKey::create(HKEY_LOCAL_MACHINE, classKey(p.guid), kOtherView);
    RegistryKey server = RegistryKey::create(HKEY_LOCAL_MACHINE, classKey(p.guid) + L"\\InprocServer32", kOtherView);
    if (!cls || !server || !cls.writeText(nullptr, L"zorvanTSF") || !server.writeText(nullptr, other) ||
        !server.writeText(L"ThreadingModel", L"Apartment"))
        return false;
    RegistryKey source = RegistryKey::open(HKEY_LOCAL_MACHINE, tipKey(p.guid), kOwnView);
    if (source && !keyExists(HKEY_LOCAL_MACHINE, tipKey(p.guid), kOtherView)) {
        RegistryKey target = RegistryKey::create(HKEY_LOCAL_MACHINE, tipKey(p.guid), kOtherView);
        if (!target || RegCopyTreeW(source.get(), nullptr, target.get()) != ERROR_SUCCESS) return false;
    }
    return true;
}

}  // namespace

void removeTextService(const ServicePlan& plan) {
    com::unregisterService(serviceOf(plan));
    for (RegistryView view : {kOwnView, kOtherView}) deleteKeyTree(HKEY_LOCAL_MACHINE, tipKey(plan.guid), view);
    deleteClass(plan.guid);
}

void removeInputMethod(const ServicePlan& plan) {
    removeTextService(plan);
    removeKeyboardLayouts(plan.imeFile);
}

RegistrationOutcome registerInputMethod(const ServicePlan& plan) {
    com::ServiceRegistration r = serviceOf(plan);
    {
        // Without the framework's profile object nothing can be registered.
        com::ComPtr<ITfInputProcessorProfiles> profiles;
        if (FAILED(CoCreateInstance(CLSID_TF_InputProcessorProfiles, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_ITfInputProcessorProfiles, profiles.putVoid())))
            return RegistrationOutcome::ComFailure;
        profiles->Unregister(r.service);
    }
    // The rest of an earlier registration: its categories and keys, its
    // classic layout (unless that one is kept), its class.
    com::unregisterService(r);
    for (RegistryView view : {kOwnView, kOtherView}) deleteKeyTree(HKEY_LOCAL_MACHINE, tipKey(plan.guid), view);
    if (plan.installClassic) removeKeyboardLayouts(plan.imeFile);
    deleteClass(plan.guid);

    if (!plan.windows8OrLater) {
        if (plan.installClassic) {
            r.substitute = installKeyboardLayout(ownLibrary(plan), plan.description);
            if (!r.substitute) return RegistrationOutcome::Failed;
        } else {
            const auto kept = layoutsOf(plan.imeFile);
            if (!kept.empty()) r.substitute = layoutHandle(kept.front());
        }
    }
    const HRESULT hr = com::registerService(r);
    if (FAILED(hr)) return hr == CO_E_NOTINITIALIZED ? RegistrationOutcome::ComFailure : RegistrationOutcome::Failed;
    RegistryKey cls = RegistryKey::create(HKEY_LOCAL_MACHINE, classKey(plan.guid), kOwnView);
    if (!cls || !cls.writeText(nullptr, L"zorvanTSF")) return RegistrationOutcome::Failed;
    return registerOtherSide(plan) ? RegistrationOutcome::Done : RegistrationOutcome::Failed;
}

}  // namespace zv::installer::win32
