// A character key the key test took: what it does to the code (append,
// run its function, commit with it), in Chinese mode and in English input.

#include "engine/candidates.h"
#include "engine/input.h"
#include "engine/input_rules.h"
#include "engine/key_table.h"
#include "engine/notifications.h"

#include <algorithm>

namespace zv {

namespace {

// What a character key does to the code.
enum class Class { Other = 0, Append = 1, Refresh = 2, Ignore = 3, FunctionOrAppend = 4, CommitWithKey = 5,
                   Function = 6, CloseTempEnglish = 7 };

void doAppend(EngineContext& ctx, char16_t ch) {
    InputState& in = ctx.input;
    if (inAssociation(ctx) && in.composing) {
        in.code.clear();
        in.cursor = 0;
        in.resultKind = 0;
        ctx.modeFlags &= ~ModeAssociation;
        ctx.candidates.clear();
        resetPage(ctx);
    }
    if (in.code.empty() && !in.compositionStarted) {
        startComposition(ctx);
    }
    if (static_cast<int>(in.code.size()) >= InputState::MaxCode) return;
    appendKey(ctx, ch);
}

bool runMaskOfPending(EngineContext& ctx) { return ctx.input.pendingMask && runKeyFunction(ctx, ctx.input.pendingMask); }

void actOther(EngineContext& ctx, char16_t ch);

void actOn(EngineContext& ctx, Class cls, char16_t ch, bool englishMode) {
    InputState& in = ctx.input;
    switch (cls) {
    case Class::Append: doAppend(ctx, ch); break;
    case Class::Refresh:
        if (!in.code.empty() && !in.display.empty()) {
            sortAndFirstPage(ctx);
            announcePage(ctx);
        } else {
            clearInput(ctx, true);
        }
        break;
    case Class::Ignore: break;
    case Class::FunctionOrAppend:
        if (runMaskOfPending(ctx)) break;
        if (englishMode || inAssociation(ctx))
            commitKeyText(ctx, in.pendingText);
        else
            doAppend(ctx, ch);
        break;
    case Class::CommitWithKey: commitKeyText(ctx, in.pendingText); break;
    case Class::Function: runMaskOfPending(ctx); break;
    case Class::CloseTempEnglish:
        if (ctx.candidates.count == 0)
            commitCandidate(ctx, commit::TypedCode, false);
        else
            commitCandidate(ctx, commit::Highlighted, false);
        break;
    case Class::Other:
        if (englishMode)
            runMaskOfPending(ctx);
        else
            actOther(ctx, ch);
        break;
    }
}

// A character key in Chinese mode.
Class classifyChinese(EngineContext& ctx, char16_t ch) {
    InputState& in = ctx.input;
    std::u16string newCode = in.code;
    newCode.insert(newCode.begin() + std::min<size_t>(in.cursor, newCode.size()), ch);
    CodeForms f = codeForms(ctx, newCode);
    const uint8_t c = codeByteOf(ch);
    const uint8_t cls = c ? ctx.blocks.dme.charClass(c) : 0;
    const Leads l = leadsOf(ctx);
    const SearchRange range = currentSearchRange(ctx);
    if (!f.plainLen) return Class::Other;
    if (in.code.empty()) {
        if (inAssociation(ctx) && in.pendingMask) return Class::FunctionOrAppend;
        if (cls & DmeSettings::ClassCommitLead)
            return anyEntryBeginsWith(ctx, f.search, f.searchLen, range, true) ? Class::Append : Class::Other;
        if (isLead(c, l.query) &&
            (isOn(ctx, DmeSettings::D_QueryFirstKey) || isOn(ctx, DmeSettings::D_QueryRepeat)))
            return Class::Append;
        if (isLead(c, l.english) || isLead(c, l.fifth) || (isLead(c, l.aux) && !auxInRange(ctx)) ||
            (isLead(c, l.secondary) && !secondarySearched(ctx)) || (cls & DmeSettings::ClassCode))
            return Class::Append;
        return Class::Other;
    }
    if (isLead(c, l.query)) return Class::Append;
    if (isLead(codeByteOf(in.code[0]), l.english)) {
        if (ch >= u'0' && ch <= u'9' && newCode.size() > 1 && newCode[1] >= u'0' && newCode[1] <= u'9')
            return Class::Append;
        if (ch == u' ') return ctx.candidates.count ? Class::FunctionOrAppend : Class::Append;
        if (isLead(c, l.english)) {
            if (in.code.size() > 1) {
                ctx.candidates.clear();
                resetPage(ctx);
                return Class::CloseTempEnglish;
            }
            return ctx.candidates.count ? Class::CloseTempEnglish : Class::Other;
        }
        return Class::FunctionOrAppend;
    }
    const uint8_t lastClass = classOf(ctx, newCode.back());
    if (!(lastClass & DmeSettings::ClassTerminator)) {
        if (cls & DmeSettings::ClassCodeOrFunction)
            return anyEntryBeginsWith(ctx, f.search, f.searchLen, range, false) ? Class::Append
                                                                                 : Class::FunctionOrAppend;
        if (cls & DmeSettings::ClassCode) return Class::FunctionOrAppend;
        return Class::Other;
    }
    if (!anyEntryBeginsWith(ctx, f.search, f.searchLen, range, false)) {
        const int n = orderedCount(ctx);
        if (n == 1 && ctx.page.count == 1) return Class::CommitWithKey;
        if (n > 1) return Class::Other;
        return Class::FunctionOrAppend;
    }
    return Class::Append;
}

// A character key in English word input or temporary English.
Class classifyEnglish(EngineContext& ctx, char16_t ch) {
    InputState& in = ctx.input;
    if ((ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z')) return Class::Append;
    if (in.code.empty()) return Class::CommitWithKey;
    if (ch == u'.' || ch == u'@' || ch == u':' || ch == u'\'' || ch == u'-' || ch == u'/') return Class::Append;
    if (ch == u' ') {
        const bool shorter = ctx.page.count > 0 && in.code.size() < ctx.page.items[0].display.size();
        if ((ctx.modeFlags & ModeTempEnglish) || shorter) {
            in.pendingMask = keyfn::Commit;
            return Class::FunctionOrAppend;
        }
        return Class::CommitWithKey;
    }
    if (ch >= u'0' && ch <= u'9') {
        int digit = ch == u'0' ? 10 : ch - u'0';
        if (ctx.page.size >= digit) {
            in.pendingMask = keyfn::withIndex(keyfn::Commit, digit);
            return Class::FunctionOrAppend;
        }
        return Class::CommitWithKey;
    }
    return Class::CommitWithKey;
}

// The key has no use for the code.
void actOther(EngineContext& ctx, char16_t ch) {
    InputState& in = ctx.input;
    const uint32_t space = ctx.blocks.ime.c() & ImeSettings::C_EnglishSpaceMask;
    if (ch == u' ' && !in.code.empty() && ctx.candidates.count == 0) {
        if (space == ImeSettings::C_SpaceCommitsEnglish)
            commitCandidate(ctx, commit::TypedCode, false);
        else if (space == ImeSettings::C_SpaceClears)
            clearInput(ctx, true);
        else
            commitKeyText(ctx, in.pendingText);
        return;
    }
    if (runMaskOfPending(ctx)) return;
    if (in.composing && !in.code.empty() &&
        (ctx.candidates.count == 0 || !isOn(ctx, ImeSettings::A_NonCodeKeyCommits))) {
        if (space == ImeSettings::C_SpaceCommitsEnglish) {
            // The key joins the code as English text.
            ctx.candidates.clear();
            resetPage(ctx);
            if (static_cast<int>(in.code.size()) < InputState::MaxCode) {
                in.code.insert(in.code.begin() + in.cursor, ch);
                ++in.cursor;
            }
            announcePage(ctx);
        } else if (space == ImeSettings::C_SpaceClears) {
            // The code is dropped; the key's own character goes out as every
            // key's text does, through punctuation and width conversion.
            const std::u16string key(in.pendingText);
            clearInput(ctx, true);
            commitKeyText(ctx, key);
        } else if (space == ImeSettings::C_SpaceCommitsEnglishAndSpace) {
            commitKeyText(ctx, in.pendingText);
        }
        return;
    }
    commitKeyText(ctx, in.pendingText);
}

}  // namespace

void typeCharacter(EngineContext& ctx, char16_t ch) {
    InputState& in = ctx.input;
    const bool capital = ch >= u'A' && ch <= u'Z' && isOn(ctx, ImeSettings::A_CapitalStartsEnglish);
    if (chineseMode(ctx) && !capital) {
        actOn(ctx, classifyChinese(ctx, ch), ch, false);
        return;
    }
    if (chineseMode(ctx) && capital) {
        if (!in.code.empty()) {
            if (ctx.page.count > 0) commitCandidate(ctx, commit::Highlighted, true);
            clearInput(ctx, true);
        }
        ctx.modeFlags |= ModeTempEnglish;
    }
    actOn(ctx, classifyEnglish(ctx, ch), ch, true);
}

}  // namespace zv
