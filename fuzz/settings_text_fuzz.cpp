// A settings text file from outside (settings import, the advanced editor):
// decoded, applied to the shipped settings, and written back.

#include "config/settings_file.h"
#include "engine/default_store.h"
#include "engine/settings_text.h"
#include "fuzz/fuzz_input.h"

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

using namespace zv;

namespace {

// The lines of a settings text, as a set of views into it.
std::unordered_set<std::u16string_view> linesOf(std::u16string_view text) {
    std::unordered_set<std::u16string_view> lines;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(u'\n', at);
        if (end == std::u16string_view::npos) end = text.size();
        lines.emplace(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<uint8_t> shipped = shippedConfigStore();
    // What the shipped settings write: a line the input left as it was is
    // read back the same way every time, so only the others are.
    static const std::u16string shippedText = [] {
        std::vector<uint8_t> store = shipped;
        return writeSettingsText(findBlocks(store.data(), static_cast<uint32_t>(store.size())));
    }();
    static const std::unordered_set<std::u16string_view> shippedLines = linesOf(shippedText);
    std::u16string text = fuzz::textOf(data, size);
    if (!config::hasSettingsSection(text)) return 0;
    std::vector<uint8_t> store = shipped;
    SettingsBlocks blocks = findBlocks(store.data(), static_cast<uint32_t>(store.size()));
    if (!blocks.complete()) __builtin_trap();
    readSettingsText(blocks, text);
    // What was applied must write out and read back without harm: the
    // section headers and every line that differs from the shipped text.
    const std::u16string written = writeSettingsText(blocks);
    std::u16string changed;
    size_t at = 0;
    while (at < written.size()) {
        size_t end = written.find(u'\n', at);
        if (end == std::u16string::npos) end = written.size();
        std::u16string_view line = std::u16string_view(written).substr(at, end - at);
        if (line.substr(0, 2) == u"[-" || !shippedLines.count(line)) {
            changed += line;
            changed += u'\n';
        }
        at = end + 1;
    }
    readSettingsText(blocks, changed);
    return 0;
}
