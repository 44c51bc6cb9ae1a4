#pragma once
// The data folder the library's engines open, registered for its instance
// in the system registry, for the programs that load the library as the
// framework does.

#include "engine/data_files.h"
#include "platform/registry.h"
#include "tests/desktop/desktop_folder.h"
#include "tests/host/installed_ime.h"
#include "tests/support/data_fixture.h"
#include "ui/skin_package.h"

#include <memory>

namespace zv::test {

struct ServiceData {
    ServiceData() {
        writeDesktopFolder(fx);
        ui::installSkinPackages(sourcePath("resources/skins"), fx.dir.folder());
        registry = platform::openSystemRegistry();
        const std::u16string key = instanceKey(kInstance);
        registry->writeString(platform::Hive::LocalMachine, key, u"IMEName", kInstance);
        registry->writeString(platform::Hive::LocalMachine, key, u"InstallLocation", fx.dir.folder());
        registry->writeString(platform::Hive::LocalMachine, key, u"DataLocation", fx.dir.folder());
    }
    ~ServiceData() { registry->deleteKey(platform::Hive::LocalMachine, instanceKey(kInstance)); }
    ServiceData(const ServiceData&) = delete;
    ServiceData& operator=(const ServiceData&) = delete;

    DataFixture fx;
    std::unique_ptr<platform::Registry> registry;
};

}  // namespace zv::test
