#pragma once
// The prefix index of a code table computed straight from counts of first
// and second code bytes, instead of two binary searches per slot. Every slot
// gets the value the engine's rebuild gives it: the one-byte slots of b hold
// the positions after all codes that begin below b and up to b; a two-byte
// slot 128·b + f holds the position after all codes that begin with b
// followed by a byte below f (or with b alone).

#include "engine/code_table.h"

#include <array>
#include <cstdint>

namespace zv::config {

class PrefixCounts {
public:
    // Adds one code (in index order or not: only counts are kept).
    void add(const uint8_t* code, uint32_t length);
    // Writes the 16512 slots at base + 136. The slots are computed for the
    // key alphabet of the engine and for every byte that occurs in a code,
    // so that the index equals the engine's rebuild whenever the codes stay
    // within the key alphabet, and never leaves a hole for a code byte.
    void write(uint8_t* tableBase) const { write(tableBase, true); }
    // With present = false only the engine's key alphabet is used, exactly
    // as the engine's rebuild does (for checking an index against it).
    void write(uint8_t* tableBase, bool present) const;
    // Whether the byte occurs anywhere in a code added.
    bool occurs(uint8_t b) const { return b < 128 && present_[b]; }

private:
    // In place rather than on the heap: a check or build counts once per
    // table, and the table check runs after every import and in loops.
    std::array<uint32_t, 128> first_{};         // by first byte (0..127)
    std::array<uint32_t, 128> alone_{};         // one-byte codes, by that byte
    std::array<uint32_t, 128 * 128> second_{};  // 128 * first + second
    bool present_[128] = {};
};

// Recomputes the prefix index of a code table from its entries.
void recomputePrefixIndex(CodeTable& table);

}  // namespace zv::config
