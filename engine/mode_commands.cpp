// Mode switching, the mode commands of the status bar and the menus, and
// the start of an input context (its initial conversion state, and the
// memory its first keys need).

#include "engine/candidates.h"
#include "engine/commands.h"
#include "engine/folder_share.h"
#include "engine/input.h"
#include "engine/input_rules.h"
#include "engine/lookup_memo.h"
#include "engine/notifications.h"
#include "engine/output_conversion.h"
#include "engine/soft_keyboard.h"
#include "engine/user_words.h"

#include <algorithm>
#include <mutex>

namespace zv {

namespace {

bool initialStateChinesePunctuation(const EngineContext& ctx) {
    if (!isOn(ctx, ImeSettings::C_CustomInitialState)) return true;
    return (ctx.blocks.ime.u32(ImeSettings::InitialMode) & 0x400) != 0;
}

void afterModeSwitch(EngineContext& ctx) {
    reportModes(ctx);
    if (ctx.input.composing && !ctx.input.code.empty() && isOn(ctx, ImeSettings::A_CommitCodeOnSwitch))
        commitCandidate(ctx, commit::TypedCode, true);
    else
        clearInput(ctx, true);
}

}  // namespace

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

namespace {
// The memory the first keys need is taken and written when an input
// context first gains the focus, so that its keys do not wait for the
// system to supply fresh pages: this engine's candidate storage and the
// order of a whole scan (about 30 KB), once per thread the walk scratch,
// and once for the folder room for two kept lists. A text field that never
// gains the focus takes none of it.
void prepareForKeys(EngineContext& ctx) {
    if (ctx.preparedForKeys) return;
    ctx.preparedForKeys = true;
    keyTextOf(vk::Space, false);  // the key texts are worked out once, on first use
    prepareOrdering(ctx);
    ctx.candidates.prepare(CandidateList::ScanLimit);
    ThreadScratch& scratch = threadScratch();
    if (scratch.walked[0].size < kMemoWalk) {
        for (auto& words : scratch.walked) {
            uint32_t* w = words.atLeast(kMemoWalk);
            std::fill(w, w + 2 * CandidateList::ScanLimit, 0u);
        }
    }
    if (ctx.share) {
        bool none;
        {
            std::lock_guard<std::mutex> hold(ctx.share->lock);
            none = ctx.share->memos.empty();
        }
        if (none) reserveKeptLists(ctx, 2);
    }
}
}  // namespace

void startInputContext(EngineContext& ctx) {
    if (!ctx.blocks.complete()) return;
    uint32_t mode = ctx.modeFlags & ~(ModeFullWidth | ModeEnglishPunct | ModeEnglish);
    uint32_t initial = isOn(ctx, ImeSettings::C_CustomInitialState) ? ctx.blocks.ime.u32(ImeSettings::InitialMode)
                                                                      : 0x401u;
    if (!(initial & 0x400)) mode |= ModeEnglishPunct;
    if (initial & 0x8) mode |= ModeFullWidth;
    if (initial & 0x100) mode |= ModeEnglish;
    ctx.modeFlags = mode;
    prepareForKeys(ctx);
}

void setMode(EngineContext& ctx, int command) {
    switch (command) {
    case mode::Chinese:
        ctx.modeFlags &= ~ModeEnglish;
        if (initialStateChinesePunctuation(ctx))
            ctx.modeFlags &= ~ModeEnglishPunct;
        else
            ctx.modeFlags |= ModeEnglishPunct;
        break;
    case mode::English:
        ctx.modeFlags |= ModeEnglish | ModeEnglishPunct;
        clearInput(ctx, true);
        break;
    case mode::FullWidthOn: ctx.modeFlags |= ModeFullWidth; break;
    case mode::FullWidthOff: ctx.modeFlags &= ~ModeFullWidth; break;
    case mode::EnglishPunctOn: ctx.modeFlags |= ModeEnglishPunct; break;
    case mode::EnglishPunctOff: ctx.modeFlags &= ~ModeEnglishPunct; break;
    case mode::ToggleTraditional: setTraditionalOutput(ctx.blocks.ime, !isOn(ctx, ImeSettings::A_Traditional)); break;
    case mode::ToggleSimplified: setSimplifiedOutput(ctx.blocks.ime, !isOn(ctx, ImeSettings::A_Simplified)); break;
    default: return;
    }
    reportModes(ctx);
}

bool uiCommand(EngineContext& ctx, int command, int value1, int value2) {
    if (!ctx.blocks.complete()) return false;
    platform::Shell* shell = ctx.platform.shell;
    ImeSettings& ime = ctx.blocks.ime;
    switch (command) {
    case ui_command::ConfigHome: startConfigProgram(ctx, u""); return true;
    case ui_command::KeyboardMap:
        if (shell) showHelpPage(*shell, ctx.installDir, ctx.imeName, u"keyboardmap.html", 600, 500);
        return true;
    case ui_command::About: startConfigProgram(ctx, u"/do about"); return true;
    case ui_command::Help: startConfigProgram(ctx, u"/do help"); return true;
    case ui_command::HomePage: {
        std::u16string home = ctx.blocks.soft.text(SoftSettings::HomePage, SoftSettings::HomePageUnits);
        if (shell && !home.empty()) shell->open(home);
        return true;
    }
    case ui_command::AddUserWord: startConfigProgram(ctx, u"/do tianjiayonghuci"); return true;
    case ui_command::CommitPosition: return commitCandidate(ctx, value1, false);
    case ui_command::NextPage:
        if (nextPage(ctx)) {
            rebuildDisplay(ctx);
            announceComposition(ctx);
            announceCandidatesChanged(ctx);
        }
        return true;
    case ui_command::PreviousPage:
        if (previousPage(ctx)) {
            rebuildDisplay(ctx);
            announceComposition(ctx);
            announceCandidatesChanged(ctx);
        }
        return true;
    case ui_command::Chinese: setMode(ctx, mode::Chinese); return true;
    case ui_command::English: setMode(ctx, mode::English); return true;
    case ui_command::SoftKeyboard:
        if (value1) {
            ctx.modeFlags |= ModeSoftKeyboard;
            if (value2 >= 1 && value2 <= SoftKeyboardLayouts) ctx.shared->softKeyboardLayout = value2;
        } else {
            ctx.modeFlags &= ~ModeSoftKeyboard;
        }
        reportModes(ctx);
        return true;
    case ui_command::WordOperation:
        if (wordOperation(ctx, value1, value2)) reevaluateWhenComposing(ctx);
        return true;
    case ui_command::Scheme:
        // 0 main and auxiliary entries, 1 main only, other auxiliary only.
        ime.setBit(ImeSettings::OptionA, ImeSettings::A_MainTable, value2 == 0 || value2 == 1);
        ime.setBit(ImeSettings::OptionA, ImeSettings::A_AuxTable, value2 != 1);
        reevaluateWhenComposing(ctx);
        return true;
    case ui_command::SecondarySearch:
        ime.setBit(ImeSettings::OptionA, ImeSettings::A_SearchSecondary, value2 == 0);
        ime.setBit(ImeSettings::OptionA, ImeSettings::A_SecondaryWhenEmpty, value2 != 0 && value2 != 1);
        reevaluateWhenComposing(ctx);
        return true;
    default:
        if (command >= ui_command::ModeCommandFirst && command <= ui_command::ModeCommandLast) {
            setMode(ctx, mode::FullWidthOn + (command - ui_command::ModeCommandFirst));
            return true;
        }
        return false;
    }
}

}  // namespace zv
