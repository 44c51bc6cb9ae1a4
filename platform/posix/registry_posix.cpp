#include "platform/registry.h"

#include <cstdlib>

namespace zv::platform {

std::string defaultRegistryFilePath() {
    if (const char* p = std::getenv("ZORVAN_REGISTRY"); p && *p) return p;
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) return std::string(x) + "/zorvan/registry.ini";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/zorvan/registry.ini";
}

std::unique_ptr<Registry> openSystemRegistry() {
    return std::make_unique<FileRegistry>(defaultRegistryFilePath());
}

}  // namespace zv::platform
