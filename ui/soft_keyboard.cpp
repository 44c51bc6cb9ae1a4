#include "ui/soft_keyboard.h"

#include "ui/draw.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace zv::ui {

namespace {

// The virtual key of every clickable key index 0..60.
constexpr uint8_t VirtualKeys[61] = {
    0xC0, '1', '2', '3', '4', '5', '6', '7', '8', '9', '0', 0xBD, 0xBB, 0x08,             // 0..13
    0x09, 'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I', 'O', 'P', 0xDB, 0xDD, 0xDC,             // 14..27
    0x14, 'A', 'S', 'D', 'F', 'G', 'H', 'J', 'K', 'L', 0xBA, 0xDE, 0x0D,                  // 28..40
    0xA0, 'Z', 'X', 'C', 'V', 'B', 'N', 'M', 0xBC, 0xBE, 0xBF,                            // 41..51
    0xA2, 0x1B, 0xA4, 0x20, 0xA5, 0x2D, 0x2E, 0xA3,                                      // 52..59
    0xA1,                                                                                 // 60
};

constexpr uint8_t VkShift = 0x10, VkLeftShift = 0xA0, VkRightShift = 0xA1, VkLeftCtrl = 0xA2, VkRightCtrl = 0xA3,
                  VkLeftAlt = 0xA4, VkRightAlt = 0xA5;

struct KeySpan {
    int index;
    float units;
};

// Five rows of 15 units; the title strip above them holds the layout menu
// (90) and close (91) buttons.
constexpr float Unit = 28.4f, Left = 7.0f, RowTop = 24.0f, RowStep = 29.0f, KeyHeight = 27.0f;

const std::vector<std::vector<KeySpan>>& rows() {
    static const std::vector<std::vector<KeySpan>> r = [] {
        std::vector<std::vector<KeySpan>> rows(5);
        for (int i = 0; i <= 12; ++i) rows[0].push_back({i, 1});
        rows[0].push_back({13, 2});
        rows[1].push_back({14, 1.5f});
        for (int i = 15; i <= 26; ++i) rows[1].push_back({i, 1});
        rows[1].push_back({27, 1.5f});
        rows[2].push_back({28, 1.75f});
        for (int i = 29; i <= 39; ++i) rows[2].push_back({i, 1});
        rows[2].push_back({40, 2.25f});
        rows[3].push_back({41, 2.25f});
        for (int i = 42; i <= 51; ++i) rows[3].push_back({i, 1});
        rows[3].push_back({60, 2.75f});
        rows[4] = {{52, 1.5f}, {53, 1}, {54, 1.5f}, {55, 6}, {56, 1.5f}, {57, 1}, {58, 1}, {59, 1.5f}};
        return rows;
    }();
    return r;
}

const std::array<Rect, SoftKeyRects>& keyRects() {
    static const std::array<Rect, SoftKeyRects> rects = [] {
        std::array<Rect, SoftKeyRects> r{};
        for (size_t row = 0; row < rows().size(); ++row) {
            float x = Left;
            const auto top = static_cast<int32_t>(RowTop + RowStep * static_cast<float>(row));
            for (const KeySpan& k : rows()[row]) {
                const auto l = static_cast<int32_t>(std::lround(x)) + 1;
                x += k.units * Unit;
                const auto rt = static_cast<int32_t>(std::lround(x)) - 1;
                r[static_cast<size_t>(k.index)] = {l, top, rt, top + static_cast<int32_t>(KeyHeight)};
            }
        }
        r[SoftKeyMenu] = {378, 3, 404, 20};
        r[SoftKeyClose] = {408, 3, 434, 20};
        return r;
    }();
    return rects;
}

bool isRefusedKey(int index) { return index == 52 || index == 54 || index == 56 || index == 59; }

const char16_t* keyLegend(int index) {
    switch (index) {
    case 13: return u"Back";
    case 14: return u"Tab";
    case 28: return u"Caps";
    case 40: return u"Enter";
    case 41:
    case 60: return u"Shift";
    case 52:
    case 59: return u"Ctrl";
    case 53: return u"Esc";
    case 54:
    case 56: return u"Alt";
    case 55: return u"Space";
    case 57: return u"Ins";
    case 58: return u"Del";
    default: return nullptr;
    }
}

// Outline of a key: light on the top and left, dark on the bottom and
// right (raised); swapped for a pressed key.
void outlineKey(Canvas& c, const Rect& r, bool pressed) {
    const uint32_t light = pixel(0xC8, 0xFF, 0xFF, 255), dark = pixel(0x53, 0x53, 0x53, 255);
    const uint32_t topLeft = pressed ? dark : light, bottomRight = pressed ? light : dark;
    for (int32_t x = r.left; x < r.right; ++x) {
        c.at(x, r.top) = topLeft;
        c.at(x, r.bottom - 1) = bottomRight;
    }
    for (int32_t y = r.top; y < r.bottom; ++y) {
        c.at(r.left, y) = topLeft;
        c.at(r.right - 1, y) = bottomRight;
    }
}

}  // namespace

uint8_t softKeyVirtualKey(int index) {
    return index >= 0 && index <= 60 ? VirtualKeys[static_cast<size_t>(index)] : uint8_t{0};
}

Rect softKeyRect(int index) {
    return index >= 0 && index < SoftKeyRects ? keyRects()[static_cast<size_t>(index)] : Rect{};
}

int softKeyHitTest(int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= SoftKeyboardWidth || y >= SoftKeyboardHeight) return SoftKeyOutside;
    for (int i = 0; i < SoftKeyRects; ++i) {
        const Rect& r = keyRects()[static_cast<size_t>(i)];
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return isRefusedKey(i) ? SoftKeyOutside : i;
    }
    return SoftKeyNone;
}

int setSoftKeyboard(SoftKeyboardState& s, uint32_t& modes, int request) {
    int layout = request;
    if (request == SoftKeyboardToggleRequest) layout = s.layout ? 0 : s.lastLayout;
    else if (request == SoftKeyboardNextRequest) layout = s.layout ? s.layout % SoftKeyboardLayouts + 1 : s.lastLayout;
    if (layout < 1 || layout > SoftKeyboardLayouts) {
        modes &= ~uint32_t{0x20};
        s.layout = 0;
    } else {
        modes |= 0x20;
        s.layout = layout;
        s.lastLayout = layout;
    }
    s.hovered = s.pressed = SoftKeyNone;
    s.dragging = s.dragged = false;
    return s.layout;
}

Point softKeyboardWindowPosition(SkinSettings settings, const Rect& area, const Rect* statusBar) {
    Point p;
    if (settings) p = {settings.i32(SkinSettings::SoftKbdPos), settings.i32(SkinSettings::SoftKbdPos + 4)};
    if (p.x != 0 || p.y != 0) return p;
    p = {area.right - SoftKeyboardWidth, area.bottom - SoftKeyboardHeight};
    if (statusBar && (p.x < statusBar->right || p.y < statusBar->bottom)) p.x = 0;
    return p;
}

SkinImage softKeyboardPicture(TextRenderer& renderer) {
    SkinImage img = blankImage(SoftKeyboardWidth, SoftKeyboardHeight, rgb(0xE4E7EB));
    fillRoundedRect(img, 0, 0, SoftKeyboardWidth, 22, 0, rgb(0x3A4658));
    strokeRoundedRect(img, 0, 0, SoftKeyboardWidth, SoftKeyboardHeight, 0, 1, rgb(0x9AA3AE));
    for (int i = 0; i <= 60; ++i) {
        const Rect r = softKeyRect(i);
        if (r.right <= r.left) continue;
        const bool named = keyLegend(i) != nullptr;
        const bool refused = isRefusedKey(i);
        const Rgba face = refused ? rgb(0xD3D7DC) : named ? rgb(0xF1F3F5) : rgb(0xFFFFFF);
        fillRoundedRect(img, r.left + 0.0f, r.top + 1.0f, r.right + 0.0f, r.bottom + 0.0f, 3, rgb(0xAEB5BE));
        fillRoundedRect(img, r.left + 0.0f, r.top + 0.0f, r.right + 0.0f, r.bottom - 1.0f, 3, face);
        strokeRoundedRect(img, r.left + 0.0f, r.top + 0.0f, r.right + 0.0f, r.bottom - 1.0f, 3, 1, rgb(0xC3C8CF));
    }
    // Menu (three lines) and close (a cross) in the title strip.
    const Rect m = softKeyRect(SoftKeyMenu), x = softKeyRect(SoftKeyClose);
    for (int i = 0; i < 3; ++i) {
        const float y = m.top + 5.0f + 4.0f * static_cast<float>(i);
        strokeLine(img, m.left + 8.0f, y, m.right - 8.0f, y, 1.6f, rgb(0xE8ECF2));
    }
    strokeLine(img, x.left + 9.0f, x.top + 4.5f, x.right - 9.0f, x.bottom - 4.5f, 1.6f, rgb(0xE8ECF2));
    strokeLine(img, x.right - 9.0f, x.top + 4.5f, x.left + 9.0f, x.bottom - 4.5f, 1.6f, rgb(0xE8ECF2));

    // Legends: the US key of every character key at its left, the names of
    // the other keys in the middle. Text drawing leaves alpha 0; the
    // picture is opaque, so alpha is set back afterwards.
    FontSpec small;
    small.face = u"Calibri";
    small.height = -10;
    if (auto font = renderer.createFont(small)) {
        for (int i = 0; i <= 60; ++i) {
            const Rect r = softKeyRect(i);
            if (r.right <= r.left) continue;
            const Colour grey = isRefusedKey(i) ? 0xA0A0A0 : 0x8A8178;
            if (const char16_t* name = keyLegend(i)) {
                const TextSize s = font->measure(name);
                font->draw(img, r.left + (r.right - r.left - s.width) / 2, r.top + (r.bottom - r.top - s.height) / 2,
                           name, grey, -1);
            } else {
                const char16_t normal = softKeyboardCharAt(1, i, false);
                const char16_t legend[2] = {normal >= u'a' && normal <= u'z' ? softKeyboardCharAt(1, i, true) : normal, 0};
                font->draw(img, r.left + 3, r.top + 2, legend, grey, -1);
            }
        }
    }
    for (uint32_t& p : img.pixels) p |= 0xFF000000u;
    return img;
}

void paintSoftKeyboard(const SoftKeyboardState& s, const SkinImage& picture, const Font& keyFont,
                       const Font& titleFont, Canvas& out) {
    out = picture;
    if (out.empty()) return;
    titleFont.draw(out, 8, 3, std::u16string(u"软键盘 - ") + std::u16string(softKeyboardLayoutName(s.layout)),
                   0xF2ECE8, -1);
    // Shifted characters at the top right, normal ones at the bottom right,
    // in dark red.
    constexpr Colour keyColour = 30;
    for (int p = 0; p < SoftKeyboardPositions; ++p) {
        const Rect r = softKeyRect(p);
        for (bool shifted : {true, false}) {
            const char16_t c = softKeyboardCharAt(s.layout, p, shifted);
            if (c == u' ') continue;
            const std::u16string_view text(&c, 1);
            const TextSize size = keyFont.measure(text);
            const int32_t y = shifted ? r.top + 1 : r.bottom - size.height - 2;
            keyFont.draw(out, r.right - size.width - 3, y, text, keyColour, -1);
        }
    }
    for (uint32_t& px : out.pixels) px |= 0xFF000000u;
    if (s.stickyShift) {
        outlineKey(out, softKeyRect(SoftKeyLeftShift), true);
        outlineKey(out, softKeyRect(SoftKeyRightShift), true);
    }
    if (s.hovered >= 0 && s.hovered != s.pressed) outlineKey(out, softKeyRect(s.hovered), false);
    if (s.pressed >= 0) outlineKey(out, softKeyRect(s.pressed), true);
}

SoftKeyboardOutcome softKeyboardMouse(SoftKeyboardState& s, const MouseEvent& e, SkinSettings settings) {
    SoftKeyboardOutcome out;
    const int hit = softKeyHitTest(e.at.x, e.at.y);
    switch (e.kind) {
    case MouseEvent::Move: {
        if (e.leftHeld && s.dragging) {
            const Rect& a = e.workArea;
            Point p = dragOrigin(e, s.dragAnchor);
            p.x = std::max(std::min(p.x, a.right - drawnSize(e, SoftKeyboardWidth)), a.left + 1);
            p.y = std::max(std::min(p.y, a.bottom - drawnSize(e, SoftKeyboardHeight)), a.top + 1);
            s.position = p;
            s.dragged = true;
            if (settings) {
                settings.setI32(SkinSettings::SoftKbdPos, p.x);
                settings.setI32(SkinSettings::SoftKbdPos + 4, p.y);
            }
            out.moveTo = p;
            return out;
        }
        const int hovered = hit >= 0 ? hit : SoftKeyNone;
        out.repaint = hovered != s.hovered;
        s.hovered = hovered;
        return out;
    }
    case MouseEvent::LeftDown:
        s.dragged = false;
        if (hit >= 0) {
            s.pressed = hit;
            out.repaint = true;
        } else if (hit == SoftKeyNone) {
            s.dragging = true;
            s.dragAnchor = e.at;
        }
        return out;
    case MouseEvent::LeftUp: {
        const int pressed = s.pressed;
        const bool dragged = s.dragged;
        s.pressed = SoftKeyNone;
        s.dragging = s.dragged = false;
        out.repaint = true;
        if (dragged || pressed < 0 || pressed != hit) return out;
        if (pressed == SoftKeyClose) {
            out.request = MouseRequest::Command;
            out.command = CommandSoftKeyboard;
            out.argument = 0;
        } else if (pressed == SoftKeyMenu) {
            out.request = MouseRequest::SoftKeyboardMenu;
        } else if (pressed <= 60) {
            const uint8_t vk = softKeyVirtualKey(pressed);
            if (vk == VkLeftShift || vk == VkRightShift) {
                s.stickyShift = !s.stickyShift;
            } else if (vk == VkLeftCtrl || vk == VkRightCtrl) {
                s.stickyCtrl = !s.stickyCtrl;
            } else if (vk == VkLeftAlt || vk == VkRightAlt) {
                s.stickyAlt = !s.stickyAlt;
            } else if (vk) {
                if (s.stickyShift) out.keys.push_back({VkShift, 0x2A, false, false});
                out.keys.push_back({vk, 0, false, false});
                out.keys.push_back({vk, 0, true, false});
                if (s.stickyShift) out.keys.push_back({VkShift, 0x2A, true, false});
            }
        }
        return out;
    }
    case MouseEvent::RightDown:
        out.request = MouseRequest::SoftKeyboardMenu;
        return out;
    }
    return out;
}

}  // namespace zv::ui
