// The evaluation of the code after every change: the lookups it runs, the
// verdict (show, clear, commit at once) and acting on it; and the editing
// and candidate functions that evaluate it again.

#include "engine/candidates.h"
#include "engine/code_search.h"
#include "engine/input.h"
#include "engine/input_rules.h"
#include "engine/lookup.h"
#include "engine/macros.h"
#include "engine/notifications.h"
#include "engine/table_update.h"

#include <cstring>

namespace zv {

namespace {
int lookup(EngineContext& ctx, const uint8_t* key, uint32_t len, bool prefix, const SearchRange& range,
           bool queryJustTyped) {
    if (!len) return 0;
    CodeSearch s;
    s.key = key;
    s.len = len;
    s.prefix = prefix;
    s.range = range;
    s.queryJustTyped = queryJustTyped;
    return searchCode(ctx, s);
}
}  // namespace

int normalLookup(EngineContext& ctx, const uint8_t* key, uint32_t len, const SearchRange& range, bool queryJustTyped) {
    if (isOn(ctx, DmeSettings::D_Progressive)) return lookup(ctx, key, len, true, range, queryJustTyped);
    int n = lookup(ctx, key, len, false, range, queryJustTyped);
    if (n == 0 && isOn(ctx, DmeSettings::D_ProgressiveWhenEmpty)) n = lookup(ctx, key, len, true, range, queryJustTyped);
    return n;
}

bool anyEntryBeginsWith(const EngineContext& ctx, const uint8_t* key, uint32_t len, const SearchRange& range,
                        bool longer, uint32_t except) {
    return hasEntryBeginningWith(ctx, key, len, range, longer, except);
}

Verdict evaluate(EngineContext& ctx) {
    InputState& in = ctx.input;
    CandidateList& list = ctx.candidates;
    SharedInputState& shared = *ctx.shared;
    if (englishInput(ctx)) {
        resetPage(ctx);
        list.clear();
        if (!in.code.empty()) searchWordList(ctx, in.code, WordEnglish | WordScored | WordAllowEqual);
        return Verdict::Show;
    }
    // Remember the first candidate for smart dynamic commit.
    if (list.count > 0 && !ctx.ordered.empty()) {
        const Candidate& first = list.items[ctx.ordered[0]];
        if (!candidateHasHint(ctx, first)) {
            shared.hasPreviousFirst = true;
            shared.previousFirst = first;
            shared.previousFirstText = candidateText(ctx, first);
        }
    }
    resetPage(ctx);
    list.clear();
    CodeForms f = codeForms(ctx, in.code);
    if (!f.plainLen || !f.searchLen) {
        if (!f.plainLen) return Verdict::Nothing;
    }
    const Leads leads = leadsOf(ctx);
    const SearchRange range = currentSearchRange(ctx);
    const bool queryJustTyped = leads.query && in.cursor > 0 && codeByteOf(in.code[in.cursor - 1]) == leads.query;
    // A lone wildcard offers the last output again.
    if (f.plainLen == 1 && leads.query && f.plain[0] == leads.query && isOn(ctx, DmeSettings::D_QueryRepeat) &&
        !in.lastOutput.empty())
        addTextCandidate(ctx, in.lastOutput, SourceGenerated, 0xEEEEEE);

    const bool wildcard = std::memchr(f.search, dmg::Wildcard, f.searchLen) != nullptr;
    if (wildcard) {
        lookup(ctx, f.plain, f.plainLen, false, range, false);
        int before = list.count;
        CodeSearch q;
        q.key = f.search;
        q.len = f.searchLen;
        q.prefix = true;
        q.wildcard = true;
        q.range = range;
        q.queryJustTyped = queryJustTyped;
        int found = searchCode(ctx, q);
        (void)before;
        if (found == 0 && (isOn(ctx, DmeSettings::D_Progressive) || isOn(ctx, DmeSettings::D_ProgressiveWhenEmpty)))
            normalLookup(ctx, f.plain, f.plainLen, range, false);
        if (f.searchLen == f.plainLen) return Verdict::Show;
    } else if (f.searchLen == f.plainLen) {
        normalLookup(ctx, f.plain, f.plainLen, range, queryJustTyped);
    } else {
        lookup(ctx, f.plain, f.plainLen, false, range, false);
    }

    if (f.searchLen > 0) {
        if (f.lead == CodeForms::English) {
            generateTempEnglishCandidates(ctx, std::u16string_view(in.code).substr(1));
        } else if (f.lead == CodeForms::Aux) {
            SearchRange auxOnly = range;
            auxOnly.main = false;
            auxOnly.aux = true;
            auxOnly.secondaryOnly = false;
            normalLookup(ctx, f.search, f.searchLen, auxOnly, queryJustTyped);
        } else if (f.lead == CodeForms::Secondary) {
            SearchRange secondaryOnly = range;
            secondaryOnly.secondaryOnly = true;
            normalLookup(ctx, f.search, f.searchLen, secondaryOnly, queryJustTyped);
        }
        if (f.lead != CodeForms::None) return Verdict::Show;
        if (list.count == 0 && !(ctx.modeFlags & ModeSecondaryOnly) && !secondarySearched(ctx) &&
            isOn(ctx, ImeSettings::A_SecondaryWhenEmpty)) {
            SearchRange secondaryOnly = range;
            secondaryOnly.secondaryOnly = true;
            normalLookup(ctx, f.search, f.searchLen, secondaryOnly, queryJustTyped);
        }
    }

    // The verdict.
    const DmeSettings& dme = ctx.blocks.dme;
    const char16_t last = in.code.empty() ? 0 : in.code.back();
    const uint8_t lastClass = classOf(ctx, last);
    if (list.count == 1 && list.items[0].source != SourceTemp) {
        const Candidate& only = list.items[0];
        const uint32_t a = dme.u8(DmeSettings::UniqueCommitLength);
        const bool exact = !candidateHasHint(ctx, only);
        bool qualifies;
        if ((a == 0 || in.code.size() < a) && !(classOf(ctx, in.code[0]) & DmeSettings::ClassCommitLead))
            qualifies = (lastClass & DmeSettings::ClassTerminator) && exact;
        else
            qualifies = exact || isOn(ctx, DmeSettings::D_IgnoreFullCode);
        if (qualifies && !anyEntryBeginsWith(ctx, f.search, f.searchLen, range, true,
                                             only.slot == SlotMain ? only.ref : 0))
            return Verdict::CommitUnique;
    }
    if (list.count == 0 && !anyEntryBeginsWith(ctx, f.search, f.searchLen, range, true)) {
        const uint32_t d = dme.u8(DmeSettings::SmartCommitLength);
        if (d && in.code.size() > d && shared.hasPreviousFirst) {
            // The previous first candidate becomes the only candidate.
            Candidate prev = shared.previousFirst;
            if (prev.slot == SlotNone) {
                prev.ref = static_cast<uint32_t>(list.texts.size());
                list.texts.push_back(shared.previousFirstText);
            }
            const std::vector<std::u16string> texts = std::move(list.texts);
            list.clear();
            list.texts = texts;
            list.push(prev);
            const uint8_t lastByte = codeByteOf(last);
            if ((lastClass & DmeSettings::ClassCommitLead) || (leads.query && lastByte == leads.query) ||
                (leads.english && lastByte == leads.english) || (lastClass & DmeSettings::ClassCode))
                return Verdict::CommitPreviousKeepKey;
            return Verdict::CommitPreviousThenKey;
        }
        const uint32_t e = dme.u8(DmeSettings::EmptyClearLength);
        if (e && in.code.size() >= e) return Verdict::ClearCode;
    }
    return Verdict::Show;
}

void act(EngineContext& ctx, Verdict v) {
    InputState& in = ctx.input;
    switch (v) {
    case Verdict::Nothing: break;
    case Verdict::Show:
        sortAndFirstPage(ctx);
        in.composing = true;
        announcePage(ctx);
        break;
    case Verdict::ClearCode: clearInput(ctx, true); break;
    case Verdict::CommitUnique:
        sortAndFirstPage(ctx);
        commitCandidate(ctx, commit::Highlighted, false);
        if (in.composing && !inAssociation(ctx)) clearInput(ctx, false);
        break;
    case Verdict::CommitPreviousKeepKey: {
        ctx.modeFlags |= ModeNested;
        const char16_t key = in.code.empty() ? 0 : in.code.back();
        sortAndFirstPage(ctx);
        const bool wasShown = in.composing;
        commitCandidate(ctx, 1, true);
        (void)wasShown;
        clearInput(ctx, false);
        startComposition(ctx);
        if (key) appendKey(ctx, key);
        requestRedraw(ctx);
        ctx.modeFlags &= ~ModeNested;
        break;
    }
    case Verdict::CommitPreviousThenKey: {
        const std::u16string key(1, in.code.empty() ? u' ' : in.code.back());
        sortAndFirstPage(ctx);
        commitKeyText(ctx, key);
        break;
    }
    }
}

void appendKey(EngineContext& ctx, char16_t ch) {
    InputState& in = ctx.input;
    if (static_cast<int>(in.code.size()) >= InputState::MaxCode) return;
    in.code.insert(in.code.begin() + in.cursor, ch);
    ++in.cursor;
    in.composing = true;
    act(ctx, evaluate(ctx));
}

void reevaluateWhenComposing(EngineContext& ctx) {
    if (ctx.input.composing && !ctx.input.code.empty()) {
        act(ctx, evaluate(ctx));
    } else if (ctx.input.composing) {
        requestRedraw(ctx);
    }
}

bool refresh(EngineContext& ctx) {
    act(ctx, evaluate(ctx));
    return ctx.input.refreshRequest != 0;
}

void evaluateCode(EngineContext& ctx, std::u16string_view code) {
    InputState& in = ctx.input;
    in.code.clear();
    for (char16_t u : code.substr(0, InputState::MaxCode)) in.code.push_back(heldUnit(u));
    in.cursor = static_cast<int>(in.code.size());
    in.composing = !in.code.empty();
    if (evaluate(ctx) == Verdict::Nothing) {
        resetPage(ctx);
        ctx.candidates.clear();
        return;
    }
    sortAndFirstPage(ctx);
}

void editCode(EngineContext& ctx, uint64_t function) {
    InputState& in = ctx.input;
    const int len = static_cast<int>(in.code.size());
    if (function & keyfn::DeleteBefore) {
        if (in.cursor > 0) in.code.erase(--in.cursor, 1);
    } else if (function & keyfn::DeleteAfter) {
        if (in.cursor < len) in.code.erase(in.cursor, 1);
    } else if (function & keyfn::CursorHome) {
        in.cursor = 0;
    } else if (function & keyfn::CursorEnd) {
        in.cursor = len;
    } else if (function & keyfn::CursorLeft) {
        if (in.cursor > 0) --in.cursor;
    } else if (function & keyfn::CursorRight) {
        if (in.cursor < len) ++in.cursor;
    }
    if (in.code.empty()) {
        clearInput(ctx, true);
        return;
    }
    const Verdict v = evaluate(ctx);
    if (v == Verdict::Nothing) {
        clearInput(ctx, true);
        return;
    }
    act(ctx, v);
}

void adjustOrder(EngineContext& ctx, int position) {
    CandidatePage& page = ctx.page;
    if (startsWithEnglishLead(ctx, ctx.input.code)) return;
    int p = position == commit::Highlighted ? page.highlight : position == commit::LastOnPage ? page.count - 1 : position - 1;
    if (p < 0 || p >= page.count) return;
    orderedCandidate(ctx, page.items[p].candidate);
    adjustFrequency(ctx, ctx.ordered, page.items[p].candidate, FreqToTop);
    act(ctx, evaluate(ctx));
}

void deleteCandidate(EngineContext& ctx, int position) {
    CandidatePage& page = ctx.page;
    if (startsWithEnglishLead(ctx, ctx.input.code)) return;
    int p = position == commit::Highlighted ? page.highlight : position == commit::LastOnPage ? page.count - 1 : position - 1;
    if (p < 0 || p >= page.count) return;
    const Candidate* c = orderedCandidate(ctx, page.items[p].candidate);
    if (!c) return;
    if ((c->source & SourceTableBit) && c->slot != SlotNone)
        setEntryDeleted(ctx, static_cast<DataSlot>(c->slot), c->ref, true);
    if (orderedCount(ctx) == 1) {
        clearInput(ctx, true);
        return;
    }
    act(ctx, evaluate(ctx));
}

}  // namespace zv
