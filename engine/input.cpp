#include "engine/input.h"

#include "engine/candidates.h"
#include "engine/commands.h"
#include "engine/data_files.h"
#include "engine/key_table.h"
#include "engine/key_text.h"
#include "engine/lookup.h"
#include "engine/lookup_memo.h"
#include "engine/macros.h"
#include "engine/observer.h"
#include "engine/output_conversion.h"
#include "engine/soft_keyboard.h"
#include "engine/table_update.h"
#include "engine/user_words.h"
#include "platform/clock.h"

#include <algorithm>
#include <cstring>

namespace zv {

namespace {

// ---- settings and small helpers --------------------------------------------

bool imeA(const EngineContext& ctx, uint32_t bit) { return ctx.blocks.ime.bit(ImeSettings::OptionA, bit); }
bool imeC(const EngineContext& ctx, uint32_t bit) { return ctx.blocks.ime.bit(ImeSettings::OptionC, bit); }
bool dmeD(const EngineContext& ctx, uint32_t bit) { return (ctx.blocks.dme.d() & bit) != 0; }
uint8_t dmeByte(const EngineContext& ctx, size_t off) { return ctx.blocks.dme.u8(off); }

enum class Class { Other = 0, Append = 1, Refresh = 2, Ignore = 3, FunctionOrAppend = 4, CommitWithKey = 5,
                   Function = 6, CloseTempEnglish = 7 };
enum class Verdict { Nothing, Show, ClearCode, CommitUnique, CommitPreviousKeepKey, CommitPreviousThenKey };

// A unit of the code buffer as a code byte: ASCII, or a keypad key.
uint8_t codeByte(char16_t u) {
    if (u >= 0x0A && u <= 0x19) return static_cast<uint8_t>(u);
    if (u >= 0x20 && u < 0x80) return static_cast<uint8_t>(u);
    if (u >= 0xFF0A && u <= 0xFF19) return static_cast<uint8_t>(u & 0xFF);
    return 0;
}

uint8_t classOf(const EngineContext& ctx, char16_t u) {
    uint8_t b = codeByte(u);
    return b ? ctx.blocks.dme.charClass(b) : 0;
}

platform::Clock& clockOf(EngineContext& ctx) {
    return ctx.platform.clock ? *ctx.platform.clock : platform::systemClock();
}

bool chineseMode(const EngineContext& ctx) { return !(ctx.modeFlags & (ModeEnglishWords | ModeTempEnglish)); }
bool englishInput(const EngineContext& ctx) { return !chineseMode(ctx); }
bool inAssociation(const EngineContext& ctx) { return (ctx.modeFlags & ModeAssociation) != 0; }
bool auxInRange(const EngineContext& ctx) { return imeA(ctx, ImeSettings::A_AuxTable); }
bool secondarySearched(const EngineContext& ctx) {
    return imeA(ctx, ImeSettings::A_SearchSecondary) || (ctx.modeFlags & ModeSecondaryOnly);
}

struct Leads {
    uint8_t query, english, aux, secondary, fifth;
};
Leads leadsOf(const EngineContext& ctx) {
    return {dmeByte(ctx, DmeSettings::QueryChar), dmeByte(ctx, DmeSettings::TempEnglishLead),
            dmeByte(ctx, DmeSettings::AuxLead), dmeByte(ctx, DmeSettings::SecondaryLead),
            dmeByte(ctx, DmeSettings::FifthLead)};
}

bool isLead(uint8_t b, uint8_t lead) { return b != 0 && b == lead; }

// The code in the two forms a lookup needs: the plain bytes, and the search
// form with a lead removed or the query character turned into the wildcard.
struct CodeForms {
    uint8_t plain[130];
    uint32_t plainLen = 0;
    uint8_t search[130];
    uint32_t searchLen = 0;
    enum Lead { None, English, Fifth, Aux, Secondary } lead = None;
};

CodeForms codeForms(const EngineContext& ctx, std::u16string_view code) {
    CodeForms f;
    for (char16_t u : code) {
        if (f.plainLen >= 129) break;
        uint8_t b = codeByte(u);
        if (!b) break;
        f.plain[f.plainLen++] = b;
    }
    if (!f.plainLen) return f;
    const Leads l = leadsOf(ctx);
    const uint8_t first = f.plain[0];
    if (isLead(first, l.english))
        f.lead = CodeForms::English;
    else if (isLead(first, l.fifth))
        f.lead = CodeForms::Fifth;
    else if (isLead(first, l.aux) && !auxInRange(ctx))
        f.lead = CodeForms::Aux;
    else if (isLead(first, l.secondary) && !secondarySearched(ctx))
        f.lead = CodeForms::Secondary;
    if (f.lead != CodeForms::None) {
        f.searchLen = f.plainLen - 1;
        std::memcpy(f.search, f.plain + 1, f.searchLen);
    } else {
        f.searchLen = f.plainLen;
        for (uint32_t i = 0; i < f.plainLen; ++i)
            f.search[i] = l.query && f.plain[i] == l.query ? dmg::Wildcard : f.plain[i];
    }
    return f;
}

std::u16string displayOfCode(std::u16string_view code) {
    std::u16string s(code);
    for (auto& u : s)
        if (u >= 0x0A && u <= 0x19) u = static_cast<char16_t>(0xFF00 + u);
    return s;
}

// ---- notifications -----------------------------------------------------------

template <class F>
void tell(EngineContext& ctx, F&& f) {
    if (ctx.observer) f(*ctx.observer);
}

void startComposition(EngineContext& ctx) {
    ctx.input.compositionStarted = true;
    tell(ctx, [](EngineObserver& o) { o.compositionStarted(); });
}

void endComposition(EngineContext& ctx) {
    ctx.input.compositionStarted = false;
    tell(ctx, [](EngineObserver& o) { o.compositionEnded(); });
}

void sendResult(EngineContext& ctx, std::u16string_view text, uint32_t kind) {
    ctx.input.result.assign(text);
    ctx.input.resultKind = kind;
    ctx.input.lastOutput.assign(text.substr(0, 128));
    tell(ctx, [&](EngineObserver& o) { o.resultCommitted(text, kind); });
}

void reportModes(EngineContext& ctx) {
    tell(ctx, [&](EngineObserver& o) { o.modeChanged(ctx.modeFlags); });
}

void requestRedraw(EngineContext& ctx) {
    tell(ctx, [](EngineObserver& o) { o.refreshRequested(); });
}

// ---- text conversion on the way out -------------------------------------------

// The typed code as English text: without a leading temporary-English lead,
// keypad keys as their ASCII characters, widened in full-width mode.
std::u16string codeAsEnglish(const EngineContext& ctx) {
    std::u16string_view code = ctx.input.code;
    const uint8_t lead = dmeByte(ctx, DmeSettings::TempEnglishLead);
    if (!code.empty() && lead && codeByte(code[0]) == lead) code.remove_prefix(1);
    std::u16string text(code);
    for (auto& u : text)
        if (u >= 0x0A && u <= 0x19) u = static_cast<char16_t>(u + 32);
    if ((ctx.modeFlags & ModeFullWidth) && !(ctx.modeFlags & ModeTempEnglish)) toFullWidth(text);
    return text;
}



// ---- the display string --------------------------------------------------------

void rebuildDisplay(EngineContext& ctx) {
    InputState& in = ctx.input;
    const bool embedFirst = imeA(ctx, ImeSettings::A_StyleEmbedFirst);
    if (embedFirst && ctx.page.count > 0 && ctx.page.highlight < ctx.page.count) {
        in.display = ctx.page.items[ctx.page.highlight].display;
        in.displayCursor = static_cast<int>(in.display.size());
    } else {
        in.display = displayOfCode(in.code);
        in.displayCursor = in.cursor;
    }
}

void announcePage(EngineContext& ctx) {
    rebuildDisplay(ctx);
    tell(ctx, [&](EngineObserver& o) { o.compositionChanged(ctx.input.display, ctx.input.code, ctx.input.displayCursor); });
    if (ctx.page.count > 0) {
        if (!ctx.input.candidatesOpen) {
            ctx.input.candidatesOpen = true;
            tell(ctx, [](EngineObserver& o) { o.candidatesOpened(); });
        } else {
            tell(ctx, [](EngineObserver& o) { o.candidatesChanged(); });
        }
    } else if (ctx.input.candidatesOpen) {
        ctx.input.candidatesOpen = false;
        tell(ctx, [](EngineObserver& o) { o.candidatesClosed(); });
    }
    requestRedraw(ctx);
}

// ---- lookups ---------------------------------------------------------------------

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

// The normal lookup: progressive hints, or exact with hints when empty.
int normalLookup(EngineContext& ctx, const uint8_t* key, uint32_t len, const SearchRange& range, bool queryJustTyped) {
    if (dmeD(ctx, DmeSettings::D_Progressive)) return lookup(ctx, key, len, true, range, queryJustTyped);
    int n = lookup(ctx, key, len, false, range, queryJustTyped);
    if (n == 0 && dmeD(ctx, DmeSettings::D_ProgressiveWhenEmpty)) n = lookup(ctx, key, len, true, range, queryJustTyped);
    return n;
}

// Whether any entry in range begins with the key (longer ones only when
// `longer`).
bool anyEntryBeginsWith(const EngineContext& ctx, const uint8_t* key, uint32_t len, const SearchRange& range,
                        bool longer, uint32_t except = 0) {
    return hasEntryBeginningWith(ctx, key, len, range, longer, except);
}

// ---- evaluation -------------------------------------------------------------------

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
    const bool queryJustTyped = leads.query && in.cursor > 0 && codeByte(in.code[in.cursor - 1]) == leads.query;
    // A lone wildcard offers the last output again.
    if (f.plainLen == 1 && leads.query && f.plain[0] == leads.query && dmeD(ctx, DmeSettings::D_QueryRepeat) &&
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
        if (found == 0 && (dmeD(ctx, DmeSettings::D_Progressive) || dmeD(ctx, DmeSettings::D_ProgressiveWhenEmpty)))
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
            imeA(ctx, ImeSettings::A_SecondaryWhenEmpty)) {
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
            qualifies = exact || dmeD(ctx, DmeSettings::D_IgnoreFullCode);
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
            const uint8_t lastByte = codeByte(last);
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

void appendKey(EngineContext& ctx, char16_t ch);

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
        commitCandidate(ctx, 0, false);
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

// ---- classes -----------------------------------------------------------------------

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
            commitCandidate(ctx, 11, false);
        else
            commitCandidate(ctx, 0, false);
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
    const uint8_t c = codeByte(ch);
    const uint8_t cls = c ? ctx.blocks.dme.charClass(c) : 0;
    const Leads l = leadsOf(ctx);
    const SearchRange range = currentSearchRange(ctx);
    if (!f.plainLen) return Class::Other;
    if (in.code.empty()) {
        if (inAssociation(ctx) && in.pendingMask) return Class::FunctionOrAppend;
        if (cls & DmeSettings::ClassCommitLead)
            return anyEntryBeginsWith(ctx, f.search, f.searchLen, range, true) ? Class::Append : Class::Other;
        if (isLead(c, l.query) &&
            (dmeD(ctx, DmeSettings::D_QueryFirstKey) || dmeD(ctx, DmeSettings::D_QueryRepeat)))
            return Class::Append;
        if (isLead(c, l.english) || isLead(c, l.fifth) || (isLead(c, l.aux) && !auxInRange(ctx)) ||
            (isLead(c, l.secondary) && !secondarySearched(ctx)) || (cls & DmeSettings::ClassCode))
            return Class::Append;
        return Class::Other;
    }
    if (isLead(c, l.query)) return Class::Append;
    if (isLead(codeByte(in.code[0]), l.english)) {
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
            commitCandidate(ctx, 11, false);
        else if (space == ImeSettings::C_SpaceClears)
            clearInput(ctx, true);
        else
            commitKeyText(ctx, in.pendingText);
        return;
    }
    if (runMaskOfPending(ctx)) return;
    if (in.composing && !in.code.empty() &&
        (ctx.candidates.count == 0 || !imeA(ctx, ImeSettings::A_NonCodeKeyCommits))) {
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

// ---- mode switching -------------------------------------------------------------------

bool initialStateChinesePunctuation(const EngineContext& ctx) {
    if (!imeC(ctx, ImeSettings::C_CustomInitialState)) return true;
    return (ctx.blocks.ime.u32(ImeSettings::InitialMode) & 0x400) != 0;
}

void afterModeSwitch(EngineContext& ctx) {
    reportModes(ctx);
    if (ctx.input.composing && !ctx.input.code.empty() && imeA(ctx, ImeSettings::A_CommitCodeOnSwitch))
        commitCandidate(ctx, 11, true);
    else
        clearInput(ctx, true);
}

void toggleMode(EngineContext& ctx, uint32_t bit) {
    if (!(ctx.modeFlags & bit)) {
        ctx.modeFlags |= bit | ModeEnglishPunct;
    } else {
        ctx.modeFlags &= ~bit;
        if (initialStateChinesePunctuation(ctx))
            ctx.modeFlags &= ~ModeEnglishPunct;
        else
            ctx.modeFlags |= ModeEnglishPunct;
    }
    if (bit == ModeEnglish) ctx.modeFlags &= ~ModeEnglishWords;
    afterModeSwitch(ctx);
}

void reevaluateWhenComposing(EngineContext& ctx) {
    if (ctx.input.composing && !ctx.input.code.empty()) {
        act(ctx, evaluate(ctx));
    } else if (ctx.input.composing) {
        requestRedraw(ctx);
    }
}

}  // namespace

// ---- public operations ---------------------------------------------------------------------

namespace {
// The first key of a code searches the range of a whole letter, the
// heaviest lookup there is. Those lists are worked out once, when the first
// input context starts, and kept (lookup_memo.h), so that first keys find
// them ready; the memo still checks them against the table every time.
void prepareFirstKeys(EngineContext& ctx) {
    if (ctx.firstKeysPrepared || !ctx.input.code.empty() || ctx.candidates.count != 0) return;
    ctx.firstKeysPrepared = true;
    prepareOrdering(ctx);
    reserveKeptLists(ctx, 12);
    const SearchRange range = currentSearchRange(ctx);
    for (char16_t letter = u'a'; letter <= u'z'; ++letter) {
        const CodeForms f = codeForms(ctx, std::u16string_view(&letter, 1));
        if (f.lead != CodeForms::None || f.plainLen != 1 || f.searchLen != 1 || f.search[0] != f.plain[0] ||
            !(ctx.blocks.dme.charClass(f.plain[0]) & DmeSettings::ClassCode))
            continue;
        normalLookup(ctx, f.plain, 1, range, false);
        sortAndFirstPage(ctx);
        resetPage(ctx);
        ctx.candidates.clear();
    }
}
}  // namespace

void startInputContext(EngineContext& ctx) {
    if (!ctx.blocks.complete()) return;
    uint32_t mode = ctx.modeFlags & ~(ModeFullWidth | ModeEnglishPunct | ModeEnglish);
    uint32_t initial = imeC(ctx, ImeSettings::C_CustomInitialState) ? ctx.blocks.ime.u32(ImeSettings::InitialMode)
                                                                      : 0x401u;
    if (!(initial & 0x400)) mode |= ModeEnglishPunct;
    if (initial & 0x8) mode |= ModeFullWidth;
    if (initial & 0x100) mode |= ModeEnglish;
    ctx.modeFlags = mode;
    prepareFirstKeys(ctx);
}

bool testKey(EngineContext& ctx, int virtualKey, uint32_t keyData, bool keyUp, const KeyboardState& keys) {
    ++ctx.rangeEpoch;
    InputState& in = ctx.input;
    SharedInputState& shared = *ctx.shared;
    if (!ctx.blocks.complete() || virtualKey < 0 || virtualKey > 255) return false;
    const DmeSettings& dme = ctx.blocks.dme;
    const uint64_t tick = clockOf(ctx).tickCount();
    const uint32_t scan = (keyData >> 16) & 0xFFF;
    const bool modifier = (virtualKey >= vk::Shift && virtualKey <= vk::Menu) ||
                          (virtualKey >= vk::LShift && virtualKey <= vk::RMenu);
    in.pendingKey = 0;
    in.pendingMask = 0;
    in.pendingText = {};
    in.pendingFromEngine = keys.fromEngine;

    // The engine's own Caps Lock replay goes to the application untouched:
    // taking it would run the bound function again and send another replay.
    // It is no modifier either, so it leaves the tap bookkeeping alone.
    if (virtualKey == vk::Capital && (scan & 0xFF) == CapsLockReplayScan) return false;

    if (keyUp) {
        const bool tap = modifier && scan == shared.lastModifierScan && scan == shared.downScan &&
                         tick - shared.downTick < 500;
        if (scan != shared.lastModifierScan) shared.lastModifierScan = 0;
        shared.downScan = 0;
        if (!tap) return false;
        const bool isShift = virtualKey == vk::Shift || virtualKey == vk::LShift || virtualKey == vk::RShift;
        const bool isCtrl = virtualKey == vk::Control || virtualKey == vk::LControl || virtualKey == vk::RControl;
        const bool isAlt = virtualKey == vk::Menu || virtualKey == vk::LMenu || virtualKey == vk::RMenu;
        // The text service takes a tap only when it was the only modifier.
        if (ctx.lonelyTaps && ((isShift && (keys.ctrl || keys.alt)) || (isCtrl && (keys.shift || keys.alt)) ||
                               (isAlt && (keys.shift || keys.ctrl))))
            return false;
        const struct {
            bool applies;
            int entry;
        } order[] = {
            {scan == 0x2A, vk::LShift},  {scan == 0x36, vk::RShift},   {isShift, vk::Shift},
            {scan == 0x1D, vk::LControl}, {scan == 0x11D, vk::RControl}, {isCtrl, vk::Control},
            {scan == 0x38, vk::LMenu},   {scan == 0x138, vk::RMenu},   {isAlt, vk::Menu},
        };
        for (auto& o : order) {
            if (!o.applies) continue;
            uint64_t mask = dme.keyMask(o.entry);
            if (!mask) continue;
            in.pendingKey = o.entry;
            in.pendingMask = mask;
            in.pendingText = keyTextOf(o.entry, false);
            return true;
        }
        return false;
    }

    shared.lastModifierScan = scan;
    if (scan != shared.downScan) {
        shared.downScan = scan;
        shared.downTick = tick;
    }
    if (keys.alt || keys.ctrl || modifier) return false;

    const bool letter = virtualKey >= 'A' && virtualKey <= 'Z';
    const bool shifted = letter && keys.capsLock ? !keys.shift : keys.shift;
    const uint64_t mask = lookupKey(dme, static_cast<uint8_t>(virtualKey), keys.shift, keys.capsLock);
    const std::u16string_view text = keyTextOf(virtualKey, shifted);
    auto take = [&] {
        in.pendingKey = virtualKey + (shifted ? 256 : 0);
        in.pendingMask = mask;
        in.pendingText = text;
        return true;
    };
    const bool named = isNamedKeyText(text);

    // Functions that act whatever the state.
    if (mask & (keyfn::Always | keyfn::ToTraditional)) return take();

    if (ctx.modeFlags & ModeSoftKeyboard) {
        if (mask & keyfn::ClearInput) return take();
        const int layout = shared.softKeyboardLayout;
        if (layout > 1) {
            char16_t ch = softKeyboardChar(layout, virtualKey, shifted);
            return ch != 0 && ch != u' ' ? take() : false;
        }
    }
    if (ctx.modeFlags & (ModeEnglish | ModeKeyboardDisabled)) return false;
    if (!ctx.isOpen(SlotMain)) return false;

    // Keys that act on a composition. The candidate frequency and deletion
    // functions are among them: a named key bound to them must reach them.
    constexpr uint64_t kCompositionKeys = keyfn::ClearInput | keyfn::PagePrevious | keyfn::PageNext | keyfn::Commit |
                                          keyfn::CursorLeft | keyfn::CursorRight | keyfn::CursorHome |
                                          keyfn::CursorEnd | keyfn::DeleteBefore | keyfn::DeleteAfter |
                                          keyfn::HighlightPrevious | keyfn::HighlightNext |
                                          keyfn::AdjustFrequency | keyfn::DeleteCandidate;
    if (englishInput(ctx)) {
        if (!ctx.isOpen(SlotEnglish)) return false;
        if (in.code.empty()) {
            if (mask & (keyfn::RepeatOutput | keyfn::UndoOutput)) return in.lastOutput.empty() ? false : take();
            return named ? false : take();
        }
        if (mask & kCompositionKeys) return take();
        return named ? false : take();
    }

    // Chinese mode.
    if (text.size() == 1 && text[0] >= u'A' && text[0] <= u'Z' && imeA(ctx, ImeSettings::A_CapitalStartsEnglish))
        return take();
    if (in.composing) {
        if (inAssociation(ctx)) {
            const bool keeps = (mask & (keyfn::ClearInput | keyfn::PagePrevious | keyfn::PageNext |
                                        keyfn::HighlightPrevious | keyfn::HighlightNext)) ||
                               ((mask & keyfn::Commit) && keyfn::index(mask) != keyfn::IndexEnglish);
            if (named && !keeps) {
                clearInput(ctx, true);
                return false;
            }
            return take();
        }
        if (named && !(mask & kCompositionKeys)) return false;
        return take();
    }
    if (mask & (keyfn::RepeatOutput | keyfn::UndoOutput | keyfn::DeleteWord)) {
        if (in.lastOutput.empty()) {
            if (!named) in.lastOutput.assign(text);
            return false;
        }
        return take();
    }
    if (named) return false;
    const char16_t ch = text[0];
    const uint8_t c = codeByte(ch);
    const uint8_t cls = c ? dme.charClass(c) : 0;
    const Leads l = leadsOf(ctx);
    if (cls & (DmeSettings::ClassCommitLead | DmeSettings::ClassCode)) return take();
    if (isLead(c, l.query) || isLead(c, l.english) || isLead(c, l.fifth)) return take();
    if (isLead(c, l.aux) && !auxInRange(ctx)) return take();
    if (isLead(c, l.secondary) && !secondarySearched(ctx)) return take();
    if (ctx.modeFlags & ModeFullWidth) return take();
    if (!(ctx.modeFlags & ModeEnglishPunct) && punctuationChanges(ctx.blocks.ime, ch)) return take();
    in.lastOutput.assign(1, ch);
    return false;
}

namespace {
// Marks, for as long as processKey runs, whether the key it acts on is one
// the engine sent itself.
class ActingOnKey {
public:
    explicit ActingOnKey(InputState& in) : in_(in), saved_(in.actingOnEngineKey) {
        in.actingOnEngineKey = in.pendingFromEngine;
    }
    ~ActingOnKey() { in_.actingOnEngineKey = saved_; }
    ActingOnKey(const ActingOnKey&) = delete;
    ActingOnKey& operator=(const ActingOnKey&) = delete;

private:
    InputState& in_;
    bool saved_;
};
}  // namespace

bool sendKeys(EngineContext& ctx, const std::vector<platform::KeyEvent>& events) {
    if (events.empty() || !ctx.platform.keys || ctx.input.actingOnEngineKey) return false;
    ctx.platform.keys->send(events);
    return true;
}

void processKey(EngineContext& ctx) {
    ++ctx.rangeEpoch;
    InputState& in = ctx.input;
    if (!in.pendingKey && !in.pendingMask && in.pendingText.empty()) return;
    const ActingOnKey acting(in);
    const int key = in.pendingKey & 0xFF;
    const bool shifted = in.pendingKey >= 256;
    const int layout = ctx.shared->softKeyboardLayout;
    if ((ctx.modeFlags & ModeSoftKeyboard) && layout > 1 && !(in.pendingMask & keyfn::ClearInput)) {
        const char16_t ch = softKeyboardChar(layout, key, shifted);
        if (ch && ch != u' ') {
            startComposition(ctx);
            sendResult(ctx, std::u16string(1, ch), ResultText);
            endComposition(ctx);
        }
        in.pendingKey = 0;
        return;
    }
    if (in.pendingText.empty() && !in.pendingMask) return;
    in.refreshRequest = 1;
    const std::u16string_view text = in.pendingText;
    if (isNamedKeyText(text)) {
        const bool handled = runKeyFunction(ctx, in.pendingMask);
        if (handled && key == vk::Capital) {
            // Put Caps Lock back the way it was.
            sendKeys(ctx, {{vk::Capital, CapsLockReplayScan, true, false},
                           {vk::Capital, CapsLockReplayScan, false, false}});
            reportModes(ctx);
        }
        if (!handled && inAssociation(ctx)) clearInput(ctx, true);
    } else {
        const char16_t ch = text[0];
        const bool capital = ch >= u'A' && ch <= u'Z' && imeA(ctx, ImeSettings::A_CapitalStartsEnglish);
        if (chineseMode(ctx) && !capital) {
            actOn(ctx, classifyChinese(ctx, ch), ch, false);
        } else {
            if (chineseMode(ctx) && capital) {
                if (!in.code.empty()) {
                    if (ctx.page.count > 0)
                        commitCandidate(ctx, 0, true);
                    clearInput(ctx, true);
                }
                ctx.modeFlags |= ModeTempEnglish;
            }
            actOn(ctx, classifyEnglish(ctx, ch), ch, true);
        }
    }
    in.refreshRequest = 0;
    in.pendingKey = 0;
    in.pendingMask = 0;
    in.pendingText = {};
}

bool runHotKey(EngineContext& ctx, int id) {
    if (!ctx.blocks.complete()) return false;
    const DmeSettings& dme = ctx.blocks.dme;
    const int entry = id - FirstHotKeyId;
    if (entry < 0 || entry >= dme.comboCount() || dme.comboMask(entry) == 0) return false;
    ++ctx.rangeEpoch;
    // A chord is no modifier tap: the modifier released after it runs nothing.
    ctx.shared->lastModifierScan = 0;
    // The functions run as those of a named key do; the key itself never
    // reaches the code.
    InputState& in = ctx.input;
    in.pendingFromEngine = false;
    const ActingOnKey acting(in);
    in.refreshRequest = 1;
    if (!runKeyFunction(ctx, dme.comboMask(entry)) && inAssociation(ctx)) clearInput(ctx, true);
    in.refreshRequest = 0;
    return true;
}

bool runKeyFunction(EngineContext& ctx, uint64_t mask) {
    InputState& in = ctx.input;
    if (!mask || !ctx.blocks.complete()) return false;
    bool toStep5 = false;
    if (mask & keyfn::ClearInput) {
        if (in.composing) {
            clearInput(ctx, true);
            return true;
        }
        if (ctx.modeFlags & ModeSoftKeyboard) {
            ctx.modeFlags &= ~ModeSoftKeyboard;
            reportModes(ctx);
            return true;
        }
        toStep5 = true;
    }
    if (!toStep5) {
        if (mask & keyfn::ToggleIme) {
            toggleMode(ctx, ModeEnglish);
            return true;
        }
        if (mask & keyfn::ToggleEnglishWords) {
            toggleMode(ctx, ModeEnglishWords);
            return true;
        }
        ImeSettings& ime = ctx.blocks.ime;
        if (mask & (keyfn::SchemeMainAux | keyfn::SchemeMainMixed)) {
            const bool mainOn = ime.bit(ImeSettings::OptionA, ImeSettings::A_MainTable);
            const bool auxOn = ime.bit(ImeSettings::OptionA, ImeSettings::A_AuxTable);
            bool m, a;
            if (mask & keyfn::SchemeMainAux) {
                // Main only and auxiliary only take turns.
                m = !(mainOn && !auxOn);
                a = !m;
            } else {
                m = true;
                a = !(mainOn && auxOn);
            }
            ime.setBit(ImeSettings::OptionA, ImeSettings::A_MainTable, m);
            ime.setBit(ImeSettings::OptionA, ImeSettings::A_AuxTable, a);
            if (in.composing) requestRedraw(ctx);
            return true;
        }
        if (mask & keyfn::RangeMainSecondary) {
            ctx.modeFlags ^= ModeSecondaryOnly;
            reevaluateWhenComposing(ctx);
            return true;
        }
        if (mask & keyfn::RangeMainMixed) {
            ime.setBit(ImeSettings::OptionA, ImeSettings::A_SearchSecondary,
                       !ime.bit(ImeSettings::OptionA, ImeSettings::A_SearchSecondary));
            reevaluateWhenComposing(ctx);
            return true;
        }
        if (mask & keyfn::SoftKeyboard) {
            SharedInputState& shared = *ctx.shared;
            if (ctx.modeFlags & ModeSoftKeyboard)
                shared.softKeyboardLayout = shared.softKeyboardLayout % SoftKeyboardLayouts + 1;
            ctx.modeFlags |= ModeSoftKeyboard;
            reportModes(ctx);
            return true;
        }
    }
    // Step 5 onwards.
    if (mask & keyfn::ToSimplified) {
        setSimplifiedOutput(ctx.blocks.ime, !imeA(ctx, ImeSettings::A_Simplified));
        reportModes(ctx);
        return true;
    }
    if (mask & keyfn::ToTraditional) {
        setTraditionalOutput(ctx.blocks.ime, !imeA(ctx, ImeSettings::A_Traditional));
        reportModes(ctx);
        return true;
    }
    if (mask & (keyfn::ToggleInterface | keyfn::ToggleCandidates)) {
        const uint32_t bit = (mask & keyfn::ToggleInterface) ? ImeSettings::A_HideStatusBar
                                                             : ImeSettings::A_HideCandidates;
        ctx.blocks.ime.setBit(ImeSettings::OptionA, bit, !imeA(ctx, bit));
        requestRedraw(ctx);
        return true;
    }
    const struct {
        uint64_t bit;
        const char16_t* command;
    } configs[] = {
        {keyfn::ConfigHome, u""},           {keyfn::ConfigAbout, u"/do 关于"},
        {keyfn::AddWord, u"/do 在线加词"},  {keyfn::ConfigKeys, u"/do 按键设置"},
        {keyfn::ConfigHelp, u"/do 帮助首页"}, {keyfn::ConfigReverseOutput, u"/do 输出反查"},
        {keyfn::ConfigReverseClipboard, u"/do 剪贴板反查"},
    };
    for (auto& c : configs) {
        if (mask & c.bit) {
            startConfigProgram(ctx, c.command);
            return true;
        }
    }
    if (in.composing) {
        const int index = keyfn::index(mask);
        if (mask & keyfn::Commit) return commitCandidate(ctx, index, false);
        if (mask & keyfn::AdjustFrequency) {
            adjustOrder(ctx, index);
            return true;
        }
        if (mask & keyfn::DeleteCandidate) {
            deleteCandidate(ctx, index);
            return true;
        }
        if (mask & (keyfn::PagePrevious | keyfn::PageNext)) {
            const uint8_t lead = dmeByte(ctx, DmeSettings::TempEnglishLead);
            if (!(lead && !in.code.empty() && codeByte(in.code[0]) == lead)) {
                if ((mask & keyfn::PagePrevious) ? previousPage(ctx) : nextPage(ctx)) announcePage(ctx);
            }
            return true;
        }
        if (mask & (keyfn::CursorLeft | keyfn::CursorRight | keyfn::CursorHome | keyfn::CursorEnd |
                    keyfn::DeleteBefore | keyfn::DeleteAfter)) {
            editCode(ctx, mask);
            return true;
        }
        if (mask & (keyfn::HighlightPrevious | keyfn::HighlightNext)) {
            moveHighlight(ctx, (mask & keyfn::HighlightNext) ? 1 : -1);
            announcePage(ctx);
            return true;
        }
        return false;
    }
    if ((mask & keyfn::RepeatOutput) && !in.lastOutput.empty()) {
        const std::u16string again = in.lastOutput;
        startComposition(ctx);
        sendResult(ctx, again, ResultText);
        endComposition(ctx);
        return true;
    }
    if ((mask & keyfn::UndoOutput) && !in.lastOutput.empty()) {
        std::vector<platform::KeyEvent> events;
        for (size_t i = 0; i < in.lastOutput.size(); ++i) {
            events.push_back({vk::Back, 0x0E, false, false});
            events.push_back({vk::Back, 0x0E, true, false});
        }
        in.lastOutput.clear();
        sendKeys(ctx, events);
        return true;
    }
    if (mask & keyfn::DeleteWord) {
        deleteLastCommitted(ctx);
        return true;
    }
    return false;
}

bool commitCandidate(EngineContext& ctx, int which, bool noAssociation, bool notify) {
    InputState& in = ctx.input;
    PreparedCommand result;
    if (which == 11) {
        result.text = codeAsEnglish(ctx);
        result.kind = ResultEnglish;
    } else {
        CandidatePage& page = ctx.page;
        int position = which == 0 ? page.highlight : which == 12 ? page.count - 1 : which - 1;
        if (position < 0 || position >= page.count) return false;
        const PageItem& item = page.items[position];
        const int listIndex = item.candidate;
        const Candidate* c = orderedCandidate(ctx, listIndex);
        if (!c) return false;
        const Candidate chosen = *c;
        result = prepareCommand(ctx, CommandItem{item.output, position + 1, chosen.source});
        if (result.kind & ResultReplaceCode) {
            // "newkey(": the argument becomes the code; nothing is committed.
            in.code.assign(result.argument.substr(0, InputState::MaxCode));
            in.cursor = static_cast<int>(in.code.size());
            act(ctx, evaluate(ctx));
            return true;
        }
        if (englishInput(ctx)) {
            // Capitals typed stay capitals.
            std::u16string& text = result.text;
            for (size_t i = 0; i < text.size() && i < in.code.size(); ++i)
                if (in.code[i] >= u'A' && in.code[i] <= u'Z' && text[i] >= u'a' && text[i] <= u'z')
                    text[i] = static_cast<char16_t>(text[i] - 32);
        }
        adjustFrequency(ctx, ctx.ordered, listIndex, frequencyMode(ctx.blocks.ime));
        learnFromCommit(ctx, listIndex);
    }
    if (!notify) {
        in.result = result.text;
        in.resultKind = result.kind;
        return true;
    }
    if (!result.text.empty()) {
        if (!in.compositionStarted) startComposition(ctx);
        sendResult(ctx, result.text, result.kind);
    }
    if (result.kind & kCommandMask) {
        in.commandArgument = result.argument;
        CommandOutcome outcome = runResultCommand(ctx, result);
        if (outcome.hideSoftKeyboard) ctx.modeFlags &= ~ModeSoftKeyboard;
        if (outcome.modesChanged || outcome.hideSoftKeyboard) reportModes(ctx);
        if (outcome.settingsChanged) requestRedraw(ctx);
    }
    if (!noAssociation && !result.text.empty() && imeA(ctx, ImeSettings::A_Association) &&
        showAssociation(ctx, result.text))
        return true;
    clearInput(ctx, true);
    return true;
}

void commitKeyText(EngineContext& ctx, std::u16string_view keyText) {
    InputState& in = ctx.input;
    const uint32_t modes = ctx.modeFlags;
    std::u16string result;
    uint32_t kind = ResultText;
    if (!in.code.empty()) {
        if (ctx.page.count > 0 && commitCandidate(ctx, 0, true, false)) {
            result = in.result;
            kind = in.resultKind;
        } else {
            result = codeAsEnglish(ctx);
            kind = ResultEnglish;
        }
    } else if (!in.compositionStarted) {
        startComposition(ctx);
    }
    const bool started = in.compositionStarted;
    clearInput(ctx, false);
    in.compositionStarted = started;
    std::u16string key;
    for (char16_t u : keyText) key.push_back(u < 32 ? static_cast<char16_t>(u + 32) : u);
    // 数字后英文标点 looks at what went out last: the candidate this key
    // commits first, when there is one.
    const std::u16string_view before = result.empty() ? std::u16string_view(in.lastOutput) : result;
    const bool digitBefore = before.size() == 1 && before[0] >= u'0' && before[0] <= u'9';
    if (!key.empty() && (classOf(ctx, key[0]) & DmeSettings::ClassEnglishAfterDigit) && digitBefore) {
        // A full stop or comma after a digit stays as typed.
    } else {
        if (!(modes & (ModeEnglishWords | ModeEnglishPunct))) key = convertPunctuation(ctx.blocks.ime, key);
        if ((modes & ModeFullWidth) && !(modes & ModeTempEnglish)) toFullWidth(key);
    }
    result += key;
    if (!in.compositionStarted) startComposition(ctx);
    sendResult(ctx, result, kind);
    endComposition(ctx);
}

void clearInput(EngineContext& ctx, bool sendEnd) {
    InputState& in = ctx.input;
    if (!in.code.empty()) in.previousComposition = in.code;
    in.code.clear();
    in.cursor = 0;
    in.display.clear();
    in.displayCursor = 0;
    in.resultKind = 0;
    ctx.candidates.clear();
    resetPage(ctx);
    ctx.modeFlags &= ~(ModeTempEnglish | ModeAssociation | ModeNested);
    ctx.shared->hasPreviousFirst = false;  // smart commit never reaches back past a clear
    const bool wasComposing = in.composing;
    in.composing = false;
    if (in.candidatesOpen) {
        in.candidatesOpen = false;
        tell(ctx, [](EngineObserver& o) { o.candidatesClosed(); });
    }
    if (sendEnd && (in.compositionStarted || wasComposing)) endComposition(ctx);
    if (wasComposing) requestRedraw(ctx);
}

bool refresh(EngineContext& ctx) {
    act(ctx, evaluate(ctx));
    return ctx.input.refreshRequest != 0;
}

void evaluateCode(EngineContext& ctx, std::u16string_view code) {
    InputState& in = ctx.input;
    in.code.clear();
    // The code buffer holds keypad keys as the units 0x0A..0x19.
    for (char16_t u : code.substr(0, InputState::MaxCode))
        in.code.push_back(u >= 0xFF0A && u <= 0xFF19 ? static_cast<char16_t>(u & 0xFF) : u);
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

void setMode(EngineContext& ctx, int command) {
    switch (command) {
    case 0x103:
        ctx.modeFlags &= ~ModeEnglish;
        if (initialStateChinesePunctuation(ctx))
            ctx.modeFlags &= ~ModeEnglishPunct;
        else
            ctx.modeFlags |= ModeEnglishPunct;
        break;
    case 0x104:
        ctx.modeFlags |= ModeEnglish | ModeEnglishPunct;
        clearInput(ctx, true);
        break;
    case 0x2001: ctx.modeFlags |= ModeFullWidth; break;
    case 0x2002: ctx.modeFlags &= ~ModeFullWidth; break;
    case 0x2003: ctx.modeFlags |= ModeEnglishPunct; break;
    case 0x2004: ctx.modeFlags &= ~ModeEnglishPunct; break;
    case 0x2005: setTraditionalOutput(ctx.blocks.ime, !imeA(ctx, ImeSettings::A_Traditional)); break;
    case 0x2006: setSimplifiedOutput(ctx.blocks.ime, !imeA(ctx, ImeSettings::A_Simplified)); break;
    default: return;
    }
    reportModes(ctx);
}

void adjustOrder(EngineContext& ctx, int position) {
    CandidatePage& page = ctx.page;
    const uint8_t lead = dmeByte(ctx, DmeSettings::TempEnglishLead);
    if (lead && !ctx.input.code.empty() && codeByte(ctx.input.code[0]) == lead) return;
    int p = position == 0 ? page.highlight : position == 12 ? page.count - 1 : position - 1;
    if (p < 0 || p >= page.count) return;
    orderedCandidate(ctx, page.items[p].candidate);
    adjustFrequency(ctx, ctx.ordered, page.items[p].candidate, FreqToTop);
    act(ctx, evaluate(ctx));
}

void deleteCandidate(EngineContext& ctx, int position) {
    CandidatePage& page = ctx.page;
    const uint8_t lead = dmeByte(ctx, DmeSettings::TempEnglishLead);
    if (lead && !ctx.input.code.empty() && codeByte(ctx.input.code[0]) == lead) return;
    int p = position == 0 ? page.highlight : position == 12 ? page.count - 1 : position - 1;
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

bool showAssociation(EngineContext& ctx, std::u16string_view committed) {
    if (!imeA(ctx, ImeSettings::A_Association) || !ctx.isOpen(SlotAssociation) || committed.empty()) return false;
    InputState& in = ctx.input;
    in.code.clear();
    in.cursor = 0;
    ctx.candidates.clear();
    resetPage(ctx);
    uint32_t flags = WordAssociation;
    if (imeC(ctx, ImeSettings::C_AssociationSeparator)) flags |= WordSeparator;
    if (searchWordList(ctx, committed, flags) == 0) return false;
    ctx.modeFlags |= ModeAssociation;
    in.result.assign(committed);
    sortAndFirstPage(ctx);
    in.composing = true;
    announcePage(ctx);
    return true;
}

}  // namespace zv

namespace zv {

bool uiCommand(EngineContext& ctx, int command, int value1, int value2) {
    if (!ctx.blocks.complete()) return false;
    platform::Shell* shell = ctx.platform.shell;
    ImeSettings& ime = ctx.blocks.ime;
    switch (command) {
    case 1: startConfigProgram(ctx, u""); return true;
    case 3:
        if (shell) showHelpPage(*shell, ctx.installDir, ctx.imeName, u"keyboardmap.html", 600, 500);
        return true;
    case 4: startConfigProgram(ctx, u"/do about"); return true;
    case 5: startConfigProgram(ctx, u"/do help"); return true;
    case 7: {
        std::u16string home = ctx.blocks.soft.text(SoftSettings::HomePage, SoftSettings::HomePageUnits);
        if (shell && !home.empty()) shell->open(home);
        return true;
    }
    case 8: startConfigProgram(ctx, u"/do tianjiayonghuci"); return true;
    case 17: return commitCandidate(ctx, value1, false);
    case 257:
        if (nextPage(ctx)) {
            rebuildDisplay(ctx);
            tell(ctx, [&](EngineObserver& o) { o.compositionChanged(ctx.input.display, ctx.input.code, ctx.input.displayCursor); });
            tell(ctx, [](EngineObserver& o) { o.candidatesChanged(); });
        }
        return true;
    case 258:
        if (previousPage(ctx)) {
            rebuildDisplay(ctx);
            tell(ctx, [&](EngineObserver& o) { o.compositionChanged(ctx.input.display, ctx.input.code, ctx.input.displayCursor); });
            tell(ctx, [](EngineObserver& o) { o.candidatesChanged(); });
        }
        return true;
    case 259: setMode(ctx, 0x103); return true;
    case 260: setMode(ctx, 0x104); return true;
    case 513:
        if (value1) {
            ctx.modeFlags |= ModeSoftKeyboard;
            if (value2 >= 1 && value2 <= SoftKeyboardLayouts) ctx.shared->softKeyboardLayout = value2;
        } else {
            ctx.modeFlags &= ~ModeSoftKeyboard;
        }
        reportModes(ctx);
        return true;
    case 514:
        if (wordOperation(ctx, value1, value2)) reevaluateWhenComposing(ctx);
        return true;
    case 8208:
        // 0 main and auxiliary entries, 1 main only, other auxiliary only.
        ime.setBit(ImeSettings::OptionA, ImeSettings::A_MainTable, value2 == 0 || value2 == 1);
        ime.setBit(ImeSettings::OptionA, ImeSettings::A_AuxTable, value2 != 1);
        reevaluateWhenComposing(ctx);
        return true;
    case 8209:
        ime.setBit(ImeSettings::OptionA, ImeSettings::A_SearchSecondary, value2 == 0);
        ime.setBit(ImeSettings::OptionA, ImeSettings::A_SecondaryWhenEmpty, value2 != 0 && value2 != 1);
        reevaluateWhenComposing(ctx);
        return true;
    default:
        if (command >= 8193 && command <= 8198) {
            setMode(ctx, 0x2000 + (command - 8192));
            return true;
        }
        return false;
    }
}

}  // namespace zv
