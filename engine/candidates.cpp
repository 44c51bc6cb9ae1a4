#include "engine/candidates.h"

#include "engine/data_files.h"
#include "engine/lookup.h"
#include "engine/lookup_memo.h"
#include "engine/macros.h"
#include "engine/output_conversion.h"

#include <algorithm>
#include <bit>
#include <cstring>
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

inline TextView textOf(const EngineContext& ctx, TableViews& tables, const Candidate& c) {
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

// The units of a text as bytes in memory (UTF-16LE), or null where the
// machine's order differs from the records'.
const uint8_t* bytesOf(const TextView& t) {
    if constexpr (std::endian::native != std::endian::little) return nullptr;
    return t.pooled ? reinterpret_cast<const uint8_t*>(t.pooled) : t.bytes;
}

// A hash of a text read eight bytes at a time.
uint64_t hashOf(const TextView& t) {
    const uint8_t* p = bytesOf(t);
    uint64_t h = 1469598103934665603ull;
    if (!p) {
        for (uint32_t i = 0; i < t.size(); ++i) h = (h ^ t.at(i)) * 1099511628211ull;
        return h | 1;
    }
    const size_t n = 2 * size_t{t.size()};
    auto mix = [&h](uint64_t w) {
        h = (h ^ w) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 32;
    };
    mix(n);
    // Long texts are hashed by their first sixteen and last eight bytes:
    // macro texts differ there (the character after "$zvcmd(", the code at
    // the end), and equal hashes are compared in full anyway.
    size_t i = 0;
    for (uint64_t w; i + 8 <= n && i < 16; i += 8) {
        std::memcpy(&w, p + i, 8);
        mix(w);
    }
    if (i < n) {
        uint64_t w = 0;
        if (n >= 8) {
            std::memcpy(&w, p + n - 8, 8);  // the last eight bytes, overlapping the chunk before
        } else if (n >= 4) {
            uint32_t head, last;  // the first and the last four bytes of two or three units
            std::memcpy(&head, p, 4);
            std::memcpy(&last, p + n - 4, 4);
            w = head | uint64_t{last} << 32;
        } else {
            uint16_t unit;
            std::memcpy(&unit, p, 2);
            w = unit;
        }
        mix(w);
    }
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 29;
    return h | 1;  // never 0: 0 marks a free place in the tables below
}

bool sameText(const TextView& a, const TextView& b) {
    if (a.size() != b.size()) return false;
    const uint8_t *pa = bytesOf(a), *pb = bytesOf(b);
    if (pa && pb) return std::memcmp(pa, pb, 2 * size_t{a.size()}) == 0;
    for (uint32_t i = 0; i < a.size(); ++i)
        if (a.at(i) != b.at(i)) return false;
    return true;
}

// The display order is worked out one score group at a time, best first,
// as far as the pages need it: every later group scores lower, so neither
// its order nor its duplicates can change what the earlier groups show.
// Counted scores give each group by its chain; otherwise the first groups
// are picked by a pass each and the rest is sorted by score once.
void startOrdering(EngineContext& ctx) {
    auto& p = ctx.orderProgress;
    p.byScore.clear();
    p.bounds.clear();
    p.placedTexts = 0;
    if (++p.stamp == 0) {  // the stamps went round: every place is free again
        p.seen.assign(p.seen.size(), {});
        p.stamp = 1;
    }
    p.pending.clear();
    p.lazyLeft = 0;
    p.nextGroup = 0;
    p.started = true;
}

constexpr size_t kPickedGroups = 3;
// Score groups prepared for: a code's lists have one per code length.
constexpr size_t kGroupsPrepared = 64;
// Places for the texts of one ordering: at most half of them are taken.
constexpr size_t kSeenSize = 8192;
static_assert(kSeenSize >= 2 * CandidateList::Capacity);
using SeenText = EngineContext::OrderProgress::SeenText;

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
    if (list.scoresCounted) {
        // The scores were counted and chained as the candidates came in:
        // the next group is the chain of the next score that has any.
        int score = p.byScore.empty() ? CandidateList::MaxCountedScore : list.items[p.byScore.back()].score - 1;
        for (; score >= 0 && list.scoreLast[static_cast<size_t>(score)] < 0; --score) {
        }
        if (score < 0) return false;
        for (int i = list.scoreLast[static_cast<size_t>(score)]; i >= 0; i = list.sameScoreBefore[static_cast<size_t>(i)])
            p.byScore.push_back(i);
        p.bounds.push_back(static_cast<int>(p.byScore.size()));
        return true;
    }
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

// The place of a group member in its group's order, as a number: fewer
// characters (单字先见), larger fixed and order bits, then table and record
// position. Under 按编码排序 the codes are compared when members are placed.
uint64_t orderNumber(const EngineContext& ctx, const Candidate& c, bool singleFirst) {
    const uint64_t chars = singleFirst ? std::min(candidateChars(ctx, c), 255) : 0;
    const uint32_t sortBits = c.attributes & attr::SortMask;
    const uint64_t rank = (sortBits >> 14 & 0x10000) | (sortBits & 0xFFFF);  // fixed, order value
    const uint64_t slot = std::min<uint64_t>(c.slot, 15);
    return chars << 53 | (0x1FFFF - rank) << 36 | slot << 32 | c.ref;
}

// The places of the table of placed texts in use for the list: twice the
// list, so that a short list's texts stay close together.
size_t seenMask(EngineContext& ctx) {
    auto& p = ctx.orderProgress;
    // As large as the list needs: places never used carry no stamp.
    const size_t places = std::min(kSeenSize, std::bit_ceil(2 * static_cast<size_t>(ctx.candidates.count)));
    if (p.seen.size() < places) p.seen.resize(places);
    return places - 1;
}

// Enters candidate i's text among the placed texts and returns null, or
// returns the place of an equal text entered before.
SeenText* findOrEnterText(EngineContext& ctx, TableViews& tables, size_t mask, int i, const TextView& t) {
    auto& p = ctx.orderProgress;
    const uint64_t h = hashOf(t);
    const uint32_t h32 = static_cast<uint32_t>(h >> 32);
    for (size_t at = h & mask;; at = (at + 1) & mask) {
        SeenText& e = p.seen[at];
        if (e.stamp != p.stamp) {
            e = {h32, i, p.placedTexts++, p.stamp};
            return nullptr;
        }
        if (e.hash == h32 && sameText(textOf(ctx, tables, ctx.candidates.items[static_cast<size_t>(e.index)]), t))
            return &e;
    }
}

// Places every pending member in its number's order (a list that keeps the
// order it came in).
void placeAllPending(EngineContext& ctx) {
    auto& p = ctx.orderProgress;
    std::sort(p.pending.begin(), p.pending.end());
    for (const auto& member : p.pending) ctx.ordered.push_back(member.second);
    p.pending.clear();
}

// Places the next score group into the display order; false when none is left.
bool placeNextGroup(EngineContext& ctx) {
    auto& p = ctx.orderProgress;
    if (!p.started) startOrdering(ctx);
    if (p.nextGroup + 1 >= p.bounds.size() && !findNextGroup(ctx)) return false;
    const CandidateList& list = ctx.candidates;
    const bool association = (ctx.modeFlags & ModeAssociation) != 0;
    const bool keepOrder = list.count < 2 || (list.items[0].source & SourcePlainBit);
    const int* const members = p.byScore.data() + p.bounds[p.nextGroup];
    const int memberCount = p.bounds[p.nextGroup + 1] - p.bounds[p.nextGroup];
    ++p.nextGroup;
    const uint32_t basis = !association && ctx.blocks.ime ? ctx.blocks.ime.b() : 0;
    const bool singleFirst = basis & ImeSettings::B_SingleFirst;
    // Unscored lists keep the order they came in: their members are
    // numbered by position.
    auto numberOf = [&](int i) {
        return keepOrder ? static_cast<uint64_t>(i) : orderNumber(ctx, list.items[static_cast<size_t>(i)], singleFirst);
    };
    p.pending.clear();
    p.hideWhenPlaced = false;
    if (!hideDuplicates(ctx) || list.count < 2) {
        for (int k = 0; k < memberCount; ++k) p.pending.push_back({numberOf(members[k]), members[k]});
        if (keepOrder) placeAllPending(ctx);
        return true;
    }
    // Of one text only the best stays: within a group (equal scores) the
    // larger order bits, then the one shown first; a text already placed by
    // a better group hides it. One open hash table holds every text placed
    // in this ordering; its places count as free unless they carry this
    // ordering's stamp, so it is never cleared between lists.
    if (!keepOrder && !(basis & (ImeSettings::B_SingleFirst | ImeSettings::B_ByCode))) {
        // When the members agree on the fixed bit and the bits above the
        // order value, the best of each text is also the first of it in the
        // group's order: duplicates are then hidden as members are placed,
        // and only the texts of placed members are read (a group can hold
        // hundreds; a page shows a few).
        constexpr uint32_t kOtherRankBits = 0x400F0000;
        const uint32_t common = list.items[static_cast<size_t>(members[0])].attributes & kOtherRankBits;
        bool agree = true;
        for (int k = 0; k < memberCount; ++k)
            agree &= (list.items[static_cast<size_t>(members[k])].attributes & kOtherRankBits) == common;
        if (agree) {
            // Its members are then placed a few at a time, the next best by
            // their numbers each time (placePending): a page needs only the
            // first few of a group of hundreds.
            p.hideWhenPlaced = true;
            p.lazyStart = p.bounds[p.nextGroup - 1];
            p.lazyLeft = memberCount;
            p.lazyPlacedAny = false;
            return true;
        }
    }
    // Otherwise every member's text is looked up now; a place of this
    // group's text tells where in `pending` its member is.
    const size_t mask = seenMask(ctx);
    const uint32_t groupStart = p.placedTexts;
    auto before = [&](int a, int b) { return compareCandidates(ctx, list.items[a], list.items[b], association) < 0; };
    auto better = [&](int x, int y) {
        uint32_t lx = list.items[x].attributes & 0xFFFFF, ly = list.items[y].attributes & 0xFFFFF;
        return lx != ly ? lx > ly : before(x, y);
    };
    TableViews tables;
    for (int k = 0; k < memberCount; ++k) {
        const int i = members[k];
        SeenText* e = findOrEnterText(ctx, tables, mask, i, textOf(ctx, tables, list.items[static_cast<size_t>(i)]));
        if (!e) {
            p.pending.push_back({numberOf(i), i});
        } else if (e->order >= groupStart && better(i, e->index)) {
            e->index = i;
            p.pending[e->order - groupStart] = {numberOf(i), i};
        }
    }
    if (keepOrder) placeAllPending(ctx);
    return true;
}

// Moves the best `wanted` of the pending group members into the display
// order (a group can be long; a page needs only its first few).
void placePending(EngineContext& ctx, size_t wanted) {
    auto& p = ctx.orderProgress;
    const CandidateList& list = ctx.candidates;
    using Keyed = std::pair<uint64_t, int>;
    if (p.lazyLeft > 0) {
        // The best m of the group's members not placed yet, kept in a heap
        // whose top is the worst of them, in one pass over the group.
        const size_t m = std::min(std::max<size_t>(wanted, 8), static_cast<size_t>(p.lazyLeft));
        const int* const members = p.byScore.data() + p.lazyStart;
        const int count = p.bounds[p.nextGroup] - p.lazyStart;
        p.pending.clear();
        for (int k = 0; k < count; ++k) {
            const int i = members[k];
            const uint64_t n = orderNumber(ctx, list.items[static_cast<size_t>(i)], false);
            if (p.lazyPlacedAny && n <= p.lazyLast) continue;
            if (p.pending.size() < m) {
                p.pending.push_back({n, i});
                std::push_heap(p.pending.begin(), p.pending.end());
            } else if (n < p.pending.front().first) {
                std::pop_heap(p.pending.begin(), p.pending.end());
                p.pending.back() = {n, i};
                std::push_heap(p.pending.begin(), p.pending.end());
            }
        }
        std::sort_heap(p.pending.begin(), p.pending.end());
        const size_t mask = seenMask(ctx);
        TableViews tables;
        for (const Keyed& member : p.pending)
            if (!findOrEnterText(ctx, tables, mask, member.second, textOf(ctx, tables, list.items[member.second])))
                ctx.ordered.push_back(member.second);
        p.lazyLeft = p.pending.size() < m ? 0 : p.lazyLeft - static_cast<int>(m);
        if (!p.pending.empty()) {
            p.lazyLast = p.pending.back().first;
            p.lazyPlacedAny = true;
        }
        p.pending.clear();
        return;
    }
    const bool association = (ctx.modeFlags & ModeAssociation) != 0;
    const size_t m = std::min(std::max<size_t>(wanted, 8), p.pending.size());
    const auto middle = p.pending.begin() + static_cast<long>(m);
    const uint32_t basis = !association && ctx.blocks.ime ? ctx.blocks.ime.b() : 0;
    // A group that is placed whole is sorted whole: a short sort costs less
    // than building a heap over it.
    auto order = [&](auto before) {
        if (middle == p.pending.end())
            std::sort(p.pending.begin(), p.pending.end(), before);
        else
            std::partial_sort(p.pending.begin(), middle, p.pending.end(), before);
    };
    if ((basis & ImeSettings::B_ByCode) && !(basis & ImeSettings::B_SingleFirst)) {
        order([&](const Keyed& a, const Keyed& b) {
            return compareCandidates(ctx, list.items[a.second], list.items[b.second], association) < 0;
        });
    } else {
        order([](const Keyed& a, const Keyed& b) { return a.first < b.first; });
    }
    if (!p.hideWhenPlaced) {
        for (auto it = p.pending.begin(); it != middle; ++it) ctx.ordered.push_back(it->second);
    } else {
        // A member whose text was placed before is hidden (see placeNextGroup).
        const size_t mask = seenMask(ctx);
        TableViews tables;
        for (auto it = p.pending.begin(); it != middle; ++it)
            if (!findOrEnterText(ctx, tables, mask, it->second, textOf(ctx, tables, list.items[it->second])))
                ctx.ordered.push_back(it->second);
    }
    p.pending.erase(p.pending.begin(), middle);
}

// Works out the display order up to position k (or all of it for k < 0).
void ensureOrdered(EngineContext& ctx, int k) {
    auto& p = ctx.orderProgress;
    if (!p.started && ctx.ordered.empty() && !p.fromMemo) {
        // A list taken unchanged from the lookup memo comes with the order
        // worked out for its first page.
        if (const auto kept = rememberedOrder(ctx)) {
            ctx.ordered = kept->ordered;
            p.fromMemo = true;
        }
    }
    if (p.fromMemo && (k < 0 || k >= static_cast<int>(ctx.ordered.size()))) {
        // Further than that the order is worked out afresh (it repeats the
        // kept part).
        ctx.ordered.clear();
        p.fromMemo = false;
        p.started = false;
    }
    while (k < 0 || static_cast<int>(ctx.ordered.size()) <= k) {
        if (!p.pending.empty() || p.lazyLeft > 0) {
            const size_t rest = p.lazyLeft > 0 ? static_cast<size_t>(p.lazyLeft) : p.pending.size();
            placePending(ctx, k < 0 ? rest : static_cast<size_t>(k + 1) - ctx.ordered.size());
        } else if (!placeNextGroup(ctx)) {
            break;
        }
    }
}

// The item of a code-table word that is shown as it stands (no macro, no
// escape, no conversion), written straight into the page: most items are.
bool plainItem(const EngineContext& ctx, const Candidate& c, PageItem& item) {
    if (!(c.source & SourceTableBit) || (c.source & SourcePlainBit) || c.source == SourceGenerated) return false;
    const EntryView e = candidateEntry(ctx, c);
    if (!e.valid() || e.wordLen == 0 || e.wordLen > kItemTextUnits || e.wordUnit(0) == u'$') return false;
    item.output.resize(e.wordLen);
    for (uint32_t i = 0; i < e.wordLen; ++i) {
        const char16_t u = e.wordUnit(i);
        if (u == u'\\') return false;
        item.output[i] = u;
    }
    item.display = item.output;
    return true;
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
    std::vector<PageItem>& items = threadScratch().pageItems;
    const bool converting = activeConversionTable(ctx).valid();
    int k = start;
    while (page.count < page.size) {
        const Candidate* c = orderedCandidate(ctx, k);
        if (!c) break;
        if (part == 0 && !converting && plainItem(ctx, *c, page.items[page.count])) {
            page.items[page.count++].candidate = k++;
            continue;
        }
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

void prepareOrdering(EngineContext& ctx) {
    auto& p = ctx.orderProgress;
    // Written once, so that the pages are there before any key needs them:
    // the ordering of the longest list one scan gives. The table of placed
    // texts and the pending members grow as a list first needs them: an
    // input context that gains the focus and is never typed into (most
    // fields of a form) does not hold them.
    const size_t n = CandidateList::ScanLimit;
    p.byScore.resize(n);
    p.bounds.resize(kGroupsPrepared);
    ctx.ordered.resize(n);
    resetPage(ctx);
    p.byScore.clear();
    p.bounds.clear();
}

void resetPage(EngineContext& ctx) {
    ctx.ordered.clear();
    ctx.orderProgress.started = false;
    ctx.orderProgress.fromMemo = false;
    ctx.orderProgress.pending.clear();
    ctx.orderProgress.lazyLeft = 0;
    CandidatePage& page = ctx.page;
    page.count = page.highlight = page.start = page.startPart = page.next = page.nextPart = page.number = 0;
    page.previous.clear();
}

void sortAndFirstPage(EngineContext& ctx) {
    resetPage(ctx);
    fillPage(ctx, 0, 0);
    // The order as far as the first page and the look beyond it need.
    hasNextPage(ctx);
    rememberOrder(ctx);
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
