#include "frontends/terminal/session.h"

#include "engine/host_view.h"
#include "platform/utf.h"

#include <cstdio>

namespace zv::term {

Session::Session(EngineContext& ctx, platform::ManualClock& clock) : ctx_(ctx), clock_(clock) {
    setObserver(ctx_, this);
    platform::Platform& p = services(ctx_);
    p.keys = this;
    p.clipboard = this;
    p.clock = &clock_;
}

Session::~Session() {
    setObserver(ctx_, nullptr);
    platform::Platform& p = services(ctx_);
    if (p.keys == this) p.keys = nullptr;
    if (p.clipboard == this) p.clipboard = nullptr;
}

void Session::resultCommitted(std::u16string_view text, uint32_t kind) {
    text_ += text;
    out_ += text;
    kind_ = kind;
}

void Session::send(const std::vector<platform::KeyEvent>& events) {
    synthetic_.insert(synthetic_.end(), events.begin(), events.end());
}

void Session::drainSynthetic() {
    if (draining_) return;
    draining_ = true;
    while (!synthetic_.empty()) {
        platform::KeyEvent e = synthetic_.front();
        synthetic_.pop_front();
        keyEvent(e.virtualKey, e.scan, e.extended, e.up, true);
    }
    draining_ = false;
}

void Session::applicationKey(int virtualKey) {
    if (keys_.ctrl || keys_.alt) return;
    switch (virtualKey) {
    case 0x0D: text_ += u'\n'; return;
    case 0x09: text_ += u'\t'; return;
    case 0x08:
        if (!text_.empty()) {
            size_t n = text_.size() >= 2 && text_.back() >= 0xDC00 && text_.back() < 0xE000 &&
                               text_[text_.size() - 2] >= 0xD800 && text_[text_.size() - 2] < 0xDC00
                           ? 2
                           : 1;
            text_.erase(text_.size() - n);
        }
        return;
    default: break;
    }
    const bool letter = virtualKey >= 'A' && virtualKey <= 'Z';
    const bool shifted = letter && keys_.capsLock ? !keys_.shift : keys_.shift;
    std::u16string_view t = keyTextOf(virtualKey, shifted);
    if (isNamedKeyText(t)) return;
    char16_t c = t[0];
    if (c < 0x20) c = static_cast<char16_t>(c + 0x20);  // keypad keys type ASCII
    text_ += c;
}

void Session::activate() {
    focusGained(ctx_);
    hotKeys_ = hotKeysToRegister(ctx_);
}

// Which side a modifier key is: the side-specific virtual keys say it, the
// generic ones by the scan code and the extended flag as a keyboard sends
// them. A generic key going up lets go of both sides.
void Session::trackModifier(int virtualKey, uint32_t scan, bool extended, bool up) {
    struct Side {
        int generic, left, right;
        bool HeldModifiers::*leftHeld;
        bool HeldModifiers::*rightHeld;
        bool rightByScan;
    };
    const Side sides[] = {
        {0x10, 0xA0, 0xA1, &HeldModifiers::leftShift, &HeldModifiers::rightShift, scan == 0x36},
        {0x11, 0xA2, 0xA3, &HeldModifiers::leftCtrl, &HeldModifiers::rightCtrl, extended},
        {0x12, 0xA4, 0xA5, &HeldModifiers::leftAlt, &HeldModifiers::rightAlt, extended},
    };
    for (const Side& s : sides) {
        if (virtualKey == s.left) held_.*s.leftHeld = !up;
        if (virtualKey == s.right) held_.*s.rightHeld = !up;
        if (virtualKey != s.generic) continue;
        if (up) held_.*s.leftHeld = held_.*s.rightHeld = false;
        else (s.rightByScan ? held_.*s.rightHeld : held_.*s.leftHeld) = true;
    }
}

void Session::keyEvent(int virtualKey, uint32_t scan, bool extended, bool up, bool fromEngine) {
    const bool shift = virtualKey == 0x10 || virtualKey == 0xA0 || virtualKey == 0xA1;
    const bool ctrl = virtualKey == 0x11 || virtualKey == 0xA2 || virtualKey == 0xA3;
    const bool alt = virtualKey == 0x12 || virtualKey == 0xA4 || virtualKey == 0xA5;
    trackModifier(virtualKey, scan, extended, up);
    if (!up) {
        if (shift) keys_.shift = true;
        if (ctrl) keys_.ctrl = true;
        if (alt) keys_.alt = true;
        if (virtualKey == 0x14) keys_.capsLock = !keys_.capsLock;
    } else {
        if (shift) keys_.shift = false;
        if (ctrl) keys_.ctrl = false;
        if (alt) keys_.alt = false;
    }
    // A registered chord is the system's hot key: its functions run and the
    // key reaches neither the input method's key test nor the text.
    if (!up && !shift && !ctrl && !alt && virtualKey >= 0 && virtualKey < 256) {
        if (const HotKey* hot = matchHotKey(hotKeys_, static_cast<uint8_t>(virtualKey), held_)) {
            runHotKey(ctx_, hot->id);
            drainSynthetic();
            return;
        }
    }
    keys_.fromEngine = fromEngine;
    const bool taken = testKey(ctx_, virtualKey, keyDataFor(scan, extended, up), up, keys_);
    keys_.fromEngine = false;
    if (taken)
        processKey(ctx_);
    else if (!up && !shift && !ctrl && !alt)
        applicationKey(virtualKey);
    drainSynthetic();
}

void Session::play(const KeyStroke& k) {
    out_.clear();
    kind_ = 0;
    switch (k.kind) {
    case KeyStroke::Wait: clock_.advance(k.waitMs); return;
    case KeyStroke::Tap:
        keyEvent(k.virtualKey, k.scan, k.extended, false);
        keyEvent(k.virtualKey, k.scan, k.extended, true);
        return;
    case KeyStroke::Press: break;
    }
    if (k.ctrl) keyEvent(0x11, 0x1D, false, false);
    if (k.alt) keyEvent(0x12, 0x38, false, false);
    if (k.shift) keyEvent(0x10, 0x2A, false, false);
    keyEvent(k.virtualKey, k.scan, k.extended, false);
    keyEvent(k.virtualKey, k.scan, k.extended, true);
    if (k.shift) keyEvent(0x10, 0x2A, false, true);
    if (k.alt) keyEvent(0x12, 0x38, false, true);
    if (k.ctrl) keyEvent(0x11, 0x1D, false, true);
}

std::string Session::traceLine(const std::string& key) {
    const EngineView view = viewOf(ctx_);
    const int pages = view.items.empty() ? 0 : pageCount(ctx_);
    std::u16string items;
    for (const ViewCandidate& c : view.items) {
        if (!items.empty()) items += u", ";
        items += c.display;
        items += u'|';
        items += c.hint;
    }
    char tail[96];
    std::snprintf(tail, sizeof tail, " kind=0x%X modes=0x%X", kind_, view.modes);
    return "key=" + key + " code=" + utf16ToUtf8(view.reading) + " cursor=" + std::to_string(view.readingCursor) +
           " page=" + std::to_string(view.items.empty() ? 0 : view.pageNumber + 1) + "/" + std::to_string(pages) +
           " hl=" + std::to_string(view.highlight) + " items=[" + utf16ToUtf8(items) + "] out=" + utf16ToUtf8(out_) +
           tail;
}

}  // namespace zv::term
