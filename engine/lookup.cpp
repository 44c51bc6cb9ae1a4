#include "engine/lookup.h"

#include "engine/bytes.h"
#include "engine/data_files.h"
#include "engine/folder_write.h"
#include "engine/table_update.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

namespace zv {

namespace {

constexpr std::u16string_view kMacroPrefix = u"$zvcmd(";

bool isMacroWord(const EntryView& e) {
    if (e.wordLen < kMacroPrefix.size()) return false;
    for (size_t i = 0; i < kMacroPrefix.size(); ++i)
        if (e.wordUnit(static_cast<uint32_t>(i)) != kMacroPrefix[i]) return false;
    return true;
}

int countWordCharacters(const EntryView& e) {
    int n = 0;
    for (uint32_t i = 0; i < e.wordLen; ++i) {
        char16_t u = e.wordUnit(i);
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < e.wordLen) {
            char16_t v = e.wordUnit(i + 1);
            if (v >= 0xDC00 && v < 0xE000) ++i;
        }
        ++n;
    }
    return n;
}


}  // namespace

namespace {
bool inRange(int category, const SearchRange& range);
}

int countCharacters(std::u16string_view text) {
    int n = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000)
            ++i;
        ++n;
    }
    return n;
}

SearchRange currentSearchRange(const EngineContext& ctx) {
    SearchRange r;
    const ImeSettings& ime = ctx.blocks.ime;
    if (!ime) return r;
    r.main = ime.bit(ImeSettings::OptionA, ImeSettings::A_MainTable);
    r.aux = ime.bit(ImeSettings::OptionA, ImeSettings::A_AuxTable);
    r.secondaryOnly = (ctx.modeFlags & ModeSecondaryOnly) != 0;
    r.secondaryToo = ime.bit(ImeSettings::OptionA, ImeSettings::A_SearchSecondary);
    return r;
}

int matchScore(const DmeSettings& dme, const EntryView& e, const uint8_t* key, uint32_t n, bool prefix,
               bool wildcard) {
    const uint32_t d = dme.d();
    const uint32_t L = e.codeLen;
    const uint32_t minWordCode = d >> DmeSettings::D_WordLengthShift;
    // Words appear only from a given code length on; macros always.
    auto isWord = [&] { return e.wordLen > 1 && countWordCharacters(e) > 1; };
    if (minWordCode && n < minWordCode && isWord() && !isMacroWord(e)) return 0;
    if (wildcard) {
        if (L < n) return 0;
        for (uint32_t i = 0; i < n; ++i)
            if (key[i] != dmg::Wildcard && key[i] != e.code[i]) return 0;
        if (n == 1 && (L > 1 || !(d & DmeSettings::D_QueryFirstKey))) return 0;
        if ((d & DmeSettings::D_QuerySingleOnly) && isWord()) return 0;
        int score = static_cast<int>(n) - static_cast<int>(L) + 64;
        return score > 0 ? score : 0;
    }
    if (L < n || std::memcmp(e.code, key, n) != 0) return 0;
    if (L == n) return 129;
    return prefix ? static_cast<int>(n) - static_cast<int>(L) + 129 : 0;
}

bool admitEntry(EngineContext& ctx, const EntryView& e, DataSlot slot, uint8_t tag, int score, uint32_t hintPos,
                const SearchRange& range) {
    const uint32_t a = e.attributes;
    if (attr::deleted(a)) return false;
    // Temporary words carry their age in the attribute word, not a category.
    if (!inRange(tag == SourceTemp ? CategoryNone : attr::category(a), range)) return false;
    if (tag == 0 && score == 0) return false;
    CandidateList& list = ctx.candidates;
    if (list.count >= CandidateList::Capacity) return false;
    Candidate c;
    c.ref = e.offset;
    c.score = score;
    c.attributes = a;
    c.source = tag;
    c.slot = slot;
    if ((tag & SourceTableBit) && hintPos < e.codeLen) c.hintPos = static_cast<uint8_t>(std::min(hintPos, 0xFEu));
    list.push(c);
    return true;
}

bool addTextCandidate(EngineContext& ctx, std::u16string_view text, uint8_t source, int score) {
    CandidateList& list = ctx.candidates;
    if (list.count >= CandidateList::Capacity) return false;
    Candidate c;
    c.ref = static_cast<uint32_t>(list.texts.size());
    c.score = score;
    c.source = source;
    list.texts.emplace_back(text);
    list.push(c);
    return true;
}

namespace {

// Whether an entry of a category is in the range (temporary words count as
// category 0).
bool inRange(int category, const SearchRange& range) {
    if (category == CategoryAuxiliary) return range.aux && !range.secondaryOnly;
    if (!range.main) return false;
    if (category == CategorySecondary) return range.secondaryOnly || range.secondaryToo;
    return !range.secondaryOnly;
}

// A candidate written as two words: the scan below writes hundreds per key.
static_assert(sizeof(Candidate) == 16 && offsetof(Candidate, score) == 4 && offsetof(Candidate, attributes) == 8 &&
              offsetof(Candidate, source) == 12 && offsetof(Candidate, slot) == 13 &&
              offsetof(Candidate, hintPos) == 14);
uint32_t candidateTail(uint8_t source, uint8_t slot, uint8_t hintPos) {
    if constexpr (std::endian::native == std::endian::little) return source | slot << 8 | hintPos << 16;
    return uint32_t{source} << 24 | slot << 16 | hintPos << 8;
}
void storeCandidate(Candidate* c, uint32_t ref, int score, uint32_t attributes, uint32_t tail) {
    uint64_t words[2];
    if constexpr (std::endian::native == std::endian::little) {
        words[0] = ref | uint64_t{static_cast<uint32_t>(score)} << 32;
        words[1] = attributes | uint64_t{tail} << 32;
    } else {
        words[0] = uint64_t{ref} << 32 | static_cast<uint32_t>(score);
        words[1] = uint64_t{attributes} << 32 | tail;
    }
    std::memcpy(static_cast<void*>(c), words, sizeof words);
}

// The plain code scan, the one every keystroke runs: the range already
// guarantees the code's beginning, so each entry costs its attribute word
// and code length. A record is read only as far as its code length here;
// the whole record is checked when a candidate is shown or committed. With
// a trace the walked entries' attribute words are kept for the lookup memo.
template <bool Traced>
uint32_t walkPlainRange(EngineContext& ctx, const CodeTable& t, DataSlot slot, uint8_t tag, const CodeSearch& s,
                        uint32_t first, uint32_t end, uint32_t hintPos, uint32_t* walked, bool* unreadable) {
    CandidateList& list = ctx.candidates;
    const uint8_t* const base = t.base();
    const uint8_t* const index = base + dmg::IndexStart;
    const uint32_t n = s.len;
    // Codes of n bytes score 129, each extra byte one less (prefix search).
    const uint32_t maxExtra = s.prefix ? dmg::MaxCodeLen : 0;
    const uint32_t recordSpan = t.size() - 5 - n - dmg::IndexStart;
    const uint8_t storedHint = static_cast<uint8_t>(std::min(hintPos, 0xFEu));
    // Admission by the top byte of the attribute word: category, fixed and
    // deleted bits.
    bool admits[256];
    std::memset(admits, inRange(CategoryNone, s.range), 128);
    std::memset(admits + 128, 0, 128);
    if (tag != SourceTemp)
        for (int category : {CategorySecondary, CategoryAuxiliary})
            admits[category] = admits[category | 0x40] = inRange(category, s.range);
    const int limit = CandidateList::ScanLimit;
    list.own();
    const int before = list.count;
    // Local pointers: the candidate stores must not make the compiler read
    // the list's fields again for every entry.
    Candidate* const out = list.items;
    Candidate* o = out + before;
    // The hint position is stored as it is: a code that ends there shows
    // no hint.
    const uint32_t tail = candidateTail(tag, slot, storedHint);
    uint32_t i = first;
    while (i < end && o - out < limit) {
        // No more than (limit - count) entries can be admitted before the
        // next chunk: the count needs no test inside it.
        const uint32_t chunkEnd =
            static_cast<uint32_t>(std::min<uint64_t>(end, uint64_t{i} + static_cast<uint64_t>(limit - (o - out))));
        const uint8_t* at = index + 4 * size_t{i};
        const uint8_t* const atEnd = index + 4 * size_t{chunkEnd};
        uint32_t* w = Traced ? walked + (i - first) : nullptr;
        for (; at != atEnd; at += 4) {
            const uint32_t off = rd32(at);
            if (off - dmg::IndexStart > recordSpan) [[unlikely]] {
                if constexpr (Traced) {
                    *w++ = 0;
                    *unreadable = true;
                }
                continue;
            }
            const uint8_t* const p = base + off;
            const uint32_t a = rd32(p);
            if constexpr (Traced) *w++ = a;
            const uint32_t extra = p[4] - n;  // wraps for a shorter code
            // Every entry is written and only an admitted one kept: whether
            // one is admitted follows no pattern the processor could learn
            // (a range mixes categories), and a branch on it would miss
            // half the time. The chunk leaves room for the write.
            storeCandidate(o, off, 129 - static_cast<int>(extra), a, tail);
            o += admits[a >> 24] & (extra <= maxExtra);
        }
        i = chunkEnd;
    }
    // Each candidate is chained to the one before it of its score apart
    // from the walk, which keeps the walk's registers for the walk.
    const int count = static_cast<int>(o - out);
    int* const scoreLast = list.scoreLast.data();
    int* const sameScoreBefore = list.sameScoreBefore;
    for (int c = before; c < count; ++c) {
        const int score = out[c].score;
        sameScoreBefore[c] = scoreLast[score];
        scoreLast[score] = c;
    }
    if (count != list.count) ++list.serial;
    list.count = count;
    return i;
}

// Reports a plain walk that read nothing of [first, end) to a traced scan.
void traceNothingWalked(const EngineContext& ctx, const CodeTable& t, DataSlot slot, uint32_t first, uint32_t end) {
    if (ctx.scanTrace) *ctx.scanTrace = {slot, t.base(), t.size(), t.count(), first, end, first, true, nullptr};
}

int scanPlainRange(EngineContext& ctx, const CodeTable& t, DataSlot slot, uint8_t tag, const CodeSearch& s,
                   uint32_t first, uint32_t end, uint32_t hintPos) {
    const int before = ctx.candidates.count;
    ScanTrace* trace = ctx.scanTrace;
    if (first == end || t.size() < dmg::IndexStart + 5 + s.len) {
        traceNothingWalked(ctx, t, slot, first, end);
        return 0;
    }
    // A walk too long to keep goes untraced, and so does a short range of
    // main.dmg, whose list is too short to keep: those results are not kept.
    if (!trace || end - first > kMemoWalk || (slot == SlotMain && end - first < kMemoShortest)) {
        if (trace) trace->plain = false;
        walkPlainRange<false>(ctx, t, slot, tag, s, first, end, hintPos, nullptr, nullptr);
    } else {
        // A walk that met an index slot pointing outside the records (a
        // damaged table) is not kept either.
        uint32_t* walked = threadScratch().walked[slot == SlotTemp].atLeast(end - first);
        bool unreadable = false;
        const uint32_t stop = walkPlainRange<true>(ctx, t, slot, tag, s, first, end, hintPos, walked, &unreadable);
        *trace = {slot, t.base(), t.size(), t.count(), first, end, stop, !unreadable, walked};
    }
    return ctx.candidates.count - before;
}

}  // namespace

void codeRange(const EngineContext& ctx, DataSlot slot, const CodeTable& t, const uint8_t* code, uint32_t len,
               bool prefix, uint32_t* first, uint32_t* end) {
    using Memo = EngineContext::RangeMemo;
    // A prefix of one or two keys is its index window: nothing to remember.
    const bool remembered = len > (prefix ? 2u : 0u) && len <= sizeof Memo::code;
    Memo* m = nullptr;
    if (remembered) {
        uint32_t h = 2166136261u ^ (slot * 2u + prefix);
        for (uint32_t k = 0; k < len; ++k) h = (h ^ code[k]) * 16777619u;
        m = &ctx.rangeMemos[(h ^ h >> 16) % ctx.rangeMemos.size()];
        if (m->base == t.base() && m->count == t.count() && m->slot == slot && m->prefix == prefix && m->len == len &&
            std::memcmp(m->code, code, len) == 0 &&
            (m->epoch == ctx.rangeEpoch || t.rangeHolds(code, len, prefix, m->first, m->end))) {
            m->epoch = ctx.rangeEpoch;
            *first = m->first;
            *end = m->end;
            return;
        }
    }
    if (prefix)
        t.prefixRange(code, len, first, end);
    else
        t.exactRange(code, len, first, end);
    if (!m) return;
    m->base = t.base();
    m->count = t.count();
    m->slot = slot;
    m->prefix = prefix;
    m->len = static_cast<uint8_t>(len);
    std::memcpy(m->code, code, len);
    m->first = *first;
    m->end = *end;
    m->epoch = ctx.rangeEpoch;
}

int scanTable(EngineContext& ctx, DataSlot slot, uint8_t tag, const CodeSearch& s) {
    CodeTable t = tableView(ctx, slot);
    if (!t.valid() || t.isWordList() || s.len == 0 || s.len > dmg::MaxCodeLen || !ctx.blocks.dme) return 0;
    uint32_t first = 0, end = 0, hintPos = s.len;
    // An empty table (temp.dmg most of the time) has no range to find.
    if (t.count() == 0) {
        traceNothingWalked(ctx, t, slot, 0, 0);
        return 0;
    }
    if (const void* w = std::memchr(s.key, dmg::Wildcard, s.len)) {
        uint32_t p = static_cast<uint32_t>(static_cast<const uint8_t*>(w) - s.key);
        if (p == 0) return 0;  // a leading wildcard is expanded by searchCode
        t.prefixRangeUnwindowed(s.key, p, &first, &end);
        hintPos = p;
    } else {
        codeRange(ctx, slot, t, s.key, s.len, s.prefix, &first, &end);
    }
    if (s.queryJustTyped) hintPos = 0;
    // Words that wait for a longer code need their text read: the general
    // walk below does that.
    const uint32_t minWordCode = ctx.blocks.dme.d() >> DmeSettings::D_WordLengthShift;
    const bool wordsWait = minWordCode && s.len < minWordCode;
    if (!s.wildcard && !wordsWait && tag != 0) return scanPlainRange(ctx, t, slot, tag, s, first, end, hintPos);
    if (ctx.scanTrace) ctx.scanTrace->plain = false;
    int admitted = 0;
    for (uint32_t i = first; i < end && ctx.candidates.count < CandidateList::ScanLimit; ++i) {
        EntryView e = t.entry(i);
        if (!e.valid()) continue;
        int score = matchScore(ctx.blocks.dme, e, s.key, s.len, s.prefix, s.wildcard);
        if (score > 0 && admitEntry(ctx, e, slot, tag, score, hintPos, s.range)) ++admitted;
    }
    return admitted;
}

bool hasEntryBeginningWith(const EngineContext& ctx, const uint8_t* key, uint32_t len, const SearchRange& range,
                           bool longerOnly, uint32_t except) {
    if (len == 0 || len > dmg::MaxCodeLen) return false;
    for (DataSlot slot : {SlotMain, SlotTemp}) {
        CodeTable t = tableView(ctx, slot);
        if (!t.valid() || t.isWordList() || t.count() == 0) continue;
        uint32_t first, end;
        codeRange(ctx, slot, t, key, len, true, &first, &end);
        if (longerOnly && end - first > 16) {
            // The entries of exactly this code come first: skip them at once.
            uint32_t exactFirst, exactEnd;
            codeRange(ctx, slot, t, key, len, false, &exactFirst, &exactEnd);
            if (exactFirst == first && exactEnd > first && exactEnd <= end) first = exactEnd;
        }
        for (uint32_t i = first; i < end; ++i) {
            EntryView e = t.entry(i);
            if (!e.valid() || e.codeLen < len || attr::deleted(e.attributes)) continue;
            // An entry of exactly this code counts whatever its category.
            if (e.codeLen == len) {
                if (!longerOnly) return true;
                continue;
            }
            if (slot == SlotMain && e.offset == except) continue;
            if (inRange(slot == SlotTemp ? CategoryNone : attr::category(e.attributes), range)) return true;
        }
    }
    return false;
}

namespace {

int searchWordListOnce(EngineContext& ctx, const CodeTable& t, DataSlot slot, std::u16string_view key,
                       size_t scoreLen, uint32_t flags) {
    if (key.empty()) return 0;
    std::u16string lowKey(key), highKey(key);
    lowKey.back() = static_cast<char16_t>(lowKey.back() - 1);
    lowKey.push_back(0xFFFF);
    highKey.push_back(0xFFFF);
    uint32_t first = t.insertionPoint(SearchKey{nullptr, 0, lowKey.data(), static_cast<uint32_t>(lowKey.size())}, 0,
                                      t.count());
    uint32_t end = t.insertionPoint(SearchKey{nullptr, 0, highKey.data(), static_cast<uint32_t>(highKey.size())},
                                    first, t.count());
    int admitted = 0;
    SearchRange everything;
    for (uint32_t i = first; i < end && ctx.candidates.count < CandidateList::WordListLimit; ++i) {
        EntryView e = t.entry(i);
        if (!e.valid() || e.wordLen < key.size()) continue;
        if (e.wordLen == key.size() && !(flags & WordAllowEqual)) continue;
        bool begins = true;
        for (size_t k = 0; k < key.size() && begins; ++k) begins = e.wordUnit(static_cast<uint32_t>(k)) == key[k];
        if (!begins) continue;
        int score = (flags & WordScored) ? static_cast<int>(scoreLen) - static_cast<int>(e.wordLen) + 129 : 1;
        // Word lists have no categories: their attribute word is an order value.
        EntryView plain = e;
        plain.attributes &= 0xFFFF;
        if (admitEntry(ctx, plain, slot, SourceWordList, score, 0, everything)) ++admitted;
    }
    return admitted;
}

}  // namespace

int searchWordList(EngineContext& ctx, std::u16string_view key, uint32_t flags) {
    DataSlot slot = (flags & WordEnglish) ? SlotEnglish : SlotAssociation;
    CodeTable t = tableView(ctx, slot);
    if (!t.valid() || !t.isWordList() || key.empty() || key.size() > 254) return 0;
    if (flags & WordSeparator) {
        std::u16string k(key);
        k.push_back(u'#');
        return searchWordListOnce(ctx, t, slot, k, k.size(), flags);
    }
    std::u16string lower(key), upper(key);
    for (auto& u : lower)
        if (u >= u'A' && u <= u'Z') u = static_cast<char16_t>(u + 32);
    for (auto& u : upper)
        if (u >= u'a' && u <= u'z') u = static_cast<char16_t>(u - 32);
    return searchWordListOnce(ctx, t, slot, lower, key.size(), flags) +
           searchWordListOnce(ctx, t, slot, upper, key.size(), flags);
}

EntryView candidateEntry(const EngineContext& ctx, const Candidate& c) {
    if (c.slot >= SlotCount || !(c.source & (SourceTableBit | SourceWordBit)) || c.source == SourceGenerated ||
        (c.source & SourcePlainBit))
        return {};
    return tableView(ctx, static_cast<DataSlot>(c.slot)).recordAt(c.ref);
}

std::u16string candidateText(const EngineContext& ctx, const Candidate& c) {
    if (c.slot == SlotNone) return c.ref < ctx.candidates.texts.size() ? ctx.candidates.texts[c.ref] : u"";
    EntryView e = candidateEntry(ctx, c);
    return e.valid() ? e.wordText() : u"";
}

std::u16string candidateHint(const EngineContext& ctx, const Candidate& c) {
    std::u16string hint;
    if (c.hintPos == 0xFF || !(c.source & SourceTableBit)) return hint;
    EntryView e = candidateEntry(ctx, c);
    for (uint32_t k = c.hintPos; k < e.codeLen && hint.size() < 2; ++k) {
        char16_t u = unitFromCodeByte(e.code[k]);
        if (!u) break;
        hint.push_back(u);
    }
    return hint;
}

bool candidateHasHint(const EngineContext& ctx, const Candidate& c) { return !candidateHint(ctx, c).empty(); }

int candidateChars(const EngineContext& ctx, const Candidate& c) {
    if (c.slot == SlotNone) return countCharacters(c.ref < ctx.candidates.texts.size() ? ctx.candidates.texts[c.ref] : u"");
    EntryView e = candidateEntry(ctx, c);
    return e.valid() ? countWordCharacters(e) : 0;
}

int compareCandidates(const EngineContext& ctx, const Candidate& a, const Candidate& b, bool association) {
    if (a.score != b.score) return a.score > b.score ? -1 : 1;
    if (!association && ctx.blocks.ime) {
        uint32_t basis = ctx.blocks.ime.b();
        if (basis & ImeSettings::B_SingleFirst) {
            int ca = candidateChars(ctx, a), cb = candidateChars(ctx, b);
            if (ca != cb) return ca < cb ? -1 : 1;
        } else if (basis & ImeSettings::B_ByCode) {
            EntryView ea = candidateEntry(ctx, a), eb = candidateEntry(ctx, b);
            uint32_t n = std::min(ea.codeLen, eb.codeLen);
            int c = n ? std::memcmp(ea.code, eb.code, n) : 0;
            if (c != 0) return c < 0 ? -1 : 1;
            if (ea.codeLen != eb.codeLen) return ea.codeLen < eb.codeLen ? -1 : 1;
        }
    }
    uint32_t ka = a.attributes & attr::SortMask, kb = b.attributes & attr::SortMask;
    if (ka != kb) return ka > kb ? -1 : 1;
    // Table position: main.dmg before temp.dmg, then record address.
    if (a.slot != b.slot) return a.slot < b.slot ? -1 : 1;
    if (a.ref != b.ref) return a.ref < b.ref ? -1 : 1;
    return 0;
}

void orderCandidates(EngineContext& ctx, bool association) {
    CandidateList& list = ctx.candidates;
    list.own();
    ++list.serial;
    std::sort(list.items, list.items + list.count,
              [&](const Candidate& a, const Candidate& b) { return compareCandidates(ctx, a, b, association) < 0; });
}

FrequencyMode frequencyMode(const ImeSettings& ime) {
    switch (ime.b() & ImeSettings::B_FreqMask) {
    case ImeSettings::B_FreqToTop: return FreqToTop;
    case ImeSettings::B_FreqGradual: return FreqGradual;
    case ImeSettings::B_FreqCount: return FreqCount;
    default: return FreqNone;
    }
}

namespace {
// A main.dmg record whose order value may be written.
uint16_t orderOf(const uint8_t* rec) { return static_cast<uint16_t>(rec[0] | rec[1] << 8); }
void setOrder(uint8_t* rec, uint16_t v) {
    rec[0] = static_cast<uint8_t>(v);
    rec[1] = static_cast<uint8_t>(v >> 8);
}
}  // namespace

bool adjustFrequency(EngineContext& ctx, const std::vector<int>& ordered, int a, FrequencyMode mode) {
    CandidateList& list = ctx.candidates;
    auto at = [&](int i) -> Candidate& { return list.items[ordered[i]]; };
    if (mode == FreqNone || a < 1 || a >= static_cast<int>(ordered.size())) return false;
    FolderWrite hold(ctx);
    list.own();
    uint8_t* chosen = writableRecord(ctx, at(a));
    if (!chosen || attr::fixed(rd32(chosen))) return false;
    int c = -1;
    for (int i = 0; i < a; ++i) {
        const Candidate& o = at(i);
        if (o.score != at(a).score || !(o.source & SourceTableBit)) continue;
        EntryView oe = candidateEntry(ctx, o);
        if (oe.valid() && !attr::fixed(oe.attributes)) {
            c = i;
            break;
        }
    }
    if (c < 0) return false;
    if (mode == FreqCount) {
        if (orderOf(chosen) < 0xFFFF) {
            setOrder(chosen, static_cast<uint16_t>(orderOf(chosen) + 1));
        } else {
            for (int i = c; i < a; ++i)
                if (uint8_t* r = writableRecord(ctx, at(i)); r && orderOf(r) == 0xFFFF) {
                    setOrder(r, 0xFFFE);
                    at(i).attributes = rd32(r);
                }
        }
    } else {
        int target = mode == FreqToTop ? c : c + (a - c) / 2;
        EntryView te = candidateEntry(ctx, at(target));
        if (!te.valid()) return false;
        uint16_t t = attr::order(te.attributes);
        if (t == 0xFFFF) {
            if (uint8_t* r = writableRecord(ctx, at(target))) {
                setOrder(r, 0xFFFE);
                at(target).attributes = rd32(r);
            }
            setOrder(chosen, 0xFFFF);
        } else {
            setOrder(chosen, static_cast<uint16_t>(t + 1));
        }
    }
    at(a).attributes = rd32(chosen);
    ctx.file(SlotMain)->flush();
    return true;
}

}  // namespace zv
