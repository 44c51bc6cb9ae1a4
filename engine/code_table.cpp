#include "engine/code_table.h"

#include "engine/bytes.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zv {

size_t codeFromText(std::u16string_view text, uint8_t* out, size_t max) {
    size_t n = 0;
    for (char16_t u : text) {
        if (n >= max || n >= 255) break;
        uint8_t b = codeByteFromUnit(u);
        if (!b) break;
        out[n++] = b;
    }
    return n;
}

std::string codeFromText(std::u16string_view text) {
    uint8_t buf[256];
    size_t n = codeFromText(text, buf, sizeof buf);
    return std::string(reinterpret_cast<const char*>(buf), n);
}

std::u16string textFromCode(std::string_view code) {
    std::u16string out;
    out.reserve(code.size());
    for (char c : code) {
        char16_t u = unitFromCodeByte(static_cast<uint8_t>(c));
        if (!u) break;
        out.push_back(u);
    }
    return out;
}

std::u16string_view prefixAlphabet() {
    static const char16_t kAlphabet[] =
        u"abcdefghijklmnopqrstuvwxyz1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ`-=[]\\;',./~!@#$%^&*()_+{}|:\"<>?"
        u"１２３４５６７８９０＊／＋－． ";
    return {kAlphabet, sizeof kAlphabet / sizeof kAlphabet[0] - 1};
}

const uint8_t* prefixAlphabetBytes(size_t* count) {
    static const auto bytes = [] {
        std::string b;
        for (char16_t u : prefixAlphabet()) b.push_back(static_cast<char>(codeByteFromUnit(u)));
        return b;
    }();
    *count = bytes.size();
    return reinterpret_cast<const uint8_t*>(bytes.data());
}

std::u16string EntryView::wordText() const {
    std::u16string s(wordLen, u'\0');
    for (uint32_t i = 0; i < wordLen; ++i) s[i] = wordUnit(i);
    return s;
}

CodeTable::CodeTable(uint8_t* base, uint32_t size) : base_(base), size_(size) {
    if (!base || size < dmg::IndexStart) return;
    low_ = rd32(base);
    int32_t count = static_cast<int32_t>(rd32(base + 4));
    type_ = rd32(base + 8);
    if (count < 0 || (type_ != dmg::TypeCodeTable && type_ != dmg::TypeWordList)) return;
    uint64_t indexEnd = dmg::IndexStart + 4ull * static_cast<uint32_t>(count);
    if (indexEnd > low_ || low_ > size) return;
    count_ = static_cast<uint32_t>(count);
    valid_ = true;
}


EntryView CodeTable::recordAt(uint32_t off) const {
    EntryView e;
    if (!valid_ || off < dmg::IndexStart || off > size_ || size_ - off < 5) return e;
    const uint8_t* p = base_ + off;
    uint32_t room = size_ - off;
    if (type_ == dmg::TypeWordList) {
        uint32_t n = p[4];
        if (5 + 2 * n > room) return e;
        e.word = p + 5;
        e.wordLen = n;
    } else {
        uint32_t cl = p[4];
        if (cl == 0 || cl > dmg::MaxCodeLen || 6 + cl > room) return e;
        uint32_t wl = p[5 + cl];
        if (wl > dmg::MaxWordLen || 6 + cl + 2 * wl > room) return e;
        e.code = p + 5;
        e.codeLen = cl;
        e.word = p + 6 + cl;
        e.wordLen = wl;
    }
    e.attributes = rd32(p);
    e.offset = off;
    return e;
}

EntryView CodeTable::entry(uint32_t i) const {
    if (!valid_ || i >= count_) return {};
    return recordAt(indexSlot(i));
}

int compareEntry(const EntryView& e, const SearchKey& k, bool wordList) {
    if (!wordList) {
        uint32_t n = std::min(e.codeLen, k.codeLen);
        if (n) {
            int c = std::memcmp(e.code, k.code, n);
            if (c) return c;
        }
        if (e.codeLen != k.codeLen) return e.codeLen < k.codeLen ? -1 : 1;
    }
    uint32_t n = std::min(e.wordLen, k.wordLen);
    for (uint32_t i = 0; i < n; ++i) {
        char16_t a = e.wordUnit(i), b = k.word[i];
        if (a != b) return a < b ? -1 : 1;
    }
    if (e.wordLen != k.wordLen) return e.wordLen < k.wordLen ? -1 : 1;
    return 0;
}

namespace {
// Word comparison used with a custom code comparator: an empty key word, or
// a key word that is a proper prefix of the record's, counts as smaller.
int compareWordsForComparator(const EntryView& e, const SearchKey& k) {
    if (k.wordLen == 0) return 1;
    uint32_t n = std::min(e.wordLen, k.wordLen);
    for (uint32_t i = 0; i < n; ++i) {
        char16_t a = e.wordUnit(i), b = k.word[i];
        if (a != b) return a < b ? -1 : 1;
    }
    if (k.wordLen < e.wordLen) return 1;
    if (k.wordLen > e.wordLen) return -1;
    return 0;
}
}  // namespace

namespace {
// Classic halving over [lo, hi): the 1-based position of an entry that
// compares equal, or minus the insertion point.
template <class CompareAt>
int64_t halve(uint32_t lo, uint32_t hi, CompareAt compareAt) {
    while (lo < hi) {
        const uint32_t mid = lo + (hi - lo) / 2;
        const int c = compareAt(mid);
        if (c == 0) return static_cast<int64_t>(mid) + 1;
        if (c < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return -static_cast<int64_t>(lo);
}
}  // namespace

int64_t CodeTable::search(const SearchKey& key, uint32_t lo, uint32_t hi, CodeComparator cmp) const {
    if (!valid_) return 0;
    hi = std::min(hi, count_);
    if (lo > hi) lo = hi;
    // An unreadable record compares as smaller than every key, which keeps
    // the search inside the index whatever the bytes.
    const bool wordList = isWordList();
    if (!wordList && !cmp && key.wordLen == 0) return searchCode(key.code, key.codeLen, lo, hi);
    return halve(lo, hi, [&](uint32_t mid) {
        EntryView e = entry(mid);
        if (!e.valid()) return -1;
        if (cmp && !wordList) {
            const int c = cmp(e.code, e.codeLen, key.code, key.codeLen);
            return c != 0 ? c : compareWordsForComparator(e, key);
        }
        return compareEntry(e, key, wordList);
    });
}

int64_t CodeTable::searchCode(const uint8_t* code, uint32_t len, uint32_t lo, uint32_t hi) const {
    if (!valid_) return 0;
    hi = std::min(hi, count_);
    if (lo > hi) lo = hi;
    // The same search with the record read in place: the range searches of
    // every keystroke come here. A record that entry() would not read
    // compares as smaller; an entry's non-empty word makes it larger than
    // the key's empty one.
    const uint8_t* index = base_ + dmg::IndexStart;
    return halve(lo, hi, [&](uint32_t mid) {
        const uint32_t off = rd32(index + 4 * mid);
        if (off < dmg::IndexStart || off > size_ || size_ - off < 6) return -1;
        const uint8_t* p = base_ + off;
        const uint32_t room = size_ - off, cl = p[4];
        if (cl == 0 || cl > dmg::MaxCodeLen || 6 + cl > room) return -1;
        const uint32_t wl = p[5 + cl];
        if (wl > dmg::MaxWordLen || 6 + cl + 2 * wl > room) return -1;
        const uint32_t n = std::min(cl, len);
        for (uint32_t k = 0; k < n; ++k)
            if (p[5 + k] != code[k]) return p[5 + k] < code[k] ? -1 : 1;
        if (cl != len) return cl < len ? -1 : 1;
        return wl != 0 ? 1 : 0;
    });
}

uint32_t CodeTable::insertionPoint(const SearchKey& key, uint32_t lo, uint32_t hi) const {
    int64_t r = search(key, lo, hi);
    return static_cast<uint32_t>(r > 0 ? r - 1 : -r);
}

int32_t CodeTable::prefixSlot(uint32_t k) const {
    if (!valid_ || k >= dmg::PrefixSlotCount) return 0;
    return static_cast<int32_t>(rd32(base_ + dmg::PrefixStart + 4 * k));
}

bool CodeTable::prefixWindow(const uint8_t* code, uint32_t len, uint32_t* first, uint32_t* end) const {
    if (!valid_ || type_ != dmg::TypeCodeTable || len == 0 || code[0] >= 0x80) return false;
    uint32_t slot = 128u * code[0];
    if (len >= 2) {
        if (code[1] >= 0x7F) return false;
        slot += code[1];
    }
    int32_t a = prefixSlot(slot), b = prefixSlot(slot + 1);
    // Slots that do not describe a range of this index are not trusted.
    if (a < 0 || b < a || static_cast<uint32_t>(b) > count_) return false;
    // A build leaves 0 in the slots it did not compute (those of characters
    // that occur in no code), so a window that starts at 0 is used only when
    // it is the prefix's own range.
    if (a == 0 && b > 0 && !rangeHolds(code, len >= 2 ? 2 : 1, true, 0, static_cast<uint32_t>(b))) return false;
    *first = static_cast<uint32_t>(a);
    *end = static_cast<uint32_t>(b);
    return true;
}

namespace {
// Key c1..c(n-1), cn-1, 0xC8: its insertion point is the first entry whose
// code is at least c1..cn.
uint32_t rangeStart(const CodeTable& t, const uint8_t* code, uint32_t len, uint32_t lo, uint32_t hi) {
    uint8_t buf[dmg::MaxCodeLen + 2];
    std::memcpy(buf, code, len);
    buf[len - 1] = static_cast<uint8_t>(buf[len - 1] - 1);
    buf[len] = dmg::KeyAfterAll;
    return t.insertionPoint(SearchKey{buf, len + 1, nullptr, 0}, lo, hi);
}
}  // namespace

namespace {
// The end of a run of matching entries that starts at first: a short walk
// covers the usual handful of entries of one code, a binary search the
// long runs and every prefix.
uint32_t runEnd(const CodeTable& t, uint32_t first, uint32_t hi, const uint8_t* code, uint32_t len, bool prefix) {
    uint8_t buf[dmg::MaxCodeLen + 2];
    std::memcpy(buf, code, len);
    buf[len] = prefix ? dmg::KeyAfterAll : dmg::KeyEmptyWord;
    // The entry after the run is the first one the key sorts before.
    uint32_t i = first;
    for (int steps = 0; !prefix && i < hi && steps < 4; ++i, ++steps)
        if (t.searchCode(buf, len + 1, i, i + 1) != -static_cast<int64_t>(i + 1)) return i;
    if (i >= hi) return hi;
    return t.insertionPoint(SearchKey{buf, len + 1, nullptr, 0}, i, hi);
}
}  // namespace

bool CodeTable::rangeHolds(const uint8_t* code, uint32_t len, bool prefix, uint32_t first, uint32_t end) const {
    if (!valid_ || len == 0 || len > dmg::MaxCodeLen || first > end || end > count_) return false;
    // A bound holds when the entry before it sorts below its key and the
    // entry at it above: what the binary search would find again.
    auto isInsertionPoint = [&](const uint8_t* key, uint32_t keyLen, uint32_t at) {
        const int64_t notFound = -static_cast<int64_t>(at);
        return (at == 0 || searchCode(key, keyLen, at - 1, at) == notFound) &&
               (at == count_ || searchCode(key, keyLen, at, at + 1) == notFound);
    };
    uint8_t key[dmg::MaxCodeLen + 2];
    std::memcpy(key, code, len);
    key[len - 1] = static_cast<uint8_t>(key[len - 1] - 1);
    key[len] = dmg::KeyAfterAll;
    if (!isInsertionPoint(key, len + 1, first)) return false;
    key[len - 1] = code[len - 1];
    key[len] = prefix ? dmg::KeyAfterAll : dmg::KeyEmptyWord;
    return isInsertionPoint(key, len + 1, end);
}

void CodeTable::exactRange(const uint8_t* code, uint32_t len, uint32_t* first, uint32_t* end) const {
    *first = *end = 0;
    if (!valid_ || len == 0 || len > dmg::MaxCodeLen) return;
    uint32_t lo = 0, hi = count_;
    if (!prefixWindow(code, len, &lo, &hi)) {
        lo = 0;
        hi = count_;
    }
    *first = rangeStart(*this, code, len, lo, hi);
    *end = runEnd(*this, *first, hi, code, len, false);
}

void CodeTable::prefixRange(const uint8_t* code, uint32_t len, uint32_t* first, uint32_t* end) const {
    *first = *end = 0;
    if (!valid_ || len == 0 || len > dmg::MaxCodeLen) return;
    uint32_t lo = 0, hi = count_;
    if (prefixWindow(code, len, &lo, &hi)) {
        if (len <= 2) {
            *first = lo;
            *end = hi;
            return;
        }
    } else {
        lo = 0;
        hi = count_;
    }
    *first = rangeStart(*this, code, len, lo, hi);
    *end = runEnd(*this, *first, hi, code, len, true);
}

void CodeTable::prefixRangeUnwindowed(const uint8_t* code, uint32_t len, uint32_t* first, uint32_t* end) const {
    *first = *end = 0;
    if (!valid_ || len == 0 || len > dmg::MaxCodeLen) return;
    uint8_t buf[dmg::MaxCodeLen + 2];
    std::memcpy(buf, code, len);
    buf[len] = dmg::KeyAfterAll;
    *end = insertionPoint(SearchKey{buf, len + 1, nullptr, 0}, 0, count_);
    *first = rangeStart(*this, code, len, 0, *end);
}

void rebuildPrefixIndex(CodeTable& t) {
    if (!t.valid() || t.type() != dmg::TypeCodeTable) return;
    // Count the entries by their first two bytes; in index order a one-byte
    // code comes before every longer code with the same first byte. The
    // slots are then the bounds of each one- and two-byte prefix, exactly what
    // binary searches for the sentinel keys would give on a sorted index.
    constexpr int kNone = 0;  // column of one-byte codes; byte f is column f + 1
    // Kept for the thread and all zero between rebuilds: the rebuild follows
    // every added word, and clearing a quarter megabyte each time took longer
    // than the count itself. Only the rows of first bytes that occur are
    // cleared again at the end.
    thread_local std::vector<uint32_t> counts(256 * 257, 0);
    uint32_t rowTotal[256] = {};
    for (uint32_t i = 0; i < t.count(); ++i) {
        EntryView e = t.entry(i);
        if (!e.valid()) {
            ++counts[kNone];  // an unreadable record sorts before everything
            ++rowTotal[0];
            continue;
        }
        int column = e.codeLen > 1 ? e.code[1] + 1 : kNone;
        ++counts[e.code[0] * 257 + column];
        ++rowTotal[e.code[0]];
    }
    uint32_t firstOf[257];  // first index of each first byte, and the end
    uint32_t total = 0;
    for (int b = 0; b < 256; ++b) {
        firstOf[b] = total;
        total += rowTotal[b];
    }
    firstOf[256] = total;
    uint8_t* slots = t.base() + dmg::PrefixStart;
    std::memset(slots, 0, 4 * dmg::PrefixSlotCount);
    size_t n = 0;
    const uint8_t* alphabet = prefixAlphabetBytes(&n);
    for (size_t i = 0; i < n; ++i) {
        const uint8_t b = alphabet[i];
        wr32(slots + 4 * (128u * b), firstOf[b]);
        wr32(slots + 4 * (128u * b + 1), firstOf[b + 1]);
        // Running start of each second byte within b's range.
        uint32_t before[256];
        uint32_t run = firstOf[b] + counts[b * 257 + kNone];
        for (int f = 0; f < 256; ++f) {
            before[f] = run;
            run += counts[b * 257 + f + 1];
        }
        for (size_t j = 0; j < n; ++j) {
            const uint8_t f = alphabet[j];
            wr32(slots + 4 * (128u * b + f), before[f]);
            wr32(slots + 4 * (128u * b + f + 1), before[f] + counts[b * 257 + f + 1]);
        }
    }
    for (int b = 0; b < 256; ++b)
        if (rowTotal[b]) std::fill_n(counts.begin() + b * 257, 257, 0u);
}

bool buildCodeRecord(uint32_t attributes, std::string_view code, std::u16string_view word, RecordBuffer& out) {
    if (code.empty() || code.size() > dmg::MaxCodeLen || word.size() > dmg::MaxWordLen) return false;
    uint8_t* p = out.bytes;
    wr32(p, attributes);
    p[4] = static_cast<uint8_t>(code.size());
    std::memcpy(p + 5, code.data(), code.size());
    p[5 + code.size()] = static_cast<uint8_t>(word.size());
    uint8_t* w = p + 6 + code.size();
    for (size_t i = 0; i < word.size(); ++i) wr16(w + 2 * i, word[i]);
    out.size = static_cast<uint32_t>(code.size() + 2 * word.size() + 6);
    return true;
}

bool buildWordRecord(uint32_t order, std::u16string_view word, RecordBuffer& out) {
    if (word.empty() || word.size() > 255) return false;
    uint8_t* p = out.bytes;
    wr32(p, order);
    p[4] = static_cast<uint8_t>(word.size());
    for (size_t i = 0; i < word.size(); ++i) wr16(p + 5 + 2 * i, word[i]);
    out.size = static_cast<uint32_t>(5 + 2 * word.size());
    return true;
}

EntryView viewOfRecord(const uint8_t* p, uint32_t size, bool wordList) {
    EntryView e;
    if (size < 5) return e;
    if (wordList) {
        uint32_t n = p[4];
        if (5 + 2 * n > size) return e;
        e.word = p + 5;
        e.wordLen = n;
    } else {
        uint32_t cl = p[4];
        if (cl == 0 || 6 + cl > size) return e;
        uint32_t wl = p[5 + cl];
        if (6 + cl + 2 * wl > size) return e;
        e.code = p + 5;
        e.codeLen = cl;
        e.word = p + 6 + cl;
        e.wordLen = wl;
    }
    e.attributes = rd32(p);
    e.offset = 1;  // marks the view as usable; not a file offset
    return e;
}

void initEmptyTable(uint8_t* base, uint32_t size, uint32_t type, std::u16string_view name) {
    std::memset(base, 0, dmg::IndexStart);
    wr32(base, size);
    wr32(base + 4, 0);
    wr32(base + 8, type);
    for (size_t i = 0; i < name.size() && i < 16; ++i) wr16(base + 16 + 2 * i, name[i]);
    std::memcpy(base + 48, "YNSN", 4);
}

void initTempTable(uint8_t* base) {
    std::memset(base, 0, dmg::TempFileSize);
    initEmptyTable(base, dmg::TempFileSize, dmg::TypeCodeTable, u"");
    resetTempTable(base, dmg::TempFileSize);
}

void resetTempTable(uint8_t* base, uint32_t size) {
    if (size < dmg::TempFileSize) return;
    wr32(base, size);
    wr32(base + 4, 0);
    std::memset(base + dmg::PrefixStart, 0, 4 * dmg::PrefixSlotCount);
    // Keep the slots as they are when they are a valid set; otherwise lay
    // them out afresh, so that a damaged file becomes usable again.
    bool seen[dmg::TempSlotCount] = {};
    bool ok = true;
    for (uint32_t i = 0; ok && i < dmg::TempSlotCount; ++i) {
        uint32_t off = rd32(base + dmg::IndexStart + 4 * i);
        if (off < dmg::TempFirstSlot || (off - dmg::TempFirstSlot) % dmg::TempSlotSize != 0) {
            ok = false;
            break;
        }
        uint32_t slot = (off - dmg::TempFirstSlot) / dmg::TempSlotSize;
        if (slot >= dmg::TempSlotCount || seen[slot]) ok = false;
        else seen[slot] = true;
    }
    if (!ok) {
        for (uint32_t i = 0; i < dmg::TempSlotCount; ++i)
            wr32(base + dmg::IndexStart + 4 * i, dmg::TempFirstSlot + dmg::TempSlotSize * i);
    }
}

}  // namespace zv
