#include "ui/tip.h"

#include "ui/ui_view.h"

#include <algorithm>

namespace zv::ui {

int32_t tipFontHeight(int size) {
    switch (size) {
    case 1: return -14;
    case 2: return -12;
    default: return -20;
    }
}

void showTip(TipState& tip, TextRenderer& renderer, int32_t x, int32_t y, int size, std::u16string_view text) {
    tip.text.assign(text.substr(0, MaxTipText));
    FontSpec spec;
    spec.face = u"宋体";
    spec.height = tipFontHeight(size);
    spec.weight = 400;
    tip.font = renderer.createFont(spec);
    const TextSize s = tip.font ? tip.font->measure(tip.text) : TextSize{};
    tip.width = s.width + 20;
    tip.height = s.height + 10;
    tip.position = {x, y};
    tip.ticks = 0;
    tip.visible = true;
}

bool tipTick(TipState& tip) {
    if (!tip.visible || tip.hovering) return false;
    if (++tip.ticks < TipTicks) return false;
    tip.visible = false;
    return true;
}

MouseOutcome tipMouse(TipState& tip, const MouseEvent& e, SkinSettings settings) {
    MouseOutcome out;
    switch (e.kind) {
    case MouseEvent::LeftDown:
        tip.dragging = true;
        tip.dragAnchor = e.at;
        break;
    case MouseEvent::Move:
        if (e.leftHeld && tip.dragging) {
            const Rect& a = e.workArea;
            Point p = dragOrigin(e, tip.dragAnchor);
            p.x = std::max(std::min(p.x, a.right - drawnSize(e, tip.width)), a.left);
            p.y = std::max(std::min(p.y, a.bottom - drawnSize(e, tip.height)), a.top);
            tip.position = p;
            if (settings) {
                settings.setI32(SkinSettings::StatusPos, p.x);
                settings.setI32(SkinSettings::StatusPos + 4, p.y);
            }
            out.moveTo = p;
        }
        break;
    case MouseEvent::LeftUp: tip.dragging = false; break;
    case MouseEvent::RightDown: out.request = MouseRequest::ModeMenu; break;
    }
    return out;
}

void paintTip(const TipState& tip, Canvas& out) {
    out = Canvas{};
    if (tip.width <= 0 || tip.height <= 0) return;
    out.width = tip.width;
    out.height = tip.height;
    out.pixels.assign(static_cast<size_t>(tip.width) * static_cast<size_t>(tip.height), 0xFFFFFFFFu);
    const uint32_t grey = pixel(0x80, 0x80, 0x80, 255);
    for (int32_t x = 0; x < tip.width; ++x) out.at(x, 0) = out.at(x, tip.height - 1) = grey;
    for (int32_t y = 0; y < tip.height; ++y) out.at(0, y) = out.at(tip.width - 1, y) = grey;
    if (tip.font) {
        const TextSize s = tip.font->measure(tip.text);
        tip.font->draw(out, (tip.width - s.width) / 2, (tip.height - s.height) / 2, tip.text, 0, -1);
    }
    for (uint32_t& p : out.pixels) p |= 0xFF000000u;
}

uint32_t syncModesWithKeyboard(uint32_t modes, bool keyboardDisabled, bool keyboardOpen) {
    modes = keyboardDisabled ? modes | ModeKeyboardDisabled : modes & ~uint32_t{ModeKeyboardDisabled};
    modes = keyboardOpen ? modes & ~uint32_t{ModeEnglish} : modes | ModeEnglish;
    return modes;
}

ModeTip modeTipFor(uint32_t modes, bool keyboardDisabled, bool keyboardOpen, bool capsLock) {
    if (keyboardDisabled) return ModeTip::Disabled;
    if (!keyboardOpen) return ModeTip::Closed;
    if (capsLock) return ModeTip::CapsLock;
    if (modes & ModeEnglishWords) return ModeTip::EnglishWords;
    return ModeTip::Chinese;
}

std::u16string_view modeTipText(ModeTip t) {
    switch (t) {
    case ModeTip::Chinese: return u"中";
    case ModeTip::EnglishWords: return u"英";
    case ModeTip::CapsLock: return u"A";
    case ModeTip::Disabled: return u"禁";
    default: return u"关";
    }
}

Point modeTipPosition(Point caret, const Rect& area) {
    Point p{caret.x + 10, caret.y + 32};
    if (p.y + 32 > area.bottom) p.y -= 66;
    if (p.x + 74 > area.right) p.x = area.right - 74;
    return {std::max(p.x, 0), std::max(p.y, 0)};
}

std::optional<std::u16string_view> ModeTipTracker::next(ModeTip t) {
    if (static_cast<int>(t) == last) return std::nullopt;
    last = static_cast<int>(t);
    return modeTipText(t);
}

}  // namespace zv::ui
