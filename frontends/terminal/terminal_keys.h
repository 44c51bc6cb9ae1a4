#pragma once
// What the keys of a terminal send, turned back into key presses: printable
// characters, control characters for Ctrl chords, an Esc prefix for Alt
// chords, and the escape sequences of xterm, the Linux console and their
// kin for the named keys (with their modifier parameters).

#include "frontends/terminal/key_script.h"

#include <string>
#include <string_view>
#include <vector>

namespace zv::term {

struct TerminalKey {
    enum Kind { Press, Text } kind = Press;
    KeyStroke stroke;     // Press: the key with the modifiers held
    std::u16string text;  // Text: characters no key of a US keyboard types (pasted text)
};

struct DecodedKeys {
    std::vector<TerminalKey> keys;
    size_t used = 0;  // bytes consumed; the rest waits for more
};

// Decodes as many keys as the bytes hold. An unfinished escape sequence or
// UTF-8 character at the end is left unused unless flush is set (nothing
// more came within the escape timeout): then a lone Esc is the Esc key, Esc
// and one more byte an Alt chord, and an unfinished sequence is dropped.
// Sequences of keys the input method has no use for (Insert, F13 and up,
// mouse and focus reports) are consumed and dropped.
DecodedKeys decodeTerminalKeys(std::string_view bytes, bool flush);

}  // namespace zv::term
