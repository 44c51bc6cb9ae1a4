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

// Lines are told apart by a hash of their units: comparing them as strings
// took a sixth of each run.
uint64_t lineHash(const char16_t* p, size_t n) {
    uint64_t h = 14695981039346656037ull;
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

// Calls f(start, length) for each line of a text.
template <class F>
void forLines(const std::u16string& text, F&& f) {
    const char16_t* p = text.data();
    const size_t n = text.size();
    size_t start = 0;
    for (size_t i = 0; i <= n; ++i) {
        if (i == n || p[i] == u'\n') {
            if (i > start || i < n) f(p + start, i - start);
            start = i + 1;
        }
    }
}

std::unordered_set<uint64_t> lineHashes(const std::u16string& text) {
    std::unordered_set<uint64_t> hashes;
    forLines(text, [&](const char16_t* p, size_t n) { hashes.insert(lineHash(p, n)); });
    return hashes;
}

// The section headers of a written text and every line that the shipped
// settings do not write.
std::u16string changedLines(const std::u16string& written, const std::unordered_set<uint64_t>& shipped) {
    std::u16string out;
    forLines(written, [&](const char16_t* p, size_t n) {
        const bool header = n >= 2 && p[0] == u'[' && p[1] == u'-';
        if (header || !shipped.count(lineHash(p, n))) {
            out.append(p, n);
            out.push_back(u'\n');
        }
    });
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<uint8_t> shipped = shippedConfigStore();
    // What the shipped settings write: a line the input left as it was is
    // read back the same way every time, so only the others are.
    static const std::unordered_set<uint64_t> shippedLines = [] {
        std::vector<uint8_t> store = shipped;
        return lineHashes(writeSettingsText(findBlocks(store.data(), static_cast<uint32_t>(store.size()))));
    }();
    std::u16string text = fuzz::textOf(data, size);
    if (!config::hasSettingsSection(text)) return 0;
    std::vector<uint8_t> store = shipped;
    SettingsBlocks blocks = findBlocks(store.data(), static_cast<uint32_t>(store.size()));
    if (!blocks.complete()) __builtin_trap();
    readSettingsText(blocks, text);
    // What was applied must write out and read back without harm.
    readSettingsText(blocks, changedLines(writeSettingsText(blocks), shippedLines));
    return 0;
}
