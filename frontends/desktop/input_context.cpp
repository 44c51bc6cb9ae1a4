#include "frontends/desktop/input_context.h"

#include <algorithm>
#include <utility>

namespace zv::desktop {

namespace {
constexpr int kShift = 0x10, kControl = 0x11, kAlt = 0x12, kCapsLock = 0x14;
}  // namespace

InputContext::InputContext(Engine engine) : engine_(std::move(engine)) {
    setObserver(*engine_, this);
    services(*engine_).keys = this;
}

InputContext::~InputContext() {
    setObserver(*engine_, nullptr);
    if (services(*engine_).keys == this) services(*engine_).keys = nullptr;
}

void InputContext::focusIn() {
    focusGained(*engine_);
    lastModes_ = viewOf(*engine_).modes;
}

void InputContext::focusOut() {
    focusLost(*engine_);
    keyboard_ = {};
}

void InputContext::reset() { compositionTerminated(*engine_); }

bool InputContext::key(const keys::HostKey& k) {
    // The framework reports the modifiers held with each key; the engine's
    // keyboard follows them, and the modifier keys themselves.
    keyboard_.shift = k.shift;
    keyboard_.ctrl = k.ctrl;
    keyboard_.alt = k.alt;
    keyboard_.capsLock = k.capsLock;
    const bool taken = [&] {
        keyboard_.fromEngine = false;
        if (!k.up) {
            if (k.virtualKey == kShift) keyboard_.shift = true;
            if (k.virtualKey == kControl) keyboard_.ctrl = true;
            if (k.virtualKey == kAlt) keyboard_.alt = true;
            if (k.virtualKey == kCapsLock) keyboard_.capsLock = !keyboard_.capsLock;
        } else {
            if (k.virtualKey == kShift) keyboard_.shift = false;
            if (k.virtualKey == kControl) keyboard_.ctrl = false;
            if (k.virtualKey == kAlt) keyboard_.alt = false;
        }
        const bool t = testKey(*engine_, k.virtualKey, keyDataFor(k.scan, k.extended, k.up), k.up, keyboard_);
        if (t) processKey(*engine_);
        return t;
    }();
    drainSent();
    return taken;
}

void InputContext::feed(int virtualKey, uint32_t scan, bool extended, bool up, bool fromEngine) {
    KeyboardState keys = keyboard_;
    keys.fromEngine = fromEngine;
    if (testKey(*engine_, virtualKey, keyDataFor(scan, extended, up), up, keys)) {
        processKey(*engine_);
        return;
    }
    keys::HostKey passed;
    passed.virtualKey = virtualKey;
    passed.scan = scan;
    passed.extended = extended;
    passed.up = up;
    passed.shift = keyboard_.shift;
    passed.ctrl = keyboard_.ctrl;
    passed.alt = keyboard_.alt;
    passed.capsLock = keyboard_.capsLock;
    forwarded_.push_back(passed);
}

void InputContext::drainSent() {
    if (draining_) return;
    draining_ = true;
    while (!sent_.empty()) {
        const platform::KeyEvent e = sent_.front();
        sent_.pop_front();
        feed(e.virtualKey, e.scan, e.extended, e.up, true);
    }
    draining_ = false;
}

void InputContext::command(int modeCommand) {
    setMode(*engine_, modeCommand);
    drainSent();
}

void InputContext::uiCommand(int command, int value1, int value2) {
    zv::uiCommand(*engine_, command, value1, value2);
    drainSent();
}

void InputContext::choose(int onPage) {
    zv::uiCommand(*engine_, ui_command::CommitPosition, onPage + 1, 0);
    drainSent();
}

void InputContext::turnPage(bool forward) {
    zv::uiCommand(*engine_, forward ? ui_command::NextPage : ui_command::PreviousPage, 0, 0);
    drainSent();
}

void InputContext::resultCommitted(std::u16string_view text, uint32_t) {
    if (!text.empty()) commits_.emplace_back(text);
}

void InputContext::send(const std::vector<platform::KeyEvent>& events) {
    sent_.insert(sent_.end(), events.begin(), events.end());
}

Update InputContext::takeUpdate() {
    const EngineView view = viewOf(*engine_);
    Update u;
    u.commits = std::move(commits_);
    commits_.clear();
    if (view.composing) {
        u.preedit = view.display;
        u.preeditCursor = std::clamp(view.displayCursor, 0, static_cast<int>(view.display.size()));
    }
    static constexpr char16_t kLabels[] = u"1234567890";
    for (size_t i = 0; i < view.items.size(); ++i) {
        const ViewCandidate& c = view.items[i];
        u.candidates.push_back({std::u16string(1, kLabels[i % 10]), c.display, c.hint});
    }
    u.highlight = view.highlight;
    u.firstPage = view.firstPage;
    u.lastPage = view.lastPage;
    u.modes = view.modes;
    u.modesChanged = view.modes != lastModes_;
    lastModes_ = view.modes;
    takeChanges(*engine_);  // this record is what the adapter applies
    return u;
}

std::vector<keys::HostKey> InputContext::takeForwarded() { return std::exchange(forwarded_, {}); }

}  // namespace zv::desktop
