#pragma once
// Builds a whole .dmg file in memory from entries: sorted, without equal
// (code, word) pairs, records packed, prefix index built. Used by the tools
// and by tests that need tables of their own.

#include <cstdint>
#include <string>
#include <vector>

namespace zv {

struct TableEntry {
    std::string code;       // code bytes (empty for word lists)
    std::u16string word;
    uint32_t attributes = 0;  // order value for word lists
};

// Table name and format tag as a built code table carries them.
std::vector<uint8_t> buildCodeTableImage(std::vector<TableEntry> entries, std::u16string_view name = u"系统码表");
std::vector<uint8_t> buildWordListImage(std::vector<TableEntry> entries, std::u16string_view name = u"联想库 ");
// An empty temp.dmg (fixed slots, count 0).
std::vector<uint8_t> buildEmptyTempImage();

// Sorts entries into index order and drops later duplicates of (code, word).
void sortAndDeduplicate(std::vector<TableEntry>& entries, bool wordList);

}  // namespace zv
