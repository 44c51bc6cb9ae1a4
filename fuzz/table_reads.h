#pragma once
// What a keystroke reads of a code table, for the table targets: the exact
// and prefix ranges of the codes a user types and of codes taken from the
// table itself, the records they reach, searches and insertion points.

#include "engine/code_table.h"
#include "fuzz/fuzz_input.h"

#include <algorithm>
#include <cstring>

namespace zv::fuzz {

inline void lookUp(const CodeTable& table, const uint8_t* code, uint32_t len) {
    uint32_t first = 0, end = 0;
    table.exactRange(code, len, &first, &end);
    for (uint32_t i = first; i < end && i - first < MaxWalk; ++i) table.entry(i).wordText();
    table.prefixRange(code, len, &first, &end);
    for (uint32_t i = first; i < end && i - first < 64; ++i) table.entry(i).wordText();
    table.prefixRangeUnwindowed(code, len, &first, &end);
    const char16_t empty = 0;
    SearchKey key{code, len, &empty, 0};
    table.search(key, 0, table.count());
    table.insertionPoint(key, 0, table.count());
}

// Reads a table the way typing does; a table that is not valid is left alone.
inline void readAsTyping(const CodeTable& table) {
    if (!table.valid()) return;
    // Codes a user types, plus the wildcard and an empty word key.
    static const char* const kTypedCodes[] = {"a", "g", "gg", "ggll", "wqvb", "khlg", "z", "~", "\x02", "a\x02"};
    for (const char* c : kTypedCodes) lookUp(table, reinterpret_cast<const uint8_t*>(c), std::strlen(c));
    // Codes taken from the table itself reach its equal ranges.
    const uint32_t n = std::min(table.count(), MaxWalk);
    for (uint32_t i = 0; i < n; ++i) {
        EntryView e = table.entry(i);
        if (!e.valid()) continue;
        e.wordText();
        if (i < 16 && e.codeLen > 0) lookUp(table, e.code, e.codeLen);
    }
    for (uint32_t k = 0; k < dmg::PrefixSlotCount; k += 97) table.prefixSlot(k);
}

}  // namespace zv::fuzz
