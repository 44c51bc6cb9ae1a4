// Acting on the pending key, and the key functions: what a key-function
// mask or a hot key does; the keys the engine sends the system.

#include "engine/candidates.h"
#include "engine/commands.h"
#include "engine/input.h"
#include "engine/input_rules.h"
#include "engine/key_table.h"
#include "engine/key_text.h"
#include "engine/notifications.h"
#include "engine/output_conversion.h"
#include "engine/soft_keyboard.h"
#include "engine/table_update.h"

namespace zv {

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
        typeCharacter(ctx, text[0]);
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
        setSimplifiedOutput(ctx.blocks.ime, !isOn(ctx, ImeSettings::A_Simplified));
        reportModes(ctx);
        return true;
    }
    if (mask & keyfn::ToTraditional) {
        setTraditionalOutput(ctx.blocks.ime, !isOn(ctx, ImeSettings::A_Traditional));
        reportModes(ctx);
        return true;
    }
    if (mask & (keyfn::ToggleInterface | keyfn::ToggleCandidates)) {
        const ImeSettings::FlagA bit = (mask & keyfn::ToggleInterface) ? ImeSettings::A_HideStatusBar
                                                             : ImeSettings::A_HideCandidates;
        ctx.blocks.ime.setBit(ImeSettings::OptionA, bit, !isOn(ctx, bit));
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
            if (!startsWithEnglishLead(ctx, in.code)) {
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

}  // namespace zv
