#include "engine/candidates.h"

#include "engine/lookup.h"
#include "engine/macros.h"
#include "engine/output_conversion.h"

#include <algorithm>

namespace zv {

namespace {

bool hideDuplicates(const EngineContext& ctx) {
    return (ctx.modeFlags & ModeAssociation) ||
           (ctx.blocks.ime && ctx.blocks.ime.bit(ImeSettings::OptionC, ImeSettings::C_HideSameWordOtherCode));
}

// Orders the whole list into ctx.ordered.
void orderAll(EngineContext& ctx) {
    CandidateList& list = ctx.candidates;
    std::vector<int>& ordered = ctx.ordered;
    ordered.clear();
    for (int i = 0; i < list.count; ++i) ordered.push_back(i);
    if (list.count < 2) return;
    const bool association = (ctx.modeFlags & ModeAssociation) != 0;
    auto before = [&](int a, int b) { return compareCandidates(ctx, list.items[a], list.items[b], association) < 0; };
    if (hideDuplicates(ctx)) {
        // Of several candidates with one text only the best stays: the higher
        // score, then the larger order bits; otherwise the one shown first.
        std::vector<std::u16string> texts(list.count);
        for (int i = 0; i < list.count; ++i) texts[i] = candidateText(ctx, list.items[i]);
        std::sort(ordered.begin(), ordered.end(), [&](int a, int b) {
            if (texts[a] != texts[b]) return texts[a] < texts[b];
            const Candidate &x = list.items[a], &y = list.items[b];
            if (x.score != y.score) return x.score > y.score;
            uint32_t lx = x.attributes & 0xFFFFF, ly = y.attributes & 0xFFFFF;
            if (lx != ly) return lx > ly;
            return before(a, b);
        });
        ordered.erase(std::unique(ordered.begin(), ordered.end(), [&](int a, int b) { return texts[a] == texts[b]; }),
                      ordered.end());
    }
    if (ordered.size() >= 2 && !(list.items[0].source & SourcePlainBit))
        std::sort(ordered.begin(), ordered.end(), before);
}

bool ensureOrdered(EngineContext& ctx) {
    if (ctx.ordered.empty() && ctx.candidates.count > 0) orderAll(ctx);
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
    CandidatePage& page = ctx.page;
    page.count = page.highlight = page.start = page.startPart = page.next = page.nextPart = page.number = 0;
    page.previous.clear();
}

void sortAndFirstPage(EngineContext& ctx) {
    resetPage(ctx);
    ensureOrdered(ctx);
    fillPage(ctx, 0, 0);
}

const Candidate* orderedCandidate(EngineContext& ctx, int k) {
    ensureOrdered(ctx);
    if (k < 0 || k >= static_cast<int>(ctx.ordered.size())) return nullptr;
    return &ctx.candidates.items[ctx.ordered[k]];
}

int orderedCount(EngineContext& ctx) {
    ensureOrdered(ctx);
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
