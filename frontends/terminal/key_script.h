#pragma once
// Key scripts: every character is one key press of the key that types it on
// a US keyboard; "{Name}" groups name other keys, modifier taps, chords and
// waits. Parsed into key strokes that a session plays as key events.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv::term {

struct KeyStroke {
    enum Kind { Press, Tap, Wait } kind = Press;
    int virtualKey = 0;
    uint32_t scan = 0;
    bool extended = false;
    bool shift = false;  // held around the press
    bool ctrl = false;
    bool alt = false;
    uint64_t waitMs = 0;
    std::string label;   // the script text of the stroke, for traces
};

struct ScriptError {
    size_t offset = 0;
    std::string message;
};

// Parses a UTF-8 script; on error returns nothing and fills err.
std::optional<std::vector<KeyStroke>> parseKeyScript(std::string_view script, ScriptError* err = nullptr);

// The key stroke that types one ASCII character, if any.
std::optional<KeyStroke> strokeForChar(char c);
// The stroke of a key named as in a "{Name}" group (Space, F5, Num3, ...),
// labelled with that group.
std::optional<KeyStroke> strokeForName(std::string_view name);
// The scan code of a virtual key on a US keyboard (0 when unknown).
uint32_t scanCodeOf(int virtualKey, bool* extended = nullptr);

}  // namespace zv::term
