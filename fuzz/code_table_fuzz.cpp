// A .dmg file from outside: the header, the prefix index, the entry index
// and the records, read through the same view and lookups that a keystroke
// runs, and the integrity check of the configuration program.

#include "config/table_check.h"
#include "engine/code_table.h"
#include "fuzz/fuzz_input.h"

#include <algorithm>
#include <cstring>
#include <string>

using namespace zv;

namespace {

// Codes a user types, plus the wildcard and an empty word key.
const char* const kTypedCodes[] = {"a", "g", "gg", "ggll", "wqvb", "khlg", "z", "~", "\x02", "a\x02"};

void lookUp(const CodeTable& table, const uint8_t* code, uint32_t len) {
    uint32_t first = 0, end = 0;
    table.exactRange(code, len, &first, &end);
    for (uint32_t i = first; i < end && i - first < fuzz::MaxWalk; ++i) table.entry(i).wordText();
    table.prefixRange(code, len, &first, &end);
    for (uint32_t i = first; i < end && i - first < 64; ++i) table.entry(i).wordText();
    table.prefixRangeUnwindowed(code, len, &first, &end);
    const char16_t empty = 0;
    SearchKey key{code, len, &empty, 0};
    table.search(key, 0, table.count());
    table.insertionPoint(key, 0, table.count());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFFFFF0u) return 0;
    const auto fileSize = static_cast<uint32_t>(size);
    // Reading never writes: the views and the checks work on the input itself.
    CodeTable table(const_cast<uint8_t*>(data), fileSize);
    if (table.valid()) {
        for (const char* c : kTypedCodes) lookUp(table, reinterpret_cast<const uint8_t*>(c), std::strlen(c));
        // Codes taken from the table itself reach its equal ranges.
        const uint32_t n = std::min(table.count(), fuzz::MaxWalk);
        for (uint32_t i = 0; i < n; ++i) {
            EntryView e = table.entry(i);
            if (!e.valid()) continue;
            e.wordText();
            if (i < 16 && e.codeLen > 0) lookUp(table, e.code, e.codeLen);
        }
        for (uint32_t k = 0; k < dmg::PrefixSlotCount; k += 97) table.prefixSlot(k);
    }
    const bool sound = config::checkTable(data, fileSize, config::TableKind::Code).empty();
    config::checkTable(data, fileSize, config::TableKind::Temp);
    config::checkTable(data, fileSize, config::TableKind::WordList);
    // Operations that rewrite the prefix index trust a table that passes the
    // check without it; rebuilding must then stay inside the file. A table
    // that passes the whole check already has the index a rebuild writes.
    if (table.valid() && !table.isWordList() && !sound &&
        config::checkTable(data, fileSize, config::TableKind::Code, false).empty()) {
        fuzz::WritableCopy copy(data, size);
        CodeTable writable(copy.data(), fileSize);
        rebuildPrefixIndex(writable);
    }
    return 0;
}
