#include "config/table_import.h"

#include "config/avl_tree.h"
#include "config/prefix_index.h"
#include "config/table_check.h"
#include "config/text_file.h"
#include "config/text_table.h"
#include "config/word_code.h"
#include "engine/bytes.h"
#include "engine/code_table.h"
#include "engine/folder_write.h"
#include "engine/write_journal.h"

#include <cstring>

namespace zv::config {

namespace {

// Records of the new entries, packed one after another.
struct NewEntries {
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> starts;  // in file order
    uint64_t total = 0;

    EntryView view(uint32_t i) const {
        uint32_t s = starts[i];
        uint32_t e = i + 1 < starts.size() ? starts[i + 1] : static_cast<uint32_t>(bytes.size());
        return viewOfRecord(bytes.data() + s, e - s, false);
    }
};

int compareRecords(const EntryView& a, const EntryView& b) {
    uint32_t n = a.codeLen < b.codeLen ? a.codeLen : b.codeLen;
    int c = n ? std::memcmp(a.code, b.code, n) : 0;
    if (c) return c < 0 ? -1 : 1;
    if (a.codeLen != b.codeLen) return a.codeLen < b.codeLen ? -1 : 1;
    n = a.wordLen < b.wordLen ? a.wordLen : b.wordLen;
    for (uint32_t i = 0; i < n; ++i) {
        char16_t x = a.wordUnit(i), y = b.wordUnit(i);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.wordLen != b.wordLen) return a.wordLen < b.wordLen ? -1 : 1;
    return 0;
}

}  // namespace

ImportResult importIntoMainTable(platform::MappedFile& main, std::u16string_view text, const ImportOptions& options) {
    ImportResult result;
    // The whole import is one change: no other writer comes between the
    // search for what exists and the merge.
    FolderWrite hold(main);
    // Offsets of a damaged table cannot be moved safely; refuse before any change.
    if (!main.isOpen() || main.isHeapCopy() || !checkTable(main.data(), main.size(), TableKind::Code, false).empty()) {
        result.status = ImportStatus::DamagedTable;
        return result;
    }

    const TableDirectives directives = readDirectives(text, TableTextMode::Import);
    NewEntries fresh;
    fresh.starts.reserve(4096);
    auto compare = [&fresh](uint32_t a, uint32_t b) { return compareRecords(fresh.view(a), fresh.view(b)); };
    AvlTree<decltype(compare)> tree(compare);

    auto reject = [&](std::u16string_view word, std::u16string_view reason) {
        result.report.push_back(std::u16string(word) + u" ----------" + std::u16string(reason));
    };
    uint64_t total = text.size() ? text.size() : 1, done = 0, lineNo = 0;
    forEachLine(text, [&](std::u16string_view line) {
        done += line.size() + 1;
        if ((++lineNo & 0xFFF) == 0) report(options.progress, done, total);
        if (line.empty() || isComment(line) || isDirective(line)) return;

        std::u16string word;
        LineCode lc;
        size_t tab = line.find(u'\t');
        std::u16string_view sourceWord = tab == std::u16string_view::npos ? line : line.substr(0, tab);
        if (tab != std::u16string_view::npos) {
            word = unescapeWord(sourceWord, TableTextMode::Import);
            if (word.empty() || word.size() > dmg::MaxWordLen ||
                parseLineCode(line.substr(tab + 1), lc) != LineCodeStatus::Ok) {
                reject(sourceWord, u"无法创建词条");
                return;
            }
        } else {
            word.assign(line);
            std::u16string code;
            static const CharCodeTable noCodes;
            WordCodeStatus s = wordCode(word, options.rules, options.danzi ? *options.danzi : noCodes, code);
            if (s == WordCodeStatus::TooLong) {
                reject(sourceWord, u"自动构词长度不能大于30");
                return;
            }
            if (s != WordCodeStatus::Ok || word.size() > dmg::MaxWordLen || !encodeCode(code, lc.code)) {
                reject(sourceWord, u"无法依据构词规则生成目标编码");
                return;
            }
            lc.attributes = 0;
        }

        // Category: the entry's own, else the file's, else the chosen one
        // (or the system category when the whole table was chosen).
        int category = attr::category(lc.attributes);
        if (!lc.categoryGiven)
            category = directives.category != CategoryNone ? directives.category
                       : options.targetCategory ? options.targetCategory
                                                : int(CategorySystem);
        if (options.targetCategory && category != options.targetCategory) {
            reject(sourceWord, u"与所选分类不匹配的词条类别");
            return;
        }
        uint32_t attributes = attr::withCategory(lc.attributes, category);
        if (!lc.orderGiven)
            attributes = (attributes & ~attr::OrderMask) | (directives.globalOrderGiven ? directives.globalOrder : 1024u);

        RecordBuffer rec;
        if (!buildCodeRecord(attributes, lc.code, word, rec)) {
            reject(sourceWord, u"无法创建词条");
            return;
        }
        CodeTable table(main.data(), main.size());
        SearchKey key{rec.bytes + 5, static_cast<uint32_t>(lc.code.size()), word.data(),
                      static_cast<uint32_t>(word.size())};
        int64_t found = table.search(key, 0, table.count());
        if (found > 0) {
            uint8_t* p = main.data() + table.indexSlot(static_cast<uint32_t>(found - 1));
            uint32_t a = rd32(p);
            if (attr::deleted(a)) {
                wr32(p, a & ~attr::DeletedBit);
                reject(sourceWord, u"存在于系统码表，已取消删除标志");
            } else {
                reject(sourceWord, u"已存在于系统码表");
            }
            return;
        }
        uint32_t item = static_cast<uint32_t>(fresh.starts.size());
        fresh.starts.push_back(static_cast<uint32_t>(fresh.bytes.size()));
        fresh.bytes.insert(fresh.bytes.end(), rec.bytes, rec.bytes + rec.size);
        if (tree.insert(item) != decltype(tree)::None) {
            fresh.bytes.resize(fresh.starts.back());
            fresh.starts.pop_back();
            reject(sourceWord, u"重复的定义");
            return;
        }
        fresh.total += rec.size;
    });
    report(options.progress, total, total);

    // The new entries in index order, before the tree goes.
    std::vector<uint32_t> sorted;
    sorted.reserve(fresh.starts.size());
    tree.forEach([&](uint32_t i) { sorted.push_back(i); });
    result.releaser = tree.releaseInBackground();

    const uint32_t k = static_cast<uint32_t>(fresh.starts.size());
    if (k > 0) {
        // The merge may move every record: all of the table is saved first.
        WriteJournal journal(main.path());
        journal.keep(main.data(), 0, main.size());
        if (!journal.seal(main.size())) {
            result.status = ImportStatus::GrowFailed;
            result.notAdded = static_cast<uint32_t>(result.report.size());
            return result;
        }
        CodeTable table(main.data(), main.size());
        uint32_t count = table.count(), low = table.low();
        const uint32_t oldSize = main.size();
        // Room between the index (with its spare slot) and the records.
        int64_t room = int64_t(low) - int64_t(dmg::IndexStart) - 4 - 4 * int64_t(count);
        int64_t need = int64_t(fresh.total) + 4 * int64_t(k);
        if (need > room) {
            uint64_t grow = uint64_t(need - room) + 4096;
            if (oldSize + grow > 0xFFFFFFF0u || !main.resize(static_cast<uint32_t>(oldSize + grow))) {
                result.status = ImportStatus::GrowFailed;
                result.notAdded = static_cast<uint32_t>(result.report.size());
                return result;
            }
            // Move the records to the new end; every offset moves with them.
            uint8_t* b = main.data();
            std::memmove(b + low + grow, b + low, oldSize - low);
            for (uint32_t i = 0; i < count; ++i)
                wr32(b + dmg::IndexStart + 4 * i, rd32(b + dmg::IndexStart + 4 * i) + static_cast<uint32_t>(grow));
            low += static_cast<uint32_t>(grow);
        }
        uint8_t* b = main.data();
        std::vector<uint32_t> placed(k);
        for (uint32_t j = k; j-- > 0;) {
            if ((j & 0xFFF) == 0) report(options.progress, k - j, k);
            EntryView e = fresh.view(j);
            low -= e.recordSize();
            std::memcpy(b + low, fresh.bytes.data() + fresh.starts[j], e.recordSize());
            placed[j] = low;
        }
        // Merge the sorted old index with the sorted new entries, from the end.
        CodeTable grown(b, main.size());
        uint32_t i = count, n = k, w = count + k;
        auto slot = [b](uint32_t at) { return b + dmg::IndexStart + 4 * at; };
        while (n > 0) {
            uint32_t off = placed[sorted[n - 1]];
            if (i > 0 && compareRecords(grown.recordAt(rd32(slot(i - 1))), grown.recordAt(off)) > 0) {
                wr32(slot(--w), rd32(slot(--i)));
            } else {
                wr32(slot(--w), off);
                --n;
            }
        }
        wr32(b, low);
        wr32(b + 4, count + k);
        CodeTable done(b, main.size());
        recomputePrefixIndex(done);
        main.flush();
        journal.finish();
        result.added = k;
    } else {
        main.flush();
    }
    result.notAdded = static_cast<uint32_t>(result.report.size());
    if (!options.reportPath.empty()) {
        std::u16string out;
        for (const auto& line : result.report) out += line + u"\r\n";
        if (!writeTextFile(options.reportPath, out)) result.status = ImportStatus::ReportFailed;
    }
    return result;
}

}  // namespace zv::config
