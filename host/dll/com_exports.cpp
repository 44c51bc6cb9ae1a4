// The COM server exports of the library. The text service registers
// itself through the installer, so the registration exports do nothing.

#include "host/com/class_factory.h"
#include "host/com/object_count.h"

#include <windows.h>
#include <objbase.h>

extern "C" {

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* object) {
    return zv::com::getClassObject(clsid, riid, object);
}

HRESULT WINAPI DllCanUnloadNow() { return zv::com::objectCount() < 0 ? S_OK : S_FALSE; }

HRESULT WINAPI DllRegisterServer() { return S_OK; }

HRESULT WINAPI DllUnregisterServer() { return S_OK; }

}  // extern "C"
