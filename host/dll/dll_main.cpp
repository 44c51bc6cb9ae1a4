// The library's entry point: process attach and detach only (threads are
// not announced to it).

#include "host/dll/module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH: return zv::host::attachProcess(module) ? TRUE : FALSE;
    case DLL_PROCESS_DETACH: zv::host::detachProcess(); return TRUE;
    default: return TRUE;
    }
}
