#include "host/dll/engines.h"

#include "host/dll/module.h"

namespace zv::host {

namespace {

platform::NullServices& declined() {
    static platform::NullServices none;
    return none;
}

}  // namespace

Engine openInstanceEngine(Desktop desktop) {
    if (desktop == Desktop::User) return openEngine(instanceName(), processServices());
    platform::Platform services = processServices();
    services.shell = &declined();
    services.dialogs = &declined();
    return openEngine(instanceName(), services, DataUse::Untouched);
}

}  // namespace zv::host
