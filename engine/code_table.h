#pragma once
// The .dmg code-table format: header, two-byte prefix index, sorted entry
// index and packed records. Every offset read from a file is checked against
// the mapped size before use; a damaged table answers with nothing.

#include "engine/bytes.h"
#include "engine/code_units.h"
#include "engine/entry_category.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zv {

namespace dmg {
constexpr uint32_t HeaderSize = 136;
constexpr uint32_t PrefixSlotCount = 16512;
constexpr uint32_t PrefixStart = 136;
constexpr uint32_t IndexStart = 66184;  // 136 + 4 * 16512
constexpr uint32_t TypeCodeTable = 1;
constexpr uint32_t TypeWordList = 5;
constexpr uint32_t MaxCodeLen = 128;
constexpr uint32_t MaxWordLen = 128;
constexpr uint32_t MaxRecordSize = MaxCodeLen + 2 * MaxWordLen + 6;
// temp.dmg: 512 fixed slots of 260 bytes after the index.
constexpr uint32_t TempSlotCount = 512;
constexpr uint32_t TempSlotSize = 260;
constexpr uint32_t TempFirstSlot = 68236;  // IndexStart + 4 * 512 + 4
constexpr uint32_t TempFileSize = TempFirstSlot + TempSlotCount * TempSlotSize;  // 201356
// Sentinel bytes of search keys; never stored in a code.
constexpr uint8_t KeyEmptyWord = 0x01;
constexpr uint8_t Wildcard = 0x02;
constexpr uint8_t KeyAfterAll = 0xC8;
}  // namespace dmg


// EntryAttributes: order value, category, fixed and deleted bits.
namespace attr {
constexpr uint32_t OrderMask = 0xFFFF;
constexpr uint32_t FixedBit = 0x40000000;
constexpr uint32_t DeletedBit = 0x80000000;
constexpr uint32_t SortMask = 0x4000FFFF;  // fixed first, then order value
inline uint16_t order(uint32_t a) { return static_cast<uint16_t>(a & OrderMask); }
inline int category(uint32_t a) { return static_cast<int>((a >> 24) & 0x3F); }
inline bool fixed(uint32_t a) { return (a & FixedBit) != 0; }
inline bool deleted(uint32_t a) { return (a & DeletedBit) != 0; }
inline uint32_t make(uint16_t order, int category, bool fixed = false, bool deleted = false) {
    return uint32_t(order) | (uint32_t(category & 0x3F) << 24) | (fixed ? FixedBit : 0) |
           (deleted ? DeletedBit : 0);
}
inline uint32_t withCategory(uint32_t a, int category) {
    return (a & ~(0x3Fu << 24)) | (uint32_t(category & 0x3F) << 24);
}
}  // namespace attr

// Converts text to code bytes, stopping at the first unit that is not a code
// character or after max bytes; returns the number of bytes written.
size_t codeFromText(std::u16string_view text, uint8_t* out, size_t max);
std::string codeFromText(std::u16string_view text);
std::u16string textFromCode(std::string_view code);

// The 110 key characters over which the prefix index is built, in order.
std::u16string_view prefixAlphabet();
// The same characters as code bytes.
const uint8_t* prefixAlphabetBytes(size_t* count);

// One record as found in a mapped table; the pointers are into the mapping.
struct EntryView {
    uint32_t offset = 0;  // 0: no valid record
    uint32_t attributes = 0;
    const uint8_t* code = nullptr;
    uint32_t codeLen = 0;
    const uint8_t* word = nullptr;  // UTF-16LE bytes
    uint32_t wordLen = 0;           // in UTF-16 units

    bool valid() const { return offset != 0; }
    char16_t wordUnit(uint32_t i) const {
        return static_cast<char16_t>(word[2 * i] | word[2 * i + 1] << 8);
    }
    std::u16string wordText() const;
    std::string_view codeBytes() const {
        return {reinterpret_cast<const char*>(code), codeLen};
    }
    uint32_t recordSize() const { return codeLen + 2 * wordLen + 6; }
};

// What a search compares records with: a code and a word.
struct SearchKey {
    const uint8_t* code = nullptr;
    uint32_t codeLen = 0;
    const char16_t* word = nullptr;
    uint32_t wordLen = 0;
};

// Optional replacement for the built-in comparison of codes (negative when
// the record's code sorts before the key's).
using CodeComparator = int (*)(const uint8_t* recordCode, uint32_t recordLen, const uint8_t* keyCode,
                               uint32_t keyLen);

// A view of a mapped .dmg file. Cheap to make; make a new one after the file
// was resized or re-opened.
class CodeTable {
public:
    CodeTable() = default;
    CodeTable(uint8_t* base, uint32_t size);

    // The header is consistent with the mapped size:
    // 66184 + 4 * count <= low <= size and the type is 1 or 5.
    bool valid() const { return valid_; }
    uint8_t* base() const { return base_; }
    uint32_t size() const { return size_; }
    uint32_t count() const { return count_; }
    uint32_t type() const { return type_; }
    uint32_t low() const { return low_; }
    bool isWordList() const { return type_ == dmg::TypeWordList; }

    uint32_t indexSlot(uint32_t i) const { return rd32(base_ + dmg::IndexStart + 4 * i); }
    EntryView entry(uint32_t i) const;  // invalid view for a damaged record
    EntryView recordAt(uint32_t offset) const;

    // Binary search over [lo, hi) of the entry index: 1-based position of an
    // equal entry, or minus the 0-based insertion point.
    int64_t search(const SearchKey& key, uint32_t lo, uint32_t hi, CodeComparator cmp = nullptr) const;
    // Whether [first, end) is still the exact or prefix range of the code:
    // its bounds are checked against the entries beside them.
    bool rangeHolds(const uint8_t* code, uint32_t len, bool prefix, uint32_t first, uint32_t end) const;
    // search() for a key without a word, in a code table.
    int64_t searchCode(const uint8_t* code, uint32_t len, uint32_t lo, uint32_t hi) const;
    uint32_t insertionPoint(const SearchKey& key, uint32_t lo, uint32_t hi) const;
    // The prefix-index window for a code's first one or two bytes; false when
    // the index does not apply (word list, damaged slots).
    bool prefixWindow(const uint8_t* code, uint32_t len, uint32_t* first, uint32_t* end) const;

    // [first, end) of the entries whose code equals, or begins with, code.
    void exactRange(const uint8_t* code, uint32_t len, uint32_t* first, uint32_t* end) const;
    void prefixRange(const uint8_t* code, uint32_t len, uint32_t* first, uint32_t* end) const;
    // Prefix range by two plain binary searches, without the index window.
    void prefixRangeUnwindowed(const uint8_t* code, uint32_t len, uint32_t* first, uint32_t* end) const;

    int32_t prefixSlot(uint32_t k) const;

private:
    uint8_t* base_ = nullptr;
    uint32_t size_ = 0;
    uint32_t count_ = 0;
    uint32_t type_ = 0;
    uint32_t low_ = 0;
    bool valid_ = false;
};

// Sort order of the entry index: code bytes (shorter prefix first), then the
// word as UTF-16 units (shorter prefix first). Negative: record before key.
int compareEntry(const EntryView& e, const SearchKey& key, bool wordList);

// Rebuilds the prefix index from the sorted entry index (code tables only).
void rebuildPrefixIndex(CodeTable& table);

// A record of a code table, built in memory.
struct RecordBuffer {
    uint8_t bytes[dmg::MaxRecordSize + 2];
    uint32_t size = 0;
};
// Builds a code-table record; false when the code is empty or a length is
// out of range.
bool buildCodeRecord(uint32_t attributes, std::string_view code, std::u16string_view word,
                     RecordBuffer& out);
// Builds a word-list record (u32 order value, u8 n, n units).
bool buildWordRecord(uint32_t order, std::u16string_view word, RecordBuffer& out);
// Reads a record from a buffer as a table would (for keys built from records).
EntryView viewOfRecord(const uint8_t* bytes, uint32_t size, bool wordList);

// Initialises an empty table in a buffer of dmg::IndexStart + 4 bytes or more:
// type, name and format tag written, count 0, low = size.
void initEmptyTable(uint8_t* base, uint32_t size, uint32_t type, std::u16string_view name);
// temp.dmg's fixed-slot layout in a buffer of dmg::TempFileSize bytes.
void initTempTable(uint8_t* base);
// Empties a temporary table in place: count 0, low = size, prefix index zero;
// the slot offsets are (re)set to their preset places.
void resetTempTable(uint8_t* base, uint32_t size);

}  // namespace zv
