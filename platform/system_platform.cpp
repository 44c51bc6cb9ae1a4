#include "platform/services.h"

#include "platform/clock.h"

namespace zv::platform {

Platform systemPlatform(Registry* registry) {
    Platform s;
    s.registry = registry;
    s.clock = &systemClock();
    s.shell = &systemShell();
    s.dialogs = &systemDialogs();
    s.clipboard = &systemClipboard();
    s.keys = &systemKeySender();
    return s;
}

}  // namespace zv::platform
