#include "engine/host_view.h"

#include "engine/candidates.h"
#include "engine/input_rules.h"
#include "engine/lookup.h"

#include <algorithm>
#include <utility>

namespace zv {

EngineView viewOf(EngineContext& ctx) {
    EngineView v;
    const InputState& in = ctx.input;
    v.display = in.display;
    v.displayCursor = in.displayCursor;
    v.reading = displayOfCode(in.code);
    v.readingCursor = in.cursor;
    v.composing = in.composing;

    const CandidatePage& page = ctx.page;
    const int count = std::clamp(page.count, 0, CandidatePage::MaxItems);
    v.items.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const PageItem& p = page.items[static_cast<size_t>(i)];
        ViewCandidate item;
        item.display = p.display;
        item.output = p.output;
        if (const Candidate* c = orderedCandidate(ctx, p.candidate)) {
            item.hint = candidateHint(ctx, *c);
            item.fromTable = (c->source & SourceTableBit) != 0;
            const int category = item.fromTable ? attr::category(c->attributes) : CategoryNone;
            if (c->source == SourceTemp) item.origin = CandidateOrigin::TemporaryWord;
            else if (item.fromTable && category == CategoryUser) item.origin = CandidateOrigin::UserWord;
            else if (!item.fromTable) item.origin = CandidateOrigin::Other;
            item.pinned = item.fromTable && attr::fixed(c->attributes);
            item.secondary = category == CategorySecondary;
        }
        v.items.push_back(std::move(item));
    }
    v.highlight = page.highlight;
    v.pageNumber = page.number;
    v.pageSize = page.size;
    v.firstPage = !hasPreviousPage(ctx);
    v.lastPage = !hasNextPage(ctx);
    // Whether there is more than one candidate is all a window asks;
    // counting the whole list would order all of it.
    v.candidates = orderedCandidate(ctx, 1) ? 2 : orderedCandidate(ctx, 0) ? 1 : 0;

    v.modes = ctx.modeFlags;
    v.conversionStatus = conversionStatusOf(ctx.modeFlags);
    v.softKeyboardLayout = (ctx.modeFlags & ModeSoftKeyboard) && ctx.shared ? ctx.shared->softKeyboardLayout : 0;
    v.traditionalTable = ctx.isOpen(SlotTraditional);
    v.simplifiedTable = ctx.isOpen(SlotSimplified);
    v.result = in.result;
    v.resultKind = in.resultKind;
    return v;
}

EngineChanges takeChanges(EngineContext& ctx) { return std::exchange(ctx.changes, EngineChanges{}); }

}  // namespace zv
