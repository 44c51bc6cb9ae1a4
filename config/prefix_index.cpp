#include "config/prefix_index.h"

#include "engine/bytes.h"

#include <cstring>

namespace zv::config {

void PrefixCounts::add(const uint8_t* code, uint32_t length) {
    if (length == 0 || code[0] >= 0x80) return;  // sorts after every slot
    for (uint32_t i = 0; i < length; ++i)
        if (code[i] < 0x80) present_[code[i]] = true;
    ++first_[code[0]];
    if (length == 1) ++alone_[code[0]];
    else if (code[1] < 0x80) ++second_[128u * code[0] + code[1]];
}

void PrefixCounts::write(uint8_t* base, bool present) const {
    // through[b]: number of codes whose first byte is at most b.
    uint32_t through[129];
    uint32_t sum = 0;
    for (int b = 0; b < 128; ++b) through[b] = sum += first_[b];
    auto upTo = [&](int b) -> uint32_t { return b < 0 ? 0 : through[b]; };

    bool key[128] = {};
    size_t n = 0;
    const uint8_t* alphabet = prefixAlphabetBytes(&n);
    for (size_t i = 0; i < n; ++i) key[alphabet[i]] = true;
    if (present)
        for (int b = 0; b < 128; ++b) key[b] = key[b] || present_[b];

    uint8_t* slots = base + dmg::PrefixStart;
    std::memset(slots, 0, 4 * dmg::PrefixSlotCount);
    for (int b = 0x0A; b < 128; ++b) {
        if (!key[b]) continue;
        wr32(slots + 4 * (128u * b), upTo(b - 1));
        wr32(slots + 4 * (128u * b + 1), upTo(b));
        // after[x]: position after every code of b whose second byte is at
        // most x, the one-byte code b included.
        uint32_t after = upTo(b - 1) + alone_[b];
        uint32_t afterBelow[129];
        for (int x = 0; x < 128; ++x) {
            afterBelow[x] = after;  // codes of b with second byte below x
            after += second_[128u * b + x];
        }
        afterBelow[128] = after;
        // A second byte of 0x7F has no slot pair of its own: the pair would
        // reach into the next first byte's one-byte slots.
        for (int f = 0x0A; f < 0x7F; ++f) {
            if (!key[f]) continue;
            wr32(slots + 4 * (128u * b + f), afterBelow[f]);
            wr32(slots + 4 * (128u * b + f + 1), afterBelow[f + 1]);
        }
    }
}

void recomputePrefixIndex(CodeTable& table) {
    if (!table.valid() || table.type() != dmg::TypeCodeTable) return;
    PrefixCounts counts;
    for (uint32_t i = 0; i < table.count(); ++i) {
        EntryView e = table.entry(i);
        if (e.valid()) counts.add(e.code, e.codeLen);
    }
    counts.write(table.base());
}

}  // namespace zv::config
