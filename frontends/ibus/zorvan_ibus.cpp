// zorvan-ibus: the input method as an IBus engine. IBus starts it from the
// component description with --ibus; run by hand it registers its own
// component with the running daemon (for trying it out).

#include "frontends/ibus/ibus_engine.h"

#include <ibus.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr const char* kBusName = "org.freedesktop.IBus.Zorvan";

constexpr const char* kUsage =
    "usage: zorvan-ibus [--ibus] [--data FOLDER]\n"
    "  --ibus         started by IBus from the component description\n"
    "  --data FOLDER  the data folder (default: the registered instance's)\n";

IBusComponent* ownComponent(const char* program, const std::string& folder) {
    std::string exec = std::string(program) + " --ibus";
    if (!folder.empty()) exec += " --data '" + folder + "'";
    IBusComponent* c = ibus_component_new(kBusName, "Zorvan Wubi", "1.0", "", "", "", exec.c_str(), "");
    ibus_component_add_engine(c, ibus_engine_desc_new(zv::ibus::kEngineName, "五笔86 (Zorvan)", "Wubi 86 input method",
                                                      "zh_CN", "", "", "", "us"));
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    bool startedByIbus = false;
    std::string folder;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--ibus") == 0) {
            startedByIbus = true;
        } else if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc) {
            folder = argv[++i];
        } else if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            std::fprintf(stderr, "zorvan-ibus: unknown argument %s\n%s", argv[i], kUsage);
            return 2;
        }
    }
    ibus_init();
    IBusBus* bus = ibus_bus_new();
    if (!ibus_bus_is_connected(bus)) {
        std::fputs("zorvan-ibus: cannot reach the IBus daemon (is ibus-daemon running?)\n", stderr);
        return 1;
    }
    g_signal_connect(bus, "disconnected", G_CALLBACK(+[](IBusBus*, gpointer) { ibus_quit(); }), nullptr);
    IBusFactory* factory = ibus_factory_new(ibus_bus_get_connection(bus));
    ibus_factory_add_engine(factory, zv::ibus::kEngineName, zv::ibus::engineType(folder));
    if (startedByIbus) {
        ibus_bus_request_name(bus, kBusName, 0);
    } else if (!ibus_bus_register_component(bus, ownComponent(argv[0], folder))) {
        std::fputs("zorvan-ibus: the IBus daemon refused the component\n", stderr);
        return 1;
    }
    ibus_main();
    return 0;
}
