// The COM server exports of the library. The text service registers
// itself through the installer, so the registration exports do nothing.

#include <windows.h>
#include <objbase.h>

#include <atomic>

namespace {

// Every COM object of the library counts itself here; the library may be
// unloaded while the count is below zero, where it starts.
std::atomic<long> g_objects{-1};

}  // namespace

extern "C" {

HRESULT WINAPI DllGetClassObject(REFCLSID, REFIID, LPVOID* object) {
    if (object) *object = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT WINAPI DllCanUnloadNow() { return g_objects.load() < 0 ? S_OK : S_FALSE; }

HRESULT WINAPI DllRegisterServer() { return S_OK; }

HRESULT WINAPI DllUnregisterServer() { return S_OK; }

}  // extern "C"
