#include "host/dll/module.h"

#include "host/dll/resource_ids.h"
#include "host/imm/ui_window.h"
#include "platform/registry.h"
#include "ui/win32/popup_window.h"

#include <memory>

namespace zv::host {

namespace {

HINSTANCE g_module = nullptr;
CRITICAL_SECTION g_lock;
bool g_lockReady = false;

}  // namespace

bool attachProcess(HINSTANCE module) {
    g_module = module;
    // A spin count of 0: the lock guards rare, short work.
    if (!InitializeCriticalSectionAndSpinCount(&g_lock, 0)) return false;
    g_lockReady = true;
    DisableThreadLibraryCalls(module);
    imm::registerUiWindowClass(module);
    ui::win32::registerWindowClasses(module);
    return true;
}

void detachProcess() {
    ui::win32::unregisterWindowClasses(g_module);
    imm::unregisterUiWindowClass(g_module);
    if (g_lockReady) DeleteCriticalSection(&g_lock);
    g_lockReady = false;
}

HINSTANCE moduleHandle() { return g_module; }

ProcessLock::ProcessLock() {
    if (g_lockReady) EnterCriticalSection(&g_lock);
}

ProcessLock::~ProcessLock() {
    if (g_lockReady) LeaveCriticalSection(&g_lock);
}

std::u16string instanceName() {
    // The resource is a registry-form GUID: 38 units and a terminator fit.
    wchar_t buffer[40] = {};
    const int n = LoadStringW(g_module, ZV_STRING_INSTANCE, buffer, 40);
    return std::u16string(buffer, buffer + (n > 0 ? n : 0));
}

const platform::Platform& processServices() {
    // Made on first use (never in DllMain, where the loader lock is held)
    // and kept until the process ends.
    static std::unique_ptr<platform::Registry> registry = platform::openSystemRegistry();
    static const platform::Platform services = platform::systemPlatform(registry.get());
    return services;
}

}  // namespace zv::host
