#include "config/table_build.h"

#include "config/avl_tree.h"
#include "config/data_folder.h"
#include "config/prefix_index.h"
#include "engine/bytes.h"
#include "engine/code_table.h"
#include "engine/folder_write.h"
#include "engine/write_journal.h"
#include "platform/mapped_file.h"

#include <cstring>
#include <vector>

namespace zv::config {

namespace {

// ParsedLine, 16 bytes in the scratch file: code position and word position
// (UTF-16 units into the decoded text), attribute word, code length, word
// length, flags.
constexpr uint32_t ParsedLineSize = 16;
constexpr uint8_t LineIsEntry = 1;

struct ParsedLines {
    uint8_t* base = nullptr;

    uint8_t* at(uint32_t i) const { return base + size_t(ParsedLineSize) * i; }
    void put(uint32_t i, uint32_t codePos, uint32_t wordPos, uint32_t attributes, uint32_t codeLen,
             uint32_t wordLen) const {
        uint8_t* p = at(i);
        wr32(p, codePos);
        wr32(p + 4, wordPos);
        wr32(p + 8, attributes);
        p[12] = static_cast<uint8_t>(codeLen);
        p[13] = static_cast<uint8_t>(wordLen);
        p[14] = LineIsEntry;
        p[15] = 0;
    }
    uint32_t codePos(uint32_t i) const { return rd32(at(i)); }
    uint32_t wordPos(uint32_t i) const { return rd32(at(i) + 4); }
    uint32_t attributes(uint32_t i) const { return rd32(at(i) + 8); }
    uint32_t codeLen(uint32_t i) const { return at(i)[12]; }
    uint32_t wordLen(uint32_t i) const { return at(i)[13]; }
    bool isEntry(uint32_t i) const { return at(i)[14] == LineIsEntry; }
    void markDuplicate(uint32_t i) const {
        wr32(at(i) + 8, 0);
        at(i)[14] = 0;
    }
};

// One pass over the text: the lines are counted (line ends plus one; a
// line ends at CR LF, CR or LF) and the directives read, so that they apply
// wherever they stand.
uint32_t scanLines(std::u16string_view text, TableDirectives& d) {
    uint64_t n = 1;
    size_t start = 0;
    const size_t size = text.size();
    for (size_t i = 0; i <= size; ++i) {
        if (i < size && text[i] != u'\r' && text[i] != u'\n') continue;
        if (i - start > DirectivePrefix.size() && text[start] == u'-') {
            std::u16string_view line = text.substr(start, i - start);
            if (isDirective(line)) applyDirective(line.substr(DirectivePrefix.size()), d, TableTextMode::FullBuild);
        }
        if (i == size) break;
        ++n;
        if (text[i] == u'\r' && i + 1 < size && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    return n > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(n);
}

bool startsWith(std::u16string_view s, std::u16string_view p) { return s.substr(0, p.size()) == p; }

std::u16string decimal(uint64_t n) {
    std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

// Unlinks a scratch file when the build ends, whichever way it ends.
struct ScratchFile {
    platform::MappedFile file;
    std::u16string path;
    ~ScratchFile() {
        if (!path.empty()) {
            file.discard();
            platform::removeFile(path);
        }
    }
};

}  // namespace

std::u16string buildStatusMessage(BuildStatus status) {
    switch (status) {
    case BuildStatus::Ok: return {};
    case BuildStatus::NoEntries: return u"源文件中没有可用的词条，主码表未作改动。";
    case BuildStatus::TempInaccessible: return u"访问 %temp%\\zorvan_temp.dmg失败，替换操作无法继续。";
    case BuildStatus::ScratchFailed: return u"无法创建 %temp%\\tq_index_dmgmake.tmp ，替换操作无法继续。";
    case BuildStatus::TempNotCreated: return u"无法创建 %temp%\\zorvan_temp.dmg ，替换操作无法继续。";
    case BuildStatus::MainNotResized: return u"无法重设主码表文件，替换操作无法继续。";
    case BuildStatus::TooLarge: return u"码表过大，替换操作无法继续。";
    }
    return {};
}

std::u16string buildSummary(const BuildResult& r) {
    return u"　　码表信息: \r\n　　  码表大小: " + decimal(r.entryBytes) + u"字节\r\n　　  原始码表行数: " +
           decimal(r.lines) + u"\r\n　　  有效编码行数: " + decimal(r.uniqueEntries);
}

BuildResult buildMainTable(std::u16string text, const BuildOptions& options) {
    BuildResult result;
    const std::u16string tempPath = options.tempFolder + std::u16string(BuildTempTableName);

    // 1. No stale temporary table may survive: it would be taken for this build's.
    if (platform::fileExists(tempPath)) platform::removeFile(tempPath);
    if (platform::fileExists(tempPath)) {
        result.status = BuildStatus::TempInaccessible;
        return result;
    }

    // 2. The scratch file of parsed lines, one record per text line; the
    // directives are read on the way.
    result.lines = scanLines(text, result.directives);
    ScratchFile scratch;
    if (uint64_t(result.lines) * ParsedLineSize > 0xFFFFFFF0u ||
        !scratch.file.create(options.tempFolder + std::u16string(BuildScratchName), result.lines * ParsedLineSize)) {
        scratch.path.clear();
        result.status = BuildStatus::ScratchFailed;
        return result;
    }
    scratch.path = scratch.file.path();
    ParsedLines parsed{scratch.file.data()};

    // 3. Every line, with the directives already known.
    const TableDirectives& d = result.directives;
    const int defaultCategory = d.category == CategoryNone ? CategorySystem : d.category;
    uint32_t counters[256];
    for (uint32_t& c : counters) c = d.initialOrder;

    struct Dropped {
        std::u16string code, word;
    };
    std::vector<Dropped> dropped;
    char16_t* t = text.data();
    const size_t n = text.size();
    size_t pos = 0;
    uint32_t line = 0;
    while (pos <= n && line < result.lines) {
        size_t end = pos;
        while (end < n && t[end] != u'\r' && t[end] != u'\n') ++end;
        const uint32_t index = line++;
        size_t next = end + (end < n && t[end] == u'\r' && end + 1 < n && t[end + 1] == u'\n' ? 2 : 1);
        if ((index & 0x3FFF) == 0) report(options.progress, index, result.lines);

        std::u16string_view whole(t + pos, end - pos);
        size_t start = pos;
        pos = next;
        if (whole.empty()) continue;
        if (startsWith(whole, u"///")) {
            ++start;  // an entry whose word begins with "//"
        } else if (startsWith(whole, u"//") || startsWith(whole, DirectivePrefix)) {
            continue;
        }
        std::u16string_view entry(t + start, end - start);
        size_t tab = entry.find(u'\t');
        auto invalid = [&] {
            ++result.invalidLines;
            if (options.invalidLine) options.invalidLine(index + 1, whole);
        };
        if (tab == std::u16string_view::npos) {
            invalid();
            continue;
        }
        std::u16string_view codeText = entry.substr(tab + 1);
        LineCode lc;
        LineCodeStatus status = parseLineCode(codeText, lc);
        if (status != LineCodeStatus::Ok && status != LineCodeStatus::TooLong) {
            invalid();
            continue;
        }
        size_t wordLen = unescapeWord(t + start, tab, TableTextMode::FullBuild);
        if (wordLen == 0) {
            invalid();
            continue;
        }
        ++result.validLines;
        if (status == LineCodeStatus::TooLong || wordLen > dmg::MaxWordLen) {
            size_t codeEnd = 0;
            while (codeEnd < codeText.size() && codeText[codeEnd] != u'#') ++codeEnd;
            dropped.push_back({std::u16string(codeText.substr(0, codeEnd)), std::u16string(t + start, wordLen)});
            continue;
        }
        // The code bytes replace the code text in place (one unit per byte),
        // so that the tree compares them in the order of the entry index.
        const uint32_t codePos = static_cast<uint32_t>(start + tab + 1);
        for (size_t i = 0; i < lc.code.size(); ++i) t[codePos + i] = static_cast<uint8_t>(lc.code[i]);

        uint32_t attributes = lc.attributes;
        if (!lc.categoryGiven) attributes = attr::withCategory(attributes, defaultCategory);
        uint32_t& counter = counters[static_cast<uint8_t>(lc.code[0])];
        if (counter >= 1025) --counter;
        if (!lc.orderGiven) {
            uint32_t order;
            if (d.globalOrderGiven) {
                order = d.globalOrder;
                if (counter < 0x4000) ++counter;
            } else {
                order = counter > 0xFFFF ? 0xFFFF : counter;
            }
            attributes = (attributes & ~attr::OrderMask) | order;
        }
        if (lc.code.size() > result.longestCode) result.longestCode = static_cast<uint32_t>(lc.code.size());
        parsed.put(index, codePos, static_cast<uint32_t>(start), attributes, static_cast<uint32_t>(lc.code.size()),
                   static_cast<uint32_t>(wordLen));
    }
    report(options.progress, result.lines, result.lines);

    // 4. De-duplicate in a balanced tree ordered by code, then word.
    const char16_t* tc = text.data();
    auto compare = [&parsed, tc](uint32_t a, uint32_t b) {
        const char16_t* ca = tc + parsed.codePos(a);
        const char16_t* cb = tc + parsed.codePos(b);
        uint32_t la = parsed.codeLen(a), lb = parsed.codeLen(b);
        uint32_t m = la < lb ? la : lb;
        for (uint32_t i = 0; i < m; ++i)
            if (ca[i] != cb[i]) return ca[i] < cb[i] ? -1 : 1;
        if (la != lb) return la < lb ? -1 : 1;
        const char16_t* wa = tc + parsed.wordPos(a);
        const char16_t* wb = tc + parsed.wordPos(b);
        la = parsed.wordLen(a);
        lb = parsed.wordLen(b);
        m = la < lb ? la : lb;
        for (uint32_t i = 0; i < m; ++i)
            if (wa[i] != wb[i]) return wa[i] < wb[i] ? -1 : 1;
        if (la != lb) return la < lb ? -1 : 1;
        return 0;
    };
    AvlTree<decltype(compare)> tree(compare, result.validLines);
    uint64_t bytes = 0;  // record bytes of the entries kept
    // The tree's keys: the first four code bytes, then (for codes of at most
    // four bytes, whose order the bytes settle) the first two word units.
    auto keyOf = [&parsed, tc](uint32_t i) {
        const char16_t* code = tc + parsed.codePos(i);
        const uint32_t cl = parsed.codeLen(i), wl = parsed.wordLen(i);
        uint64_t key = 0;
        for (uint32_t k = 0; k < 4; ++k) key = key << 8 | (k < cl ? code[k] : 0);
        uint32_t tail = 0xFFFFFFFFu;
        if (cl <= 4) {
            const char16_t* word = tc + parsed.wordPos(i);
            tail = uint32_t(wl > 0 ? word[0] : 0) << 16 | (wl > 1 ? word[1] : 0);
        }
        return key << 32 | tail;
    };
    for (uint32_t i = 0; i < result.lines; ++i) {
        if ((i & 0x3FFF) == 0) report(options.progress, i, result.lines);
        if (!parsed.isEntry(i)) continue;
        if (tree.insert(i, keyOf(i)) != decltype(tree)::None) {
            parsed.markDuplicate(i);
            ++result.duplicates;
        } else {
            bytes += parsed.codeLen(i) + 2 * parsed.wordLen(i) + 6;
        }
    }

    // 5. Report what cannot be stored; sum the sizes.
    for (const Dropped& x : dropped) {
        ++result.dropped;
        if (options.report) options.report(u"无法识别的编码定义: " + x.code + u" " + x.word);
    }
    PrefixCounts prefixCounts;
    const uint32_t count = static_cast<uint32_t>(tree.size());
    result.uniqueEntries = count;
    result.entryBytes = bytes;

    // 6. The summary.
    if (options.report) options.report(buildSummary(result));
    if (count == 0) {
        result.releaser = tree.releaseInBackground();
        result.status = BuildStatus::NoEntries;
        return result;
    }
    const uint64_t tableSize = uint64_t(dmg::IndexStart) + 4 * uint64_t(count) + 4 + bytes;
    if (tableSize > 0xFFFFFFF0u) {
        result.releaser = tree.releaseInBackground();
        result.status = BuildStatus::TooLarge;
        return result;
    }

    // 7. The temporary table, exactly as large as its entries need, written
    // in index order: the tree order is the index order, so the offset list
    // comes out sorted.
    ScratchFile temp;
    if (!temp.file.create(tempPath, static_cast<uint32_t>(tableSize))) {
        result.releaser = tree.releaseInBackground();
        result.status = BuildStatus::TempNotCreated;
        return result;
    }
    temp.path = tempPath;
    uint8_t* base = temp.file.data();
    const uint32_t size = static_cast<uint32_t>(tableSize);
    const uint32_t low = dmg::IndexStart + 4 * count + 4;
    initEmptyTable(base, size, dmg::TypeCodeTable, u"系统码表");
    wr32(base, low);
    wr32(base + 4, count);
    uint32_t at = low, slot = 0;
    tree.forEach([&](uint32_t i) {
        if ((slot & 0x3FFF) == 0) report(options.progress, slot, count);
        uint8_t* p = base + at;
        const uint32_t cl = parsed.codeLen(i), wl = parsed.wordLen(i);
        const char16_t* code = tc + parsed.codePos(i);
        const char16_t* word = tc + parsed.wordPos(i);
        wr32(p, parsed.attributes(i));
        p[4] = static_cast<uint8_t>(cl);
        for (uint32_t k = 0; k < cl; ++k) p[5 + k] = static_cast<uint8_t>(code[k]);
        p[5 + cl] = static_cast<uint8_t>(wl);
        for (uint32_t k = 0; k < wl; ++k) wr16(p + 6 + cl + 2 * k, word[k]);
        prefixCounts.add(p + 5, cl);
        wr32(base + dmg::IndexStart + 4 * slot++, at);
        at += cl + 2 * wl + 6;
    });
    prefixCounts.write(base);
    result.tableBytes = size;
    result.releaser = tree.releaseInBackground();

    // 8. Copy into main.dmg, which never shrinks: a larger file keeps its
    // size, the entry block goes to its end and every offset moves with it.
    // The table is rewritten whole: what it held is saved first, so that a
    // build cut short leaves the old table, not half of each.
    platform::MappedFile main;
    if (!openTableForWriting(main, options.mainPath, size)) {
        result.status = BuildStatus::MainNotResized;
        return result;
    }
    FolderWrite hold(main);
    WriteJournal journal(main.path());
    journal.keep(main.data(), 0, main.size());
    if (!journal.seal(main.size()) || (main.size() < size && !main.resize(size))) {
        result.status = BuildStatus::MainNotResized;
        return result;
    }
    uint8_t* m = main.data();
    const uint32_t shift = main.size() - size;
    // Only the fields that describe the entries are copied; the rest of the
    // header stays, unless it does not describe a code table at all.
    if (rd32(m + 8) != dmg::TypeCodeTable) std::memcpy(m, base, dmg::HeaderSize);
    wr32(m, low + shift);
    wr32(m + 4, count);
    std::memcpy(m + dmg::PrefixStart, base + dmg::PrefixStart, 4 * dmg::PrefixSlotCount);
    for (uint32_t i = 0; i < count; ++i)
        wr32(m + dmg::IndexStart + 4 * i, rd32(base + dmg::IndexStart + 4 * i) + shift);
    std::memcpy(m + low + shift, base + low, size - low);
    main.close();
    journal.finish();
    return result;
}

}  // namespace zv::config
