#include "engine/candidates.h"

#include "engine/data_files.h"
#include "engine/lookup.h"
#include "engine/macros.h"
#include "engine/output_conversion.h"

#include <algorithm>
#include <climits>

namespace zv {

namespace {

bool hideDuplicates(const EngineContext& ctx) {
    return (ctx.modeFlags & ModeAssociation) ||
           (ctx.blocks.ime && ctx.blocks.ime.bit(ImeSettings::OptionC, ImeSettings::C_HideSameWordOtherCode));
}

// The text of a candidate as units, read in place.
struct TextView {
    const uint8_t* bytes = nullptr;   // a record's word, UTF-16LE
    const char16_t* pooled = nullptr;
    uint32_t len = 0;
    uint32_t size() const { return len; }
    char16_t at(uint32_t i) const {
        return pooled ? pooled[i] : static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    }
};

// The tables candidates come from, looked at once per use.
struct TableViews {
    const uint8_t* base[SlotCount] = {};
    uint32_t size[SlotCount] = {};
    bool wordList[SlotCount] = {};
    bool made[SlotCount] = {};
    void make(const EngineContext& ctx, uint8_t slot) {
        CodeTable t = tableView(ctx, static_cast<DataSlot>(slot));
        if (t.valid()) {
            base[slot] = t.base();
            size[slot] = t.size();
            wordList[slot] = t.isWordList();
        }
        made[slot] = true;
    }
};

TextView textOf(const EngineContext& ctx, TableViews& tables, const Candidate& c) {
    TextView t;
    if (c.slot >= SlotCount) {
        if (c.ref < ctx.candidates.texts.size()) {
            const std::u16string& s = ctx.candidates.texts[c.ref];
            t.pooled = s.data();
            t.len = static_cast<uint32_t>(s.size());
        }
        return t;
    }
    if (!tables.made[c.slot]) tables.make(ctx, c.slot);
    const uint8_t* base = tables.base[c.slot];
    const uint64_t size = tables.size[c.slot];
    const uint64_t off = c.ref;
    if (!base || off + 6 > size) return t;
    uint64_t at, n;
    if (tables.wordList[c.slot]) {
        at = off + 5;
        n = base[off + 4];
    } else {
        const uint64_t L = base[off + 4];
        if (off + 6 + L > size) return t;
        at = off + 6 + L;
        n = base[off + 5 + L];
    }
    if (at + 2 * n > size) return t;
    t.bytes = base + at;
    t.len = static_cast<uint32_t>(n);
    return t;
}

uint64_t hashOf(const TextView& t) {
    uint64_t h = 1469598103934665603ull;
    for (uint32_t i = 0; i < t.size(); ++i) h = (h ^ t.at(i)) * 1099511628211ull;
    return h | 1;  // never 0: 0 marks a free place in the tables below
}

int compareTexts(const TextView& a, const TextView& b) {
    uint32_t n = std::min(a.size(), b.size());
    for (uint32_t i = 0; i < n; ++i)
        if (a.at(i) != b.at(i)) return a.at(i) < b.at(i) ? -1 : 1;
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

// The display order is worked out one score group at a time, best first,
// as far as the pages need it: every later group scores lower, so neither
// its order nor its duplicates can change what the earlier groups show. The
// first groups are picked by a pass each (the first page rarely needs more
// than two); after that the rest is placed by counting.
void startOrdering(EngineContext& ctx) {
    auto& p = ctx.orderProgress;
    p.byScore.clear();
    p.bounds.clear();
    p.seen.clear();
    p.seenCount = 0;
    p.pending.clear();
    p.nextGroup = 0;
    p.started = true;
}

constexpr size_t kPickedGroups = 3;

// Appends the next group (candidates with the best score below the last
// group's) to byScore; false when none is left.
bool findNextGroup(EngineContext& ctx) {
    auto& p = ctx.orderProgress;
    const CandidateList& list = ctx.candidates;
    if (!p.bounds.empty() && p.bounds.back() >= list.count) return false;
    const bool keepOrder = list.count < 2 || (list.items[0].source & SourcePlainBit);
    if (keepOrder) {
        for (int i = 0; i < list.count; ++i) p.byScore.push_back(i);
        p.bounds = {0, list.count};
        return list.count > 0;
    }
    if (p.bounds.empty() && list.scoresCounted) {
        // The scores were counted as the candidates came in: one placing
        // pass groups them all.
        int start[CandidateList::MaxCountedScore + 1];
        int at = 0;
        for (int score = CandidateList::MaxCountedScore; score >= 0; --score) {
            const int n = list.scoreCount[static_cast<size_t>(score)];
            start[score] = at;
            if (n) p.bounds.push_back(at);
            at += n;
        }
        if (at != list.count) {  // not every candidate was counted: group by passes
            p.bounds.clear();
        } else {
            p.bounds.push_back(list.count);
            p.byScore.resize(static_cast<size_t>(list.count));
            for (int i = 0; i < list.count; ++i) p.byScore[static_cast<size_t>(start[list.items[i].score]++)] = i;
            return list.count > 0;
        }
    }
    if (p.bounds.empty()) p.bounds.push_back(0);
    const bool first = p.byScore.empty();
    const int64_t below = first ? INT64_MAX : list.items[p.byScore.back()].score;
    if (p.bounds.size() <= kPickedGroups) {
        // One pass: the members of the best score seen so far.
        const size_t start = p.byScore.size();
        int64_t best = INT64_MIN;
        for (int i = 0; i < list.count; ++i) {
            const int s = list.items[i].score;
            if (s >= below || s < best) continue;
            if (s > best) {
                best = s;
                p.byScore.resize(start);
            }
            p.byScore.push_back(i);
        }
        if (best == INT64_MIN) return false;
        p.bounds.push_back(static_cast<int>(p.byScore.size()));
        return true;
    }
    // Everything below: sorted by score once, grouped.
    const size_t start = p.byScore.size();
    for (int i = 0; i < list.count; ++i)
        if (list.items[i].score < below) p.byScore.push_back(i);
    std::stable_sort(p.byScore.begin() + static_cast<long>(start), p.byScore.end(),
                     [&](int a, int b) { return list.items[a].score > list.items[b].score; });
    for (size_t i = start + 1; i < p.byScore.size(); ++i)
        if (list.items[p.byScore[i]].score != list.items[p.byScore[i - 1]].score)
            p.bounds.push_back(static_cast<int>(i));
    p.bounds.push_back(static_cast<int>(p.byScore.size()));
    return p.byScore.size() > start;
}

// Places the next score group into the display order; false when none is left.
bool placeNextGroup(EngineContext& ctx) {
    auto& p = ctx.orderProgress;
    if (!p.started) startOrdering(ctx);
    if (p.nextGroup + 1 >= p.bounds.size() && !findNextGroup(ctx)) return false;
    const CandidateList& list = ctx.candidates;
    const bool association = (ctx.modeFlags & ModeAssociation) != 0;
    const bool keepOrder = list.count < 2 || (list.items[0].source & SourcePlainBit);
    static thread_local std::vector<int> group;
    group.assign(p.byScore.begin() + p.bounds[p.nextGroup], p.byScore.begin() + p.bounds[p.nextGroup + 1]);
    ++p.nextGroup;
    auto before = [&](int a, int b) { return compareCandidates(ctx, list.items[a], list.items[b], association) < 0; };
    if (hideDuplicates(ctx) && list.count >= 2) {
        // Of one text only the best stays: within a group (equal scores) the
        // larger order bits, then the one shown first; any text already seen
        // in a better group hides it. Texts are told apart by open hash
        // tables: one for this group, one for every text of the better groups.
        TableViews tables;
        auto better = [&](int x, int y) {
            uint32_t lx = list.items[x].attributes & 0xFFFFF, ly = list.items[y].attributes & 0xFFFFF;
            return lx != ly ? lx > ly : before(x, y);
        };
        struct Slot {
            uint64_t hash = 0;  // 0: free
            int index = -1;
            TextView text;
        };
        static thread_local std::vector<Slot> slots;
        size_t capacity = 16;
        while (capacity < 2 * group.size()) capacity *= 2;
        slots.assign(capacity, Slot{});
        size_t distinct = 0;
        for (int i : group) {
            const TextView t = textOf(ctx, tables, list.items[i]);
            const uint64_t h = hashOf(t);
            for (size_t k = h & (capacity - 1);; k = (k + 1) & (capacity - 1)) {
                Slot& slot = slots[k];
                if (slot.hash == 0) {
                    slot = {h, i, t};
                    ++distinct;
                    break;
                }
                if (slot.hash == h && compareTexts(slot.text, t) == 0) {
                    if (better(i, slot.index)) slot.index = i;
                    break;
                }
            }
        }
        // The seen texts stay at most half of their table.
        if (2 * (p.seenCount + distinct) > p.seen.size()) {
            size_t grown = 16;
            while (grown < 4 * (p.seenCount + distinct)) grown *= 2;
            std::vector<std::pair<uint64_t, int>> old;
            old.swap(p.seen);
            p.seen.assign(grown, {0, -1});
            for (const auto& e : old)
                if (e.first)
                    for (size_t k = e.first & (grown - 1);; k = (k + 1) & (grown - 1))
                        if (!p.seen[k].first) {
                            p.seen[k] = e;
                            break;
                        }
        }
        // A text of a better group hides this group's; the others join the
        // seen ones (no two slots hold one text, so adding as we go is safe).
        const size_t mask = p.seen.size() - 1;
        group.clear();
        for (const Slot& slot : slots) {
            if (!slot.hash) continue;
            size_t k = slot.hash & mask;
            bool hidden = false;
            for (;; k = (k + 1) & mask) {
                const auto& e = p.seen[k];
                if (e.first == 0) break;
                if (e.first == slot.hash && compareTexts(textOf(ctx, tables, list.items[e.second]), slot.text) == 0) {
                    hidden = true;
                    break;
                }
            }
            if (hidden) continue;
            p.seen[k] = {slot.hash, slot.index};
            ++p.seenCount;
            group.push_back(slot.index);
        }
    }
    if (keepOrder) {
        // Unscored lists keep the order they came in, duplicates or not.
        std::sort(group.begin(), group.end());
        ctx.ordered.insert(ctx.ordered.end(), group.begin(), group.end());
    } else {
        p.pending.assign(group.begin(), group.end());
    }
    return true;
}

// Moves the best `wanted` of the pending group members into the display
// order (a group can be long; a page needs only its first few).
void placePending(EngineContext& ctx, size_t wanted) {
    auto& p = ctx.orderProgress;
    const CandidateList& list = ctx.candidates;
    const bool association = (ctx.modeFlags & ModeAssociation) != 0;
    auto before = [&](int a, int b) { return compareCandidates(ctx, list.items[a], list.items[b], association) < 0; };
    const size_t m = std::min(std::max<size_t>(wanted, 8), p.pending.size());
    std::partial_sort(p.pending.begin(), p.pending.begin() + static_cast<long>(m), p.pending.end(), before);
    ctx.ordered.insert(ctx.ordered.end(), p.pending.begin(), p.pending.begin() + static_cast<long>(m));
    p.pending.erase(p.pending.begin(), p.pending.begin() + static_cast<long>(m));
}

// Works out the display order up to position k (or all of it for k < 0).
void ensureOrdered(EngineContext& ctx, int k) {
    auto& p = ctx.orderProgress;
    while (k < 0 || static_cast<int>(ctx.ordered.size()) <= k) {
        if (!p.pending.empty()) {
            placePending(ctx, k < 0 ? p.pending.size() : static_cast<size_t>(k + 1) - ctx.ordered.size());
        } else if (!placeNextGroup(ctx)) {
            break;
        }
    }
}

// Fills the page from ordered candidate `start`, skipping its first `part`
// converted forms (they were shown on the page before).
void fillPage(EngineContext& ctx, int start, int part) {
    CandidatePage& page = ctx.page;
    page.size = ctx.blocks.ime ? std::clamp(ctx.blocks.ime.pageSize(), 1, CandidatePage::MaxItems) : 5;
    page.count = 0;
    page.highlight = 0;
    page.start = start;
    page.startPart = part;
    static thread_local std::vector<PageItem> items;
    int k = start;
    while (page.count < page.size) {
        const Candidate* c = orderedCandidate(ctx, k);
        if (!c) break;
        items.clear();
        candidateItems(ctx, *c, items);
        int i = part;
        for (; i < static_cast<int>(items.size()) && page.count < page.size; ++i) {
            PageItem& item = page.items[page.count++];
            item.display.swap(items[i].display);
            item.output.swap(items[i].output);
            item.candidate = k;
        }
        if (i < static_cast<int>(items.size())) {
            page.next = k;
            page.nextPart = i;
            return;
        }
        part = 0;
        ++k;
    }
    page.next = k;
    page.nextPart = 0;
}

}  // namespace

void candidateItems(EngineContext& ctx, const Candidate& c, std::vector<PageItem>& out) {
    std::u16string text = candidateText(ctx, c);
    // An association shows what follows the committed text.
    if (c.source == SourceWordList && (ctx.modeFlags & ModeAssociation)) {
        size_t skip = ctx.input.result.size();
        if (ctx.blocks.ime && ctx.blocks.ime.bit(ImeSettings::OptionC, ImeSettings::C_AssociationSeparator)) ++skip;
        text.erase(0, std::min(skip, text.size()));
    }
    // A macro entry shows its display part and commits its output.
    if ((c.source & SourceTableBit) && !text.empty() && text[0] == u'$') {
        MacroSources sources{ctx.platform.clock, ctx.platform.clipboard, ctx.input.lastOutput,
                             ctx.input.previousComposition};
        if (auto macro = parseMacroEntry(text, sources)) {
            PageItem item;
            item.display = std::move(macro->display);
            item.output = std::move(macro->output);
            cutText(item.display, kItemTextUnits);
            cutText(item.output, kItemTextUnits);
            out.push_back(std::move(item));
            return;
        }
    }
    text = applyEntryEscapes(text);
    // Simplified or traditional output turns one candidate into its forms.
    ConversionTable table = activeConversionTable(ctx);
    if (table.valid()) {
        for (ConvertedText& form : convertCandidateText(table, text)) {
            PageItem item;
            item.display = std::move(form.display);
            item.output = std::move(form.output);
            out.push_back(std::move(item));
        }
        if (!out.empty()) return;
    }
    PageItem item;
    item.output = std::move(text);
    cutText(item.output, kItemTextUnits);
    item.display = item.output;
    out.push_back(std::move(item));
}

void resetPage(EngineContext& ctx) {
    ctx.ordered.clear();
    ctx.orderProgress.started = false;
    ctx.orderProgress.pending.clear();
    CandidatePage& page = ctx.page;
    page.count = page.highlight = page.start = page.startPart = page.next = page.nextPart = page.number = 0;
    page.previous.clear();
}

void sortAndFirstPage(EngineContext& ctx) {
    resetPage(ctx);
    fillPage(ctx, 0, 0);
}

const Candidate* orderedCandidate(EngineContext& ctx, int k) {
    if (k < 0) return nullptr;
    ensureOrdered(ctx, k);
    if (k >= static_cast<int>(ctx.ordered.size())) return nullptr;
    return &ctx.candidates.items[ctx.ordered[k]];
}

int orderedCount(EngineContext& ctx) {
    ensureOrdered(ctx, -1);
    return static_cast<int>(ctx.ordered.size());
}

bool hasNextPage(EngineContext& ctx) { return ctx.page.nextPart > 0 || orderedCandidate(ctx, ctx.page.next); }

bool hasPreviousPage(const EngineContext& ctx) { return !ctx.page.previous.empty(); }

bool nextPage(EngineContext& ctx) {
    if (!hasNextPage(ctx)) return false;
    CandidatePage& page = ctx.page;
    page.previous.push_back({page.start, page.startPart});
    ++page.number;
    fillPage(ctx, page.next, page.nextPart);
    return true;
}

bool previousPage(EngineContext& ctx) {
    CandidatePage& page = ctx.page;
    if (page.previous.empty()) return false;
    CandidatePage::Mark m = page.previous.back();
    page.previous.pop_back();
    --page.number;
    fillPage(ctx, m.start, m.part);
    return true;
}

void moveHighlight(EngineContext& ctx, int step) {
    CandidatePage& page = ctx.page;
    int h = page.highlight + step;
    if (h < 0) {
        if (previousPage(ctx))
            page.highlight = std::max(0, page.count - 1);
        else
            page.highlight = 0;
    } else if (h >= page.count) {
        if (nextPage(ctx))
            page.highlight = 0;
        else
            page.highlight = std::max(0, page.count - 1);
    } else {
        page.highlight = h;
    }
}

int pageCount(EngineContext& ctx) {
    if (ctx.page.count == 0) return 0;
    // Walk forward from the current page without disturbing it.
    CandidatePage saved = ctx.page;
    int pages = ctx.page.number + 1;
    while (hasNextPage(ctx)) {
        fillPage(ctx, ctx.page.next, ctx.page.nextPart);
        ++pages;
    }
    ctx.page = saved;
    return pages;
}

}  // namespace zv
