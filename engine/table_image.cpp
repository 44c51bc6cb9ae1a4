#include "engine/table_image.h"

#include "engine/bytes.h"
#include "engine/code_table.h"

#include <algorithm>

namespace zv {

void sortAndDeduplicate(std::vector<TableEntry>& entries, bool wordList) {
    auto less = [wordList](const TableEntry& a, const TableEntry& b) {
        if (!wordList) {
            // Unsigned bytes, shorter prefix first.
            int c = a.code.compare(b.code);
            if (c != 0) {
                size_t n = std::min(a.code.size(), b.code.size());
                for (size_t i = 0; i < n; ++i) {
                    auto x = static_cast<uint8_t>(a.code[i]), y = static_cast<uint8_t>(b.code[i]);
                    if (x != y) return x < y;
                }
                return a.code.size() < b.code.size();
            }
        }
        return a.word < b.word;
    };
    std::stable_sort(entries.begin(), entries.end(), less);
    auto same = [wordList](const TableEntry& a, const TableEntry& b) {
        return (wordList || a.code == b.code) && a.word == b.word;
    };
    entries.erase(std::unique(entries.begin(), entries.end(), same), entries.end());
}

namespace {
std::vector<uint8_t> buildImage(std::vector<TableEntry> entries, uint32_t type, std::u16string_view name) {
    const bool wordList = type == dmg::TypeWordList;
    // Drop what cannot be stored rather than writing a broken record.
    std::erase_if(entries, [wordList](const TableEntry& e) {
        if (wordList) return e.word.empty() || e.word.size() > 255;
        return e.code.empty() || e.code.size() > dmg::MaxCodeLen || e.word.size() > dmg::MaxWordLen;
    });
    sortAndDeduplicate(entries, wordList);
    uint64_t records = 0;
    for (auto& e : entries) records += wordList ? 5 + 2 * e.word.size() : e.code.size() + 2 * e.word.size() + 6;
    uint32_t count = static_cast<uint32_t>(entries.size());
    uint32_t low = dmg::IndexStart + 4 * count + 4;  // one spare slot
    std::vector<uint8_t> out(low + records, 0);
    initEmptyTable(out.data(), static_cast<uint32_t>(out.size()), type, name);
    wr32(out.data(), count ? low : static_cast<uint32_t>(out.size()));
    wr32(out.data() + 4, count);
    uint32_t off = low;
    RecordBuffer rec;
    for (uint32_t i = 0; i < count; ++i) {
        const TableEntry& e = entries[i];
        if (wordList)
            buildWordRecord(e.attributes, e.word, rec);
        else
            buildCodeRecord(e.attributes, e.code, e.word, rec);
        std::copy(rec.bytes, rec.bytes + rec.size, out.data() + off);
        wr32(out.data() + dmg::IndexStart + 4 * i, off);
        off += rec.size;
    }
    if (!wordList) {
        CodeTable t(out.data(), static_cast<uint32_t>(out.size()));
        rebuildPrefixIndex(t);
    }
    return out;
}
}  // namespace

std::vector<uint8_t> buildCodeTableImage(std::vector<TableEntry> entries, std::u16string_view name) {
    return buildImage(std::move(entries), dmg::TypeCodeTable, name);
}

std::vector<uint8_t> buildWordListImage(std::vector<TableEntry> entries, std::u16string_view name) {
    return buildImage(std::move(entries), dmg::TypeWordList, name);
}

std::vector<uint8_t> buildEmptyTempImage() {
    std::vector<uint8_t> out(dmg::TempFileSize, 0);
    initTempTable(out.data());
    return out;
}

}  // namespace zv
