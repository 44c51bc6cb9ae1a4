#include "config/table_check.h"

#include "config/prefix_index.h"
#include "engine/bytes.h"
#include "engine/code_table.h"
#include "engine/config_store.h"
#include "engine/pair_table.h"
#include "platform/mapped_file.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace zv::config {

namespace {

std::u16string num(uint64_t n) {
    std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}
std::u16string snum(int64_t n) {
    std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

class Problems {
public:
    void add(std::u16string line) {
        if (lines_.size() < MaxProblemsPerFile) lines_.push_back(std::move(line));
        else ++more_;
    }
    // For problems found entry by entry: past the limit a damaged table can
    // have one on every entry, and only their number is reported, so their
    // lines are not even written.
    template <class Line>
    void note(Line&& line) {
        if (lines_.size() < MaxProblemsPerFile) lines_.push_back(line());
        else ++more_;
    }
    std::vector<std::u16string> take() {
        if (more_) lines_.push_back(u"另有 " + num(more_) + u" 处问题");
        return std::move(lines_);
    }
    bool any() const { return !lines_.empty(); }

private:
    std::vector<std::u16string> lines_;
    uint64_t more_ = 0;
};

bool validCodeByte(uint8_t b) { return (b >= 0x0A && b <= 0x19) || (b >= 0x20 && b < 0x80); }

// Code bytes, then word units; shorter prefix first.
int compareViews(const EntryView& a, const EntryView& b, bool wordList) {
    if (!wordList) {
        uint32_t n = std::min(a.codeLen, b.codeLen);
        for (uint32_t i = 0; i < n; ++i)
            if (a.code[i] != b.code[i]) return a.code[i] < b.code[i] ? -1 : 1;
        if (a.codeLen != b.codeLen) return a.codeLen < b.codeLen ? -1 : 1;
    }
    uint32_t n = std::min(a.wordLen, b.wordLen);
    for (uint32_t i = 0; i < n; ++i) {
        char16_t x = a.wordUnit(i), y = b.wordUnit(i);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.wordLen != b.wordLen) return a.wordLen < b.wordLen ? -1 : 1;
    return 0;
}

// Whether a full build computes slot k, over the characters that occur in
// the codes: both one-byte slots of such a character, and both slots of a
// pair of them. It leaves 0 in every other slot.
bool slotComputed(const PrefixCounts& counts, uint32_t k) {
    const uint32_t b = k / 128, r = k % 128;
    if (b < 0x0A || b >= 128 || !counts.occurs(static_cast<uint8_t>(b))) return false;
    auto pairFirst = [&](uint32_t f) { return f >= 0x0A && f < 0x7F && counts.occurs(static_cast<uint8_t>(f)); };
    return r <= 1 || pairFirst(r) || (r > 0 && pairFirst(r - 1));
}

void checkPrefixIndex(const uint8_t* data, const CodeTable& t, bool strict, Problems& p) {
    PrefixCounts counts;
    for (uint32_t i = 0; i < t.count(); ++i) {
        EntryView e = t.entry(i);
        if (e.valid()) counts.add(e.code, e.codeLen);
    }
    // Kept for the thread: a check runs after every import and in loops.
    thread_local std::vector<uint8_t> expected;
    expected.assign(dmg::PrefixStart + 4 * dmg::PrefixSlotCount, 0);
    counts.write(expected.data(), true);
    // Stretches of slots that equal the rebuild are passed over whole; only
    // the others are looked at slot by slot.
    constexpr uint32_t kStretch = 64;
    static_assert(dmg::PrefixSlotCount % kStretch == 0);
    uint32_t wrong = 0;
    for (uint32_t from = 0; from < dmg::PrefixSlotCount; from += kStretch) {
        const uint32_t at = dmg::PrefixStart + 4 * from;
        if (std::memcmp(data + at, expected.data() + at, 4 * kStretch) == 0) continue;
        for (uint32_t k = from; k < from + kStretch; ++k) {
            uint32_t have = rd32(data + dmg::PrefixStart + 4 * k);
            uint32_t want = rd32(expected.data() + dmg::PrefixStart + 4 * k);
            // Where a build computes no range it leaves a zero, which stands
            // for an empty range as well as the value does.
            bool ok = have == want || (have == 0 && !(strict && slotComputed(counts, k)));
            if (ok) continue;
            if (wrong++ < 3)
                p.add(u"前缀索引槽 " + num(k) + u" 为 " + num(have) + u"，重建结果为 " + num(want));
        }
    }
    if (wrong > 3) p.add(u"前缀索引另有 " + num(wrong - 3) + u" 个槽与重建结果不同");
}

}  // namespace

std::vector<std::u16string> checkTable(const uint8_t* data, uint32_t size, TableKind kind, bool prefixIndex) {
    Problems p;
    if (!data || size < dmg::IndexStart) {
        p.add(u"文件过小（" + num(size) + u" 字节），不是码表");
        return p.take();
    }
    const uint32_t low = rd32(data), type = rd32(data + 8);
    const int32_t count = static_cast<int32_t>(rd32(data + 4));
    const uint32_t wantType = kind == TableKind::WordList ? dmg::TypeWordList : dmg::TypeCodeTable;
    if (type != wantType) p.add(u"码表类型为 " + num(type) + u"，应为 " + num(wantType));
    if (kind == TableKind::Temp && size != dmg::TempFileSize)
        p.add(u"文件大小为 " + num(size) + u" 字节，应为 " + num(dmg::TempFileSize));
    if (count < 0 || (kind == TableKind::Temp && count > static_cast<int32_t>(dmg::TempSlotCount)))
        p.add(u"词条数 " + snum(count) + u" 无效");
    else if (dmg::IndexStart + 4ull * static_cast<uint32_t>(count) > low || low > size)
        p.add(u"记录区起点 " + num(low) + u" 与词条数 " + snum(count) + u"、文件大小 " + num(size) + u" 不符");
    if (p.any()) return p.take();

    // The view trusts nothing beyond the header just checked.
    CodeTable t(const_cast<uint8_t*>(data), size);
    const bool wordList = kind == TableKind::WordList;
    bool recordsOk = true;
    EntryView previous;
    for (uint32_t i = 0; i < t.count(); ++i) {
        const uint32_t off = t.indexSlot(i);
        EntryView e = t.recordAt(off);
        bool ok = e.valid();
        if (kind == TableKind::Temp) {
            ok = ok && off >= dmg::TempFirstSlot && (off - dmg::TempFirstSlot) % dmg::TempSlotSize == 0 &&
                 e.recordSize() <= dmg::TempSlotSize;
        } else {
            ok = ok && off >= low;
        }
        if (!ok) {
            p.note([&] { return u"第 " + num(i) + u" 条词条的记录（偏移 " + num(off) + u"）越界或已损坏"; });
            recordsOk = false;
            previous = {};
            continue;
        }
        if (wordList ? e.wordLen == 0 : e.codeLen == 0) p.note([&] { return u"第 " + num(i) + u" 条词条为空"; });
        for (uint32_t k = 0; k < e.codeLen; ++k) {
            if (!validCodeByte(e.code[k])) {
                p.note([&] { return u"第 " + num(i) + u" 条词条的编码含有无效字节 " + num(e.code[k]); });
                break;
            }
        }
        if (int order = previous.valid() ? compareViews(previous, e, wordList) : -1; order >= 0)
            p.note([&] { return u"第 " + num(i) + u" 条词条" + (order == 0 ? u"与前一条重复" : u"排在前一条之前"); });
        previous = e;
    }

    if (kind == TableKind::Temp) {
        // The 512 slot offsets are the preset ones in some order, and the
        // ages of the entries in use are 0..count-1, each once.
        std::vector<bool> slotSeen(dmg::TempSlotCount, false), ageSeen(dmg::TempSlotCount, false);
        for (uint32_t i = 0; i < dmg::TempSlotCount; ++i) {
            uint32_t off = rd32(data + dmg::IndexStart + 4 * i);
            uint32_t k = (off - dmg::TempFirstSlot) / dmg::TempSlotSize;
            if (off < dmg::TempFirstSlot || (off - dmg::TempFirstSlot) % dmg::TempSlotSize || k >= dmg::TempSlotCount ||
                slotSeen[k])
                p.note([&] { return u"槽位 " + num(i) + u" 的偏移 " + num(off) + u" 不是空闲的预设槽位"; });
            else
                slotSeen[k] = true;
        }
        for (uint32_t i = 0; recordsOk && i < t.count(); ++i) {
            uint32_t age = t.entry(i).attributes;
            if (age >= t.count() || ageSeen[age])
                p.note([&] { return u"第 " + num(i) + u" 条临时词的年龄 " + num(age) + u" 不连续"; });
            else ageSeen[age] = true;
        }
    }
    if (prefixIndex && !wordList && recordsOk) checkPrefixIndex(data, t, kind == TableKind::Code, p);
    return p.take();
}

std::vector<std::u16string> checkPairTable(const uint8_t* data, uint32_t size) {
    Problems p;
    PairTable t(data, size);
    if (!t.valid()) {
        p.add(u"文件头与文件大小不符");
        return p.take();
    }
    const uint32_t recordsStart = 4 + 4 * t.count();
    TextPair previous;
    bool havePrevious = false;
    for (uint32_t i = 0; i < t.count(); ++i) {
        TextPair r;
        uint32_t off = rd32(data + 4 + 4 * i);
        if (off < recordsStart || !t.record(i, r)) {
            p.add(u"第 " + num(i) + u" 条记录（偏移 " + num(off) + u"）越界或未结束");
            havePrevious = false;
            continue;
        }
        if (havePrevious && (previous.first > r.first || (previous.first == r.first && previous.offset >= r.offset)))
            p.add(u"第 " + num(i) + u" 条记录未按原文排序");
        previous = std::move(r);
        havePrevious = true;
    }
    return p.take();
}

std::vector<std::u16string> checkConfigStore(const uint8_t* data, uint32_t size) {
    Problems p;
    uint8_t* d = const_cast<uint8_t*>(data);
    const std::pair<std::u16string_view, uint32_t> blocks[] = {
        {ImeSettings::Name, ImeSettings::Size},
        {DmeSettings::Name, DmeSettings::Size},
        {SkinSettings::Name, SkinSettings::Size},
        {SoftSettings::Name, SoftSettings::Size},
    };
    for (auto& [name, minSize] : blocks)
        if (!findBlock(d, size, name, minSize)) p.add(u"缺少设置块 " + std::u16string(name));
    return p.take();
}

std::vector<std::u16string> checkDataFolder(std::u16string_view folder) {
    struct File {
        std::u16string_view name;
        bool required;
        int kind;  // 0 config, 1 main, 2 temp, 3 word list, 4 pair table
    };
    const File files[] = {
        {u"config.dsc", true, 0}, {u"main.dmg", true, 1},        {u"engl.dmg", false, 3},
        {u"temp.dmg", false, 2},  {u"danzi.dmi", false, 4},      {u"sysl.dmg", false, 3},
        {u"traditional.dms", false, 4}, {u"simplified.dms", false, 4},
    };
    std::vector<std::u16string> out;
    for (const File& f : files) {
        std::u16string path = std::u16string(folder) + std::u16string(f.name);
        std::u16string prefix = std::u16string(f.name) + u": ";
        if (!platform::fileExists(path)) {
            if (f.required) out.push_back(prefix + u"文件缺失");
            continue;
        }
        std::string bytes;
        if (!platform::readWholeFile(path, bytes) || bytes.size() > 0xFFFFFFF0u) {
            out.push_back(prefix + u"无法读取");
            continue;
        }
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
        const auto size = static_cast<uint32_t>(bytes.size());
        std::vector<std::u16string> problems;
        switch (f.kind) {
        case 0: problems = checkConfigStore(data, size); break;
        case 1: problems = checkTable(data, size, TableKind::Code); break;
        case 2: problems = checkTable(data, size, TableKind::Temp); break;
        case 3: problems = checkTable(data, size, TableKind::WordList); break;
        default: problems = checkPairTable(data, size); break;
        }
        for (auto& line : problems) out.push_back(prefix + line);
    }
    return out;
}

}  // namespace zv::config
