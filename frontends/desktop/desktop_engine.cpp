#include "frontends/desktop/desktop_engine.h"

#include "platform/clock.h"
#include "platform/registry.h"
#include "platform/utf.h"

#include <memory>

namespace zv::desktop {

namespace {

platform::Platform& processServices() {
    static std::unique_ptr<platform::Registry> registry = platform::openSystemRegistry();
    static platform::Platform p = [] {
        platform::Platform s;
        s.registry = registry.get();
        s.clock = &platform::systemClock();
        s.shell = &platform::systemShell();
        s.dialogs = &platform::systemDialogs();
        s.clipboard = &platform::systemClipboard();
        return s;
    }();
    return p;
}

}  // namespace

Engine openDesktopEngine(const std::string& dataFolder) {
    return dataFolder.empty() ? openEngine(kDefaultImeName, processServices())
                              : openEngineFolder(utf8ToUtf16(dataFolder), u"", processServices());
}

}  // namespace zv::desktop
