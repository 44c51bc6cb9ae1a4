#include "ui/engine_view.h"

#include "engine/candidates.h"
#include "engine/lookup.h"

#include <algorithm>

namespace zv::ui {

UiView viewOf(EngineContext& ctx, bool capsLock) {
    UiView v;
    const CandidatePage& page = ctx.page;
    const int count = std::clamp(page.count, 0, CandidatePage::MaxItems);
    for (int i = 0; i < count; ++i) {
        const PageItem& p = page.items[static_cast<size_t>(i)];
        CandidateItem item;
        // The window shows the item's display text: a macro's display part,
        // a converted form with its original; plain candidates show what they
        // commit.
        item.text = p.display.empty() ? p.output : p.display;
        if (const Candidate* c = orderedCandidate(ctx, p.candidate)) {
            item.hint = candidateHint(ctx, *c);
            item.fromTable = (c->source & SourceTableBit) != 0;
            const int category = item.fromTable ? attr::category(c->attributes) : CategoryNone;
            if (c->source == SourceTemp) item.kind = CandidateKind::TemporaryWord;
            else if (item.fromTable && category == CategoryUser) item.kind = CandidateKind::UserWord;
            else if (!item.fromTable) item.kind = CandidateKind::Other;
            item.pinned = item.fromTable && attr::fixed(c->attributes);
            item.secondary = category == CategorySecondary;
        }
        v.items.push_back(std::move(item));
    }
    v.highlight = page.highlight;
    v.firstPage = !hasPreviousPage(ctx);
    v.lastPage = !hasNextPage(ctx);
    // Whether there is more than one candidate is all the window asks;
    // counting the whole list would order all of it.
    v.candidateCount = orderedCandidate(ctx, 1) ? 2 : orderedCandidate(ctx, 0) ? 1 : 0;
    v.display = ctx.input.display;
    v.cursor = ctx.input.displayCursor;
    v.modes = ctx.modeFlags;
    v.softKeyboardLayout = (ctx.modeFlags & ModeSoftKeyboard) && ctx.shared ? ctx.shared->softKeyboardLayout : 0;
    v.capsLock = capsLock;
    return v;
}

MenuContext menuContextOf(const EngineContext& ctx, bool textService, const SkinList* skins) {
    MenuContext c;
    c.modes = ctx.modeFlags;
    c.softKeyboardLayout = (ctx.modeFlags & ModeSoftKeyboard) && ctx.shared ? ctx.shared->softKeyboardLayout : 0;
    const SettingsBlocks& b = ctx.blocks;
    if (b.ime) c.imeA = b.ime.a();
    if (b.soft) {
        c.mainName = b.soft.categoryName(CategoryNone);
        c.auxiliaryName = b.soft.categoryName(CategoryAuxiliary);
        c.secondaryName = b.soft.categoryName(CategorySecondary);
        // The user-word category must be defined for words to be added to it.
        c.userWords = (b.soft.categoryRights(CategoryUser) & 0x2) != 0;
    }
    c.traditionalOpen = ctx.isOpen(SlotTraditional);
    c.simplifiedOpen = ctx.isOpen(SlotSimplified);
    c.textService = textService;
    c.skins = skins;
    if (b.skin) c.currentSkin = b.skin.text(SkinSettings::SkinFile, SkinSettings::NameUnits);
    return c;
}

}  // namespace zv::ui
