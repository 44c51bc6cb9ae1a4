// A zvtype key script (--keys, or standard input without a terminal):
// characters, "{Name}" groups, chords and waits, parsed into the strokes a
// session plays. A script that parses gives strokes whose labels spell it
// again (line feeds aside), each stroke a key a keyboard has; one that does
// not names a place inside it.

#include "frontends/terminal/key_script.h"
#include "fuzz/fuzz_input.h"

#include <string>

using namespace zv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view script = fuzz::bytesOf(data, size);
    term::ScriptError err;
    auto strokes = term::parseKeyScript(script, &err);
    if (!strokes) {
        if (err.offset >= script.size() || err.message.empty()) __builtin_trap();
        return 0;
    }
    std::string spelled;
    for (const term::KeyStroke& k : *strokes) {
        spelled += k.label;
        if (k.kind == term::KeyStroke::Wait) {
            if (k.virtualKey != 0) __builtin_trap();
            continue;
        }
        if (k.virtualKey <= 0 || k.virtualKey > 0xFE) __builtin_trap();
        // Every key a script can name has its place on the keyboard.
        if (k.scan == 0 || k.scan > 0x7F) __builtin_trap();
        bool extended = false;
        if (k.kind == term::KeyStroke::Press && term::scanCodeOf(k.virtualKey, &extended) != k.scan) __builtin_trap();
    }
    std::string plain;
    for (char c : script)
        if (c != '\r') plain += c;
    if (spelled != plain) __builtin_trap();
    // A group's own name gives the stroke of that group.
    for (const term::KeyStroke& k : *strokes) {
        if (k.label.size() < 3 || k.label.front() != '{' || k.kind == term::KeyStroke::Wait) continue;
        std::string_view name(k.label);
        name = name.substr(1, name.size() - 2);
        if (name.find('+') != std::string_view::npos || name == "{") continue;
        auto again = term::strokeForName(name);
        if (!again || again->virtualKey != k.virtualKey || again->scan != k.scan || again->label != k.label)
            __builtin_trap();
    }
    return 0;
}
