#pragma once
// The .dmi single-character table (character -> code) and the .dms
// conversion tables (phrase -> converted phrase) share one layout: a count,
// offsets sorted by the first string, then pairs of zero-terminated UTF-16
// strings. All offsets are checked against the mapped size.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

struct TextPair {
    uint32_t offset = 0;
    std::u16string first;
    std::u16string second;
};

class PairTable {
public:
    PairTable() = default;
    PairTable(const uint8_t* base, uint32_t size);

    bool valid() const { return valid_; }
    uint32_t count() const { return count_; }
    // The record at offset-list position i; false for a damaged record.
    bool record(uint32_t i, TextPair& out) const;
    // Every record whose first string equals key, in record-address order.
    std::vector<TextPair> lookup(std::u16string_view key) const;
    // Compares the first string of record i with key (unsigned UTF-16 units);
    // a damaged record compares as smaller.
    int compareFirst(uint32_t i, std::u16string_view key) const;

private:
    bool readString(uint32_t off, std::u16string* out, uint32_t* next) const;

    const uint8_t* base_ = nullptr;
    uint32_t size_ = 0;
    uint32_t count_ = 0;
    bool valid_ = false;
};

using CharCodeTable = PairTable;   // danzi.dmi
using ConversionTable = PairTable; // traditional.dms, simplified.dms

// Builds a pair-table file from pairs (sorted here by first string, stable
// for equal ones so that file order follows the input order).
std::vector<uint8_t> buildPairTable(std::vector<std::pair<std::u16string, std::u16string>> pairs);

}  // namespace zv
