#include "engine/lookup_memo.h"

#include "engine/bytes.h"
#include "engine/data_files.h"
#include "engine/folder_share.h"
#include "engine/lookup.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace zv {

namespace {

// Only lists that reach the scan's limit are kept: those are the lookups
// that walk a thousand entries and order hundreds (the first key of a code,
// a few two-key beginnings shared by many words). Shorter ones are found
// again at little more than the cost of checking them, and keeping each
// would first have to take fresh memory while a key is being typed.
constexpr int kMemoMinimum = CandidateList::ScanLimit;
// What the kept results may take together.
constexpr size_t kMemoBytes = size_t{4} << 20;
// Walked records are compared as stretches of bytes when each stretch
// joins records at most this far apart, the stretches hold no more than
// this many bytes per entry walked on average (a record holds a code and a
// word: about 17 bytes in the shipped table) and there are few of them.
constexpr uint32_t kRunGap = 256;
constexpr uint64_t kRunBytesPerEntry = 32;
constexpr uint32_t kEntriesPerRun = 8;

// A list shared with the candidate list keeps its storage when the kept
// results grow.
static_assert(std::is_nothrow_move_constructible_v<LookupMemo>);

constexpr DataSlot kSlots[2] = {SlotMain, SlotTemp};
constexpr uint8_t kTags[2] = {SourceMain, SourceTemp};

uint8_t searchFlags(const CodeSearch& s) {
    return static_cast<uint8_t>(s.prefix | s.queryJustTyped << 1 | s.range.main << 2 | s.range.aux << 3 |
                                s.range.secondaryOnly << 4 | s.range.secondaryToo << 5);
}

uint8_t wordCodeSetting(const EngineContext& ctx) {
    return static_cast<uint8_t>(ctx.blocks.dme.d() >> DmeSettings::D_WordLengthShift);
}

bool usableTable(const CodeTable& t) { return t.valid() && !t.isWordList(); }

// Whether every scan of a kept result would walk the same entries again:
// the same index slots, each with the attribute word it had.
bool memoHolds(const EngineContext& ctx, const LookupMemo& m) {
    for (size_t k = 0; k < m.scans.size(); ++k) {
        const ScanTrace& trace = m.scans[k];
        const CodeTable t = tableView(ctx, static_cast<DataSlot>(trace.slot));
        if (!trace.base) {
            if (usableTable(t)) return false;
            continue;
        }
        const uint32_t walked = trace.stop - trace.first;
        if (!usableTable(t) || t.base() != trace.base || t.size() != trace.size || t.count() != trace.count ||
            trace.stop < trace.first || trace.stop > trace.end || m.slots[k].size() != walked ||
            !t.rangeHolds(m.code, m.len, m.flags & 1, trace.first, trace.end))
            return false;
        const uint8_t* base = t.base();
        const uint8_t* index = base + dmg::IndexStart + 4 * size_t{trace.first};
        if (walked && std::memcmp(index, m.slots[k].data(), 4 * size_t{walked}) != 0) return false;
        // The slots are the same, and every one of them pointed at a
        // record when the result was kept (the table's size is the same).
        if (!m.runs[k].empty()) {
            // A few comparisons of whole stretches cover every attribute
            // word and code length the walk read.
            const uint8_t* copy = m.records[k].data();
            for (const RecordRun& run : m.runs[k]) {
                if (std::memcmp(base + run.from, copy, run.size) != 0) return false;
                copy += run.size;
            }
            continue;
        }
        const uint32_t* slots = m.slots[k].data();
        const uint32_t* attributes = m.attributes[k].data();
        // A change is rare: the words are compared without a branch each.
        uint32_t changed = 0;
        uint32_t i = 0;
        for (; i + 4 <= walked; i += 4)
            changed |= (rd32(base + slots[i]) ^ attributes[i]) | (rd32(base + slots[i + 1]) ^ attributes[i + 1]) |
                       (rd32(base + slots[i + 2]) ^ attributes[i + 2]) | (rd32(base + slots[i + 3]) ^ attributes[i + 3]);
        for (; i < walked; ++i) changed |= rd32(base + slots[i]) ^ attributes[i];
        if (changed) return false;
    }
    return true;
}

// Keeps what a check of a scan compares (see LookupMemo): stretches of
// records when the walk read few of them close together, as a table built
// in one pass holds each code's records in index order; else each walked
// entry's attribute word.
void keepWalkedRecords(LookupMemo& m, size_t k, const ScanTrace& trace, uint32_t walked) {
    std::vector<RecordRun>& runs = m.runs[k];
    runs.clear();
    m.records[k].clear();
    m.attributes[k].clear();
    if (!walked) return;
    // Every walked slot pointed at a record whose code length lies in the
    // table: a kept walk checks that.
    const uint32_t* slots = m.slots[k].data();
    const size_t mostRuns = walked / kEntriesPerRun;
    // Most often the walk read one stretch: told by one pass without a
    // branch per slot.
    uint32_t apart = 0;
    for (uint32_t i = 1; i < walked; ++i) apart |= slots[i] - slots[i - 1] - 1 >= kRunGap;
    uint64_t bytes = 0;
    uint32_t from = slots[0], last = apart ? slots[0] : slots[walked - 1];
    for (uint32_t i = apart ? 1 : walked; i < walked && runs.size() <= mostRuns; ++i) {
        // Unsigned: a record before the last one starts a new stretch.
        if (slots[i] - last - 1 < kRunGap) {
            last = slots[i];
            continue;
        }
        runs.push_back({from, last + 5 - from});
        bytes += last + 5 - from;
        from = last = slots[i];
    }
    runs.push_back({from, last + 5 - from});
    bytes += last + 5 - from;
    if (runs.size() <= mostRuns && bytes <= kRunBytesPerEntry * walked) {
        std::vector<uint8_t>& records = m.records[k];
        records.reserve(bytes);
        for (const RecordRun& run : runs) {
            const uint8_t* at = trace.base + run.from;
            records.insert(records.end(), at, at + run.size);
        }
        return;
    }
    runs.clear();
    m.attributes[k].assign(trace.attributes, trace.attributes + walked);
}

void takeList(EngineContext& ctx, const std::shared_ptr<LookupMemo>& m) {
    // Read in place: a kept result changes only while no engine holds it,
    // and the engine holds the one its list reads.
    ctx.candidates.share(m->items.data(), m->sameScoreBefore.data(), static_cast<int>(m->items.size()),
                         m->scoreLast);
    ctx.memoInList = m;
    ctx.memoListSerial = ctx.candidates.serial;
}

// The kept result for the search, or null (under the share's lock).
std::shared_ptr<LookupMemo> findMemo(const FolderShare& share, const CodeSearch& s, uint8_t flags, uint8_t wordCode) {
    for (const auto& m : share.memos) {
        if (m->len == s.len && m->code[0] == s.key[0] && m->flags == flags && m->wordCode == wordCode &&
            std::memcmp(m->code, s.key, s.len) == 0)
            return m;
    }
    return nullptr;
}

size_t memoBytes(const LookupMemo& m) {
    size_t words = m.sameScoreBefore.capacity() + (m.order ? m.order->ordered.capacity() : 0);
    size_t bytes = 0;
    for (size_t k = 0; k < 2; ++k) {
        words += m.slots[k].capacity() + m.attributes[k].capacity();
        bytes += m.records[k].capacity() + m.runs[k].capacity() * sizeof(RecordRun);
    }
    return sizeof m + m.items.capacity() * sizeof(Candidate) + words * sizeof(uint32_t) + bytes;
}

// Whether only the share holds a kept result (no engine's list reads it),
// so that it may be filled anew (under the share's lock). `extra` counts
// the caller's own holds.
bool onlyShared(const std::shared_ptr<LookupMemo>& m, long extra = 0) { return m.use_count() == 1 + extra; }

// A place for a new result (under the share's lock): a new one while the
// kept results leave room, else the least recently used one that no
// engine reads, whose memory is used again (so that keeping results does
// not keep asking the system for fresh pages). The results of one key
// (every code begins with one) give way only to each other: they come back
// most often.
std::shared_ptr<LookupMemo> memoPlace(FolderShare& share, uint32_t len) {
    auto& memos = share.memos;
    size_t total = 0;
    for (const auto& m : memos) total += memoBytes(*m);
    for (const auto& m : memos)
        if (m->len == 0 && onlyShared(m)) return m;
    if (total < kMemoBytes) return memos.emplace_back(std::make_shared<LookupMemo>());
    std::shared_ptr<LookupMemo> oldest;
    for (const auto& m : memos) {
        const bool mayGo = (len == 1 || m->len > 1) && onlyShared(m);
        if (mayGo && (!oldest || m->lastUse < oldest->lastUse)) oldest = m;
    }
    return oldest;
}

// Forgets a kept result that no longer holds (under the share's lock): its
// memory stays for the next one, unless an engine still reads it, which
// keeps it as it is.
void forget(FolderShare& share, const std::shared_ptr<LookupMemo>& m, long extra) {
    if (onlyShared(m, extra)) {
        m->len = 0;
        m->lastUse = 0;
        m->order.reset();
        return;
    }
    std::erase(share.memos, m);
}

LookupMemo* memoOfList(const EngineContext& ctx) {
    if (!ctx.memoInList || ctx.memoListSerial != ctx.candidates.serial) return nullptr;
    return ctx.memoInList.get();
}

}  // namespace

void reserveKeptLists(EngineContext& ctx, int count) {
    if (!ctx.share) return;
    FolderShare& share = *ctx.share;
    std::lock_guard<std::mutex> hold(share.lock);
    for (int k = 0; k < count; ++k) {
        LookupMemo& m = *share.memos.emplace_back(std::make_shared<LookupMemo>());
        // Written once, so that the pages are there when a key needs them.
        m.items.resize(kMemoMinimum);
        m.sameScoreBefore.resize(kMemoMinimum);
        // A walk of main.dmg admits most of what it reads; temp.dmg holds
        // few words.
        for (size_t t = 0; t < 2; ++t) {
            const size_t walk = t == 0 ? 2 * kMemoMinimum : dmg::TempSlotCount;
            m.slots[t].resize(walk);
            m.attributes[t].resize(walk);
        }
        // The records of a main.dmg walk, at about 20 bytes each.
        m.records[0].resize(20 * 2 * kMemoMinimum);
        m.runs[0].resize(64);
        m.items.clear();
        m.sameScoreBefore.clear();
        for (auto& v : m.slots) v.clear();
        for (auto& v : m.attributes) v.clear();
        m.records[0].clear();
        m.runs[0].clear();
    }
}

int searchCodeRemembered(EngineContext& ctx, const CodeSearch& s) {
    CandidateList& list = ctx.candidates;
    ctx.memoInList.reset();
    if (!ctx.share || !ctx.keepsLookups || list.count != 0 || !list.texts.empty() || s.wildcard || s.len == 0 ||
        s.len > sizeof LookupMemo::code || !ctx.blocks.dme)
        return -1;
    // A short range of main.dmg gives a list too short to keep.
    if (const CodeTable main = tableView(ctx, SlotMain); usableTable(main)) {
        uint32_t first, end;
        codeRange(ctx, SlotMain, main, s.key, s.len, s.prefix, &first, &end);
        if (end - first < kMemoShortest) return -1;
    }
    FolderShare& share = *ctx.share;
    const uint8_t flags = searchFlags(s);
    const uint8_t wordCode = wordCodeSetting(ctx);
    std::shared_ptr<LookupMemo> kept;
    {
        std::lock_guard<std::mutex> hold(share.lock);
        kept = findMemo(share, s, flags, wordCode);
        if (kept) kept->lastUse = ++share.memoClock;
    }
    // A kept result that still matches every slot and record it walked is
    // right whatever else changed (another process's deletes and order
    // changes are written in place, where the check sees them).
    if (kept && memoHolds(ctx, *kept)) {
        takeList(ctx, kept);
        return list.count;
    }
    // One that does not is found again on the tables as they are now: one
    // that another process grew or replaced is mapped anew first.
    if (kept && !searchedTablesCurrent(ctx)) syncTables(ctx);
    // Scan, tracing what each table's walk sees.
    ScanTrace traces[2];
    for (int k = 0; k < 2; ++k) {
        traces[k].slot = kSlots[k];
        if (!usableTable(tableView(ctx, kSlots[k]))) {
            traces[k].plain = true;  // no table: nothing walked
            continue;
        }
        ctx.scanTrace = &traces[k];
        scanTable(ctx, kSlots[k], kTags[k], s);
        ctx.scanTrace = nullptr;
    }
    const bool plain = traces[0].plain && traces[1].plain;
    std::lock_guard<std::mutex> hold(share.lock);
    if (!plain || list.count < kMemoMinimum || !list.scoresCounted) {
        if (kept) forget(share, kept, 1);  // stale
        return list.count;
    }
    std::shared_ptr<LookupMemo> place;
    if (kept && onlyShared(kept, 1)) {
        place = kept;
    } else {
        if (kept) forget(share, kept, 1);
        place = memoPlace(share, s.len);
    }
    if (!place) return list.count;
    LookupMemo& m = *place;
    std::memcpy(m.code, s.key, s.len);
    m.len = static_cast<uint8_t>(s.len);
    m.flags = flags;
    m.wordCode = wordCode;
    m.scans = {traces[0], traces[1]};
    for (size_t k = 0; k < 2; ++k) {
        const ScanTrace& trace = traces[k];
        const uint32_t walked = trace.base ? trace.stop - trace.first : 0;
        const uint8_t* index = trace.base ? trace.base + dmg::IndexStart + 4 * size_t{trace.first} : nullptr;
        m.slots[k].resize(walked);
        if (walked) std::memcpy(m.slots[k].data(), index, 4 * size_t{walked});
        keepWalkedRecords(m, k, trace, walked);
        m.scans[k].attributes = nullptr;
    }
    m.items.assign(list.items, list.items + list.count);
    m.sameScoreBefore.assign(list.sameScoreBefore, list.sameScoreBefore + list.count);
    m.scoreLast = list.scoreLast;
    m.order.reset();
    m.lastUse = ++share.memoClock;
    ctx.memoInList = place;
    ctx.memoListSerial = list.serial;
    return list.count;
}

uint32_t orderingKey(const EngineContext& ctx) {
    const uint32_t basis = ctx.blocks.ime ? ctx.blocks.ime.b() & (ImeSettings::B_SingleFirst | ImeSettings::B_ByCode) : 0;
    const bool hide = ctx.blocks.ime && ctx.blocks.ime.bit(ImeSettings::OptionC, ImeSettings::C_HideSameWordOtherCode);
    return basis | uint32_t{hide} << 8 | uint32_t{(ctx.modeFlags & ModeAssociation) != 0} << 9;
}

std::shared_ptr<const LookupMemo::Order> rememberedOrder(const EngineContext& ctx) {
    const LookupMemo* m = memoOfList(ctx);
    if (!m || !ctx.share) return nullptr;
    std::shared_ptr<const LookupMemo::Order> order;
    {
        std::lock_guard<std::mutex> hold(ctx.share->lock);
        order = m->order;
    }
    return order && order->key == orderingKey(ctx) ? order : nullptr;
}

void rememberOrder(EngineContext& ctx) {
    LookupMemo* m = memoOfList(ctx);
    if (!m || !ctx.share) return;
    const uint32_t key = orderingKey(ctx);
    std::lock_guard<std::mutex> hold(ctx.share->lock);
    if (m->order && m->order->key == key && m->order->ordered.size() >= ctx.ordered.size()) return;
    m->order = std::make_shared<const LookupMemo::Order>(LookupMemo::Order{key, ctx.ordered});
}

}  // namespace zv
