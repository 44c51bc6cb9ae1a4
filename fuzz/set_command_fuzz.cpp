// A settings command "set(section,key=value)" from a macro entry or the
// command line, parsed and applied to the shipped settings.

#include "engine/default_store.h"
#include "engine/set_command.h"
#include "fuzz/fuzz_input.h"
#include "platform/services.h"

#include <vector>

using namespace zv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<uint8_t> shipped = shippedConfigStore();
    static platform::NullServices services;
    std::u16string text = fuzz::textOf(data, size);
    parseSetCommand(text);
    std::vector<uint8_t> store = shipped;
    SettingsBlocks blocks = findBlocks(store.data(), static_cast<uint32_t>(store.size()));
    if (!blocks.complete()) __builtin_trap();
    InstallerLaunch launch{&services, u"/install/", u"{FUZZ}"};
    SetOutcome outcome = runSetCommand(blocks, text, launch);
    setOutcomeText(outcome);
    return 0;
}
