#pragma once
// zvtype plays the application: an input context that has the focus, a
// text field that receives every committed result, and a keyboard whose
// key events go through the input method first. Keys the input method does
// not take act as in a plain text field.

#include "engine/host.h"
#include "frontends/terminal/key_script.h"
#include "platform/clock.h"
#include "platform/services.h"

#include <deque>
#include <string>
#include <vector>

namespace zv::term {

class Session : public EngineObserver, public platform::KeySender, public platform::Clipboard {
public:
    // The engine must be open; the session becomes its observer, key sender
    // and clipboard, and the clock drives the tick count.
    Session(EngineContext& ctx, platform::ManualClock& clock);
    ~Session() override;

    // The input context gains the focus: the initial conversion state
    // applies and the combinations become hot keys (none while
    // 禁用组合快捷键 is on), as in an application.
    void activate();
    // Plays one stroke of a key script.
    void play(const KeyStroke& stroke);
    // One key event as the host delivers it (the keyboard state follows);
    // fromEngine for the keys the engine sent.
    void keyEvent(int virtualKey, uint32_t scan, bool extended, bool up, bool fromEngine = false);
    // Text that reaches the field without keys (pasted), as a text field
    // takes it: at the caret, beside any composition.
    void insertText(std::u16string_view text) { text_ += text; }
    // One trace line for the state after the last stroke.
    std::string traceLine(const std::string& key);

    // The text of the application's field.
    const std::u16string& typed() const { return text_; }
    // The keyboard as the keys left it (Caps Lock shows on the status bar).
    const KeyboardState& keyboard() const { return keys_; }
    std::u16string clipboardText;

    // EngineObserver
    void resultCommitted(std::u16string_view text, uint32_t kind) override;
    // KeySender: synthetic keys come back through the keyboard.
    void send(const std::vector<platform::KeyEvent>& events) override;
    // Clipboard
    std::u16string text() override { return clipboardText; }

private:
    void applicationKey(int virtualKey);
    void trackModifier(int virtualKey, uint32_t scan, bool extended, bool up);
    void drainSynthetic();

    EngineContext& ctx_;
    platform::ManualClock& clock_;
    KeyboardState keys_;
    HeldModifiers held_;            // side by side, for the hot keys
    std::vector<HotKey> hotKeys_;   // registered when the context gained the focus
    std::u16string text_;
    std::u16string out_;  // committed during the current stroke
    uint32_t kind_ = 0;
    std::deque<platform::KeyEvent> synthetic_;
    bool draining_ = false;
};

}  // namespace zv::term
