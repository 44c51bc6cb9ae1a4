// A settings text file from outside (settings import, the advanced editor):
// decoded, applied to the shipped settings, and written back.

#include "config/settings_file.h"
#include "engine/default_store.h"
#include "engine/settings_text.h"
#include "fuzz/fuzz_input.h"

#include <vector>

using namespace zv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<uint8_t> shipped = shippedConfigStore();
    std::u16string text = fuzz::textOf(data, size);
    if (!config::hasSettingsSection(text)) return 0;
    std::vector<uint8_t> store = shipped;
    SettingsBlocks blocks = findBlocks(store.data(), static_cast<uint32_t>(store.size()));
    if (!blocks.complete()) __builtin_trap();
    readSettingsText(blocks, text);
    // What was applied must write out and read back without harm.
    readSettingsText(blocks, writeSettingsText(blocks));
    return 0;
}
