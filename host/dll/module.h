#pragma once
// What the library holds for the whole process it is loaded into: its
// module handle, one lock, the instance it serves and the system services
// its engines use.

#include "platform/services.h"

#include <windows.h>

#include <string>

namespace zv::host {

// Process attach and detach (DllMain): false fails the load.
bool attachProcess(HINSTANCE module);
void detachProcess();

HINSTANCE moduleHandle();

// The process-wide lock, for what every thread shares (window classes,
// the class factory).
class ProcessLock {
public:
    ProcessLock();
    ~ProcessLock();
    ProcessLock(const ProcessLock&) = delete;
    ProcessLock& operator=(const ProcessLock&) = delete;
};

// The instance this library serves (its string resource 1, the registry
// subkey of its data and installation folders).
std::u16string instanceName();

// The system's registry, clock, shell, dialogs, clipboard and key sender,
// one set for every engine of the process.
const platform::Platform& processServices();

}  // namespace zv::host
