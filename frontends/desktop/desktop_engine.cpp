#include "frontends/desktop/desktop_engine.h"

#include "platform/registry.h"
#include "platform/utf.h"

#include <memory>

namespace zv::desktop {

namespace {

platform::Platform& processServices() {
    static std::unique_ptr<platform::Registry> registry = platform::openSystemRegistry();
    // Each input context puts itself in as the key sender.
    static platform::Platform p = platform::systemPlatform(registry.get());
    return p;
}

}  // namespace

Engine openDesktopEngine(const std::string& dataFolder) {
    return dataFolder.empty() ? openEngine(kDefaultImeName, processServices())
                              : openEngineFolder(utf8ToUtf16(dataFolder), u"", processServices());
}

}  // namespace zv::desktop
