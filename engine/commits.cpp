// Commits: a candidate, the typed code as text, or both with a key's own
// character; clearing the input; the association offered after a commit.

#include "engine/candidates.h"
#include "engine/commands.h"
#include "engine/input.h"
#include "engine/input_rules.h"
#include "engine/lookup.h"
#include "engine/notifications.h"
#include "engine/output_conversion.h"
#include "engine/table_update.h"
#include "engine/user_words.h"

namespace zv {

namespace {

// The typed code as English text: without a leading temporary-English lead,
// keypad keys as their ASCII characters, widened in full-width mode.
std::u16string codeAsEnglish(const EngineContext& ctx) {
    std::u16string_view code = ctx.input.code;
    if (startsWithEnglishLead(ctx, code)) code.remove_prefix(1);
    std::u16string text(code);
    for (auto& u : text) u = typedUnit(u);
    if ((ctx.modeFlags & ModeFullWidth) && !(ctx.modeFlags & ModeTempEnglish)) toFullWidth(text);
    return text;
}

}  // namespace

bool commitCandidate(EngineContext& ctx, int which, bool noAssociation, bool notify) {
    InputState& in = ctx.input;
    PreparedCommand result;
    if (which == commit::TypedCode) {
        result.text = codeAsEnglish(ctx);
        result.kind = ResultEnglish;
    } else {
        CandidatePage& page = ctx.page;
        int position = which == commit::Highlighted ? page.highlight : which == commit::LastOnPage ? page.count - 1 : which - 1;
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
    if (!noAssociation && !result.text.empty() && isOn(ctx, ImeSettings::A_Association) &&
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
    for (char16_t u : keyText) key.push_back(printableUnit(u));
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
    closeCandidates(ctx);
    if (sendEnd && (in.compositionStarted || wasComposing)) endComposition(ctx);
    if (wasComposing) requestRedraw(ctx);
}

bool showAssociation(EngineContext& ctx, std::u16string_view committed) {
    if (!isOn(ctx, ImeSettings::A_Association) || !ctx.isOpen(SlotAssociation) || committed.empty()) return false;
    InputState& in = ctx.input;
    in.code.clear();
    in.cursor = 0;
    ctx.candidates.clear();
    resetPage(ctx);
    uint32_t flags = WordAssociation;
    if (isOn(ctx, ImeSettings::C_AssociationSeparator)) flags |= WordSeparator;
    if (searchWordList(ctx, committed, flags) == 0) return false;
    ctx.modeFlags |= ModeAssociation;
    in.result.assign(committed);
    sortAndFirstPage(ctx);
    in.composing = true;
    announcePage(ctx);
    return true;
}

}  // namespace zv
