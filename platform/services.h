#pragma once
// Effects the engine asks of the system: starting programs, asking the user,
// reading the clipboard, sending keystrokes. One small interface each, so that
// front ends, tools and tests can supply their own.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv::platform {

class Clock;
class Registry;

class Shell {
public:
    virtual ~Shell() = default;
    // The shell's "open" verb: a program, a document or a web address.
    virtual bool open(std::u16string_view target) = 0;
    // Starts a program with arguments; hidden asks for no window.
    virtual bool run(std::u16string_view program, std::u16string_view arguments, bool hidden) = 0;
    // One page of a compiled help file in the help viewer (HTML Help on
    // Windows, "file::/page").
    virtual bool showHelp(std::u16string_view file, std::u16string_view page) = 0;
};

enum class DialogIcon { Information, Question, Warning, Error };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // An OK/Cancel question; true for OK.
    virtual bool confirm(std::u16string_view caption, std::u16string_view text) = 0;
    virtual void inform(std::u16string_view caption, std::u16string_view text, DialogIcon icon) = 0;
};

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // The Unicode text on the clipboard, empty when there is none.
    virtual std::u16string text() = 0;
};

struct KeyEvent {
    uint8_t virtualKey = 0;
    uint16_t scan = 0;
    bool up = false;
    bool extended = false;
};

// What the system's key sender puts on every key it sends where the system
// carries such a mark (the extra information of a Windows key event), so
// that a host can tell the engine's own keys from typed ones.
constexpr uintptr_t EngineKeyMark = 0x5A564B59;  // "ZVKY"

class KeySender {
public:
    virtual ~KeySender() = default;
    virtual void send(const std::vector<KeyEvent>& events) = 0;
};

// Everything the engine may ask of the system, handed to it explicitly.
struct Platform {
    Registry* registry = nullptr;
    Clock* clock = nullptr;
    Shell* shell = nullptr;
    Dialogs* dialogs = nullptr;
    Clipboard* clipboard = nullptr;
    KeySender* keys = nullptr;
};

// The real services of this system (the registry is left to the caller).
Shell& systemShell();
Dialogs& systemDialogs();
Clipboard& systemClipboard();
KeySender& systemKeySender();
// All of them, with the caller's registry.
Platform systemPlatform(Registry* registry);

// Services that do nothing: a declined question, an empty clipboard.
class NullServices : public Shell, public Dialogs, public Clipboard, public KeySender {
public:
    bool open(std::u16string_view) override { return false; }
    bool run(std::u16string_view, std::u16string_view, bool) override { return false; }
    bool showHelp(std::u16string_view, std::u16string_view) override { return false; }
    bool confirm(std::u16string_view, std::u16string_view) override { return false; }
    void inform(std::u16string_view, std::u16string_view, DialogIcon) override {}
    std::u16string text() override { return {}; }
    void send(const std::vector<KeyEvent>&) override {}
    // These services for every effect, with the given clock.
    Platform forAll(Clock* clock) {
        Platform p;
        p.clock = clock;
        p.shell = this;
        p.dialogs = this;
        p.clipboard = this;
        p.keys = this;
        return p;
    }
};

}  // namespace zv::platform
