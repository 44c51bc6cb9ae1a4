// The key test: whether the input method takes a key (modifier taps
// included), and the pending key it records.

#include "engine/input.h"
#include "engine/input_rules.h"
#include "engine/key_table.h"
#include "engine/key_text.h"
#include "engine/output_conversion.h"
#include "engine/soft_keyboard.h"

namespace zv {

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
    if (text.size() == 1 && text[0] >= u'A' && text[0] <= u'Z' && isOn(ctx, ImeSettings::A_CapitalStartsEnglish))
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
    const uint8_t c = codeByteOf(ch);
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

}  // namespace zv
