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

// The text of a candidate as units, without copying records.
struct TextView {
    EntryView entry;                 // a record's word
    const std::u16string* pooled = nullptr;
    uint32_t size() const { return pooled ? static_cast<uint32_t>(pooled->size()) : entry.wordLen; }
    char16_t at(uint32_t i) const { return pooled ? (*pooled)[i] : entry.wordUnit(i); }
};

// Views of the tables candidates come from, made once per use.
struct TableViews {
    CodeTable views[SlotCount];
    bool made[SlotCount] = {};
    const CodeTable& of(const EngineContext& ctx, uint8_t slot) {
        if (!made[slot]) {
            views[slot] = tableView(ctx, static_cast<DataSlot>(slot));
            made[slot] = true;
        }
        return views[slot];
    }
};

TextView textOf(const EngineContext& ctx, TableViews& tables, const Candidate& c) {
    TextView t;
    if (c.slot >= SlotCount) {
        static const std::u16string empty;
        t.pooled = c.ref < ctx.candidates.texts.size() ? &ctx.candidates.texts[c.ref] : &empty;
    } else {
        t.entry = tables.of(ctx, c.slot).recordAt(c.ref);
    }
    return t;
}

uint64_t hashOf(const TextView& t) {
    uint64_t h = 1469598103934665603ull;
    for (uint32_t i = 0; i < t.size(); ++i) h = (h ^ t.at(i)) * 1099511628211ull;
    return h;
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
        // in a better group hides it.
        struct Member {
            uint64_t hash;
            int index;
            TextView text;
        };
        static thread_local std::vector<Member> members;
        TableViews tables;
        members.clear();
        for (int i : group) {
            TextView t = textOf(ctx, tables, list.items[i]);
            members.push_back({hashOf(t), i, t});
        }
        std::sort(members.begin(), members.end(), [&](const Member& x, const Member& y) {
            if (x.hash != y.hash) return x.hash < y.hash;
            int t = compareTexts(x.text, y.text);
            if (t != 0) return t < 0;
            uint32_t lx = list.items[x.index].attributes & 0xFFFFF, ly = list.items[y.index].attributes & 0xFFFFF;
            if (lx != ly) return lx > ly;
            return before(x.index, y.index);
        });
        group.clear();
        for (size_t k = 0; k < members.size(); ++k) {
            const Member& m = members[k];
            if (k > 0 && members[k - 1].hash == m.hash && compareTexts(members[k - 1].text, m.text) == 0) continue;
            bool shadowed = false;
            auto it = std::lower_bound(p.seen.begin(), p.seen.end(), std::make_pair(m.hash, -1));
            for (; it != p.seen.end() && it->first == m.hash && !shadowed; ++it)
                shadowed = compareTexts(textOf(ctx, tables, list.items[it->second]), m.text) == 0;
            if (!shadowed) group.push_back(m.index);
        }
        const size_t before = p.seen.size();
        for (const Member& m : members) p.seen.emplace_back(m.hash, m.index);
        std::sort(p.seen.begin() + static_cast<long>(before), p.seen.end());
        std::inplace_merge(p.seen.begin(), p.seen.begin() + static_cast<long>(before), p.seen.end(),
                           [](const auto& x, const auto& y) { return x < y; });
    }
    if (keepOrder) {
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
