// A config.dsc from outside: the section list, the four settings blocks
// found in it, every field read as the settings export reads them, and the
// integrity check of the configuration program.

#include "config/table_check.h"
#include "engine/config_store.h"
#include "engine/settings_text.h"
#include "fuzz/fuzz_input.h"

#include <vector>

using namespace zv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFFFFF0u) return 0;
    std::vector<uint8_t> file(data, data + size);
    const auto fileSize = static_cast<uint32_t>(file.size());
    SettingsBlocks blocks = findBlocks(file.data(), fileSize);
    if (blocks.complete()) {
        writeSettingsText(blocks);
        blocks.ime.pageSize();
        for (int i = 0; i < blocks.dme.comboCount(); ++i) blocks.dme.comboMask(i);
        for (int c = 0; c < 32; ++c) blocks.soft.categoryName(c);
    }
    config::checkConfigStore(file.data(), fileSize);
    return 0;
}
