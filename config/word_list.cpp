#include "config/word_list.h"

#include "config/avl_tree.h"
#include "config/data_folder.h"
#include "engine/bytes.h"
#include "engine/code_table.h"
#include "engine/folder_write.h"
#include "engine/write_journal.h"
#include "platform/mapped_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zv::config {

WordListResult buildWordList(std::u16string_view text, std::u16string_view targetPath, std::u16string_view tempFolder,
                             const Progress& progress) {
    WordListResult result;
    struct Word {
        uint32_t start, length, order;
    };
    std::vector<Word> words;
    // Order values count down from 65535 per first unit, so that earlier
    // lines rank first.
    std::vector<uint32_t> counters(65536, 65535);

    bool first = true;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        // Runs of CR and LF end a line, so empty lines vanish.
        while (i < n && (text[i] == u'\r' || text[i] == u'\n')) ++i;
        size_t start = i;
        while (i < n && text[i] != u'\r' && text[i] != u'\n' && i - start < WordListLineUnits) ++i;
        if (i == start) break;
        if ((words.size() & 0x3FFF) == 0) report(progress, start, n);
        std::u16string_view line = text.substr(start, i - start);
        if (line.substr(0, 3) == u"///") {
            ++start;
        } else if (line.substr(0, 2) == u"//") {
            continue;
        }
        if (first) {
            result.separator = line.find(u'#') != std::u16string_view::npos;
            first = false;
        }
        uint32_t& c = counters[text[start]];
        if (c > 1) --c;
        words.push_back({static_cast<uint32_t>(start), static_cast<uint32_t>(i - start), c});
    }
    result.lines = static_cast<uint32_t>(words.size());

    auto compare = [&](uint32_t a, uint32_t b) {
        std::u16string_view x = text.substr(words[a].start, words[a].length);
        std::u16string_view y = text.substr(words[b].start, words[b].length);
        return x.compare(y) < 0 ? -1 : x == y ? 0 : 1;
    };
    AvlTree<decltype(compare)> tree(compare, words.size());
    for (uint32_t k = 0; k < words.size(); ++k)
        if (tree.insert(k) != decltype(tree)::None) ++result.duplicates;
    result.words = static_cast<uint32_t>(tree.size());
    if (result.words == 0) {
        result.status = WordListStatus::NoWords;
        return result;
    }
    uint64_t bytes = 0;
    tree.forEach([&](uint32_t k) { bytes += 5 + 2 * uint64_t(words[k].length); });
    const uint64_t size64 = dmg::IndexStart + 4 + 4 * uint64_t(result.words) + bytes;
    if (size64 > 0xFFFFFFF0u) {
        result.status = WordListStatus::TempFailed;
        return result;
    }
    const uint32_t size = static_cast<uint32_t>(size64);

    const std::u16string tempPath = std::u16string(tempFolder) + std::u16string(WordListTempName);
    platform::MappedFile temp;
    if (!temp.create(tempPath, size)) {
        result.status = WordListStatus::TempFailed;
        return result;
    }
    uint8_t* base = temp.data();
    const uint32_t low = dmg::IndexStart + 4 + 4 * result.words;
    initEmptyTable(base, size, dmg::TypeWordList, u"联想库 ");
    wr32(base, low);
    wr32(base + 4, result.words);
    uint32_t at = low, slot = 0;
    tree.forEach([&](uint32_t k) {
        const Word& w = words[k];
        uint8_t* p = base + at;
        wr32(p, w.order);
        p[4] = static_cast<uint8_t>(w.length);
        for (uint32_t u = 0; u < w.length; ++u) wr16(p + 5 + 2 * u, text[w.start + u]);
        wr32(base + dmg::IndexStart + 4 * slot++, at);
        at += 5 + 2 * w.length;
    });
    result.releaser = tree.releaseInBackground();

    platform::MappedFile target;
    if (!openTableForWriting(target, targetPath, size) || (target.size() < size && !target.resize(size))) {
        temp.discard();
        platform::removeFile(tempPath);
        result.status = WordListStatus::TargetFailed;
        return result;
    }
    {
        // The list is written whole over the old one: the old one is saved
        // first, so that a write cut short leaves it as it was.
        FolderWrite hold(target);
        WriteJournal journal(target.path());
        journal.keep(target.data(), 0, std::min(size, target.size()));
        if (!journal.seal(target.size())) {
            temp.discard();
            platform::removeFile(tempPath);
            result.status = WordListStatus::TargetFailed;
            return result;
        }
        std::memcpy(target.data(), base, size);
        target.flush();
        journal.finish();
    }
    target.close();
    temp.discard();
    platform::removeFile(tempPath);
    report(progress, n, n);
    return result;
}

}  // namespace zv::config
