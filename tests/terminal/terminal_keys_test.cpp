// Terminal bytes back to key presses: what xterm, tmux and the Linux console
// send for each key must reach the engine as the key a script names.

#include "frontends/terminal/interactive.h"
#include "frontends/terminal/terminal_keys.h"

#include <gtest/gtest.h>

namespace zv::term {
namespace {

KeyStroke scripted(std::string_view script) {
    auto k = parseKeyScript(script);
    EXPECT_TRUE(k && k->size() == 1) << script;
    return k && !k->empty() ? k->front() : KeyStroke{};
}

void expectSameKey(const KeyStroke& want, const TerminalKey& got, const std::string& what) {
    ASSERT_EQ(TerminalKey::Press, got.kind) << what;
    EXPECT_EQ(want.virtualKey, got.stroke.virtualKey) << what;
    EXPECT_EQ(want.scan, got.stroke.scan) << what;
    EXPECT_EQ(want.extended, got.stroke.extended) << what;
    EXPECT_EQ(want.shift, got.stroke.shift) << what;
    EXPECT_EQ(want.ctrl, got.stroke.ctrl) << what;
    EXPECT_EQ(want.alt, got.stroke.alt) << what;
}

std::string printable(std::string_view bytes) {
    std::string s;
    for (char c : bytes) s += c == '\x1b' ? std::string("ESC") : std::string(1, c);
    return s;
}

TEST(TerminalKeys, SequencesOfTheCommonTerminalsAreTheKeysScriptsName) {
    const struct {
        const char* bytes;
        const char* script;
    } cases[] = {
        {"w", "w"},
        {"W", "W"},
        {"=", "="},
        {"+", "+"},
        {" ", "{Space}"},
        {"\r", "{Enter}"},
        {"\n", "{Enter}"},
        {"\t", "{Tab}"},
        {"\x7f", "{Backspace}"},
        {"\x08", "{Backspace}"},
        {"\x01", "{Ctrl+a}"},
        {"\x11", "{Ctrl+q}"},
        {std::string_view("\0", 1).data(), "{Ctrl+Space}"},
        {"\x1b[A", "{Up}"},
        {"\x1bOA", "{Up}"},
        {"\x1b[D", "{Left}"},
        {"\x1b[H", "{Home}"},
        {"\x1b[1~", "{Home}"},
        {"\x1b[7~", "{Home}"},
        {"\x1bOF", "{End}"},
        {"\x1b[4~", "{End}"},
        {"\x1b[3~", "{Delete}"},
        {"\x1b[5~", "{PageUp}"},
        {"\x1b[6~", "{PageDown}"},
        {"\x1bOP", "{F1}"},
        {"\x1b[[A", "{F1}"},
        {"\x1b[11~", "{F1}"},
        {"\x1b[15~", "{F5}"},
        {"\x1b[21~", "{F10}"},
        {"\x1b[24~", "{F12}"},
        {"\x1bOp", "{Num0}"},
        {"\x1bOy", "{Num9}"},
        {"\x1bOk", "{Num+}"},
        {"\x1bOo", "{Num/}"},
        {"\x1bOM", "{Enter}"},
        {"\x1b[1;5C", "{Ctrl+Right}"},
        {"\x1b[1;2A", "{Shift+Up}"},
        {"\x1b[5;3~", "{Alt+PageUp}"},
        {"\x1b[1;5P", "{Ctrl+F1}"},
        {"\x1b[Z", "{Shift+Tab}"},
        {"\x1bx", "{Alt+x}"},
        {"\x1b\x01", "{Alt+a}"},  // Alt with Ctrl+A: checked for Alt below
        {"\x1b[97;5u", "{Ctrl+a}"},
        {"\x1b[27;5;32~", "{Ctrl+Space}"},
        {"\x1b[97;2u", "A"},
    };
    for (auto& c : cases) {
        const std::string_view bytes = c.bytes[0] ? std::string_view(c.bytes) : std::string_view("\0", 1);
        DecodedKeys d = decodeTerminalKeys(bytes, false);
        ASSERT_EQ(1u, d.keys.size()) << printable(bytes);
        EXPECT_EQ(bytes.size(), d.used) << printable(bytes);
        KeyStroke want = scripted(c.script);
        if (bytes == "\x1b\x01") want.ctrl = true;
        expectSameKey(want, d.keys[0], printable(bytes));
    }
}

TEST(TerminalKeys, EscWaitsForTheRestOfASequence) {
    // Alone, Esc could start a sequence: it waits until the timeout says not.
    DecodedKeys d = decodeTerminalKeys("\x1b", false);
    EXPECT_TRUE(d.keys.empty());
    EXPECT_EQ(0u, d.used);
    d = decodeTerminalKeys("\x1b", true);
    ASSERT_EQ(1u, d.keys.size());
    expectSameKey(scripted("{Esc}"), d.keys[0], "Esc");

    // A sequence split across reads is one key once complete.
    d = decodeTerminalKeys("w\x1b[1;", false);
    ASSERT_EQ(1u, d.keys.size());
    EXPECT_EQ(1u, d.used);
    d = decodeTerminalKeys("\x1b[1;5D", false);
    ASSERT_EQ(1u, d.keys.size());
    expectSameKey(scripted("{Ctrl+Left}"), d.keys[0], "Ctrl+Left");

    // After the timeout an unfinished sequence is dropped, never typed.
    d = decodeTerminalKeys("\x1b[1;", true);
    EXPECT_TRUE(d.keys.empty());
    EXPECT_EQ(4u, d.used);
    // Esc then [ within the timeout but nothing more: Alt+[.
    d = decodeTerminalKeys("\x1b[", true);
    ASSERT_EQ(1u, d.keys.size());
    EXPECT_TRUE(d.keys[0].stroke.alt);

    // Esc typed twice: two Esc keys, the second still waiting.
    d = decodeTerminalKeys("\x1b\x1b", false);
    ASSERT_EQ(1u, d.keys.size());
    EXPECT_EQ(1u, d.used);
}

TEST(TerminalKeys, ReportsAndBrokenSequencesDoNotTypeAnything) {
    // Mouse and focus reports, Insert and F13: consumed, no keys.
    for (std::string_view s : {"\x1b[<0;10;5M", "\x1b[I", "\x1b[2~", "\x1b[25~", "\x1b[200~"}) {
        DecodedKeys d = decodeTerminalKeys(s, false);
        EXPECT_TRUE(d.keys.empty()) << printable(s);
        EXPECT_EQ(s.size(), d.used) << printable(s);
    }
    // A sequence broken by a control character: the Esc is a key of its own
    // and what follows is not swallowed.
    DecodedKeys d = decodeTerminalKeys("\x1b[1\x03", false);
    ASSERT_EQ(4u, d.keys.size());
    expectSameKey(scripted("{Esc}"), d.keys[0], "Esc");
    expectSameKey(scripted("{Ctrl+c}"), d.keys[3], "Ctrl+C");
    // An endless parameter list does not hold the input back.
    std::string endless = "\x1b[" + std::string(200, '1');
    d = decodeTerminalKeys(endless, false);
    ASSERT_FALSE(d.keys.empty());
    expectSameKey(scripted("{Esc}"), d.keys[0], "Esc");
    EXPECT_EQ(endless.size(), d.used);
}

TEST(TerminalKeys, CharactersBeyondAsciiArriveAsText) {
    DecodedKeys d = decodeTerminalKeys("a\xe4\xbd\xa0\xe5\xa5\xbd" "b", false);
    ASSERT_EQ(3u, d.keys.size());
    EXPECT_EQ(TerminalKey::Text, d.keys[1].kind);
    EXPECT_EQ(u"你好", d.keys[1].text);
    expectSameKey(scripted("b"), d.keys[2], "b");
    // Half a character waits for the rest; after the timeout it is dropped.
    d = decodeTerminalKeys("\xe4\xbd", false);
    EXPECT_TRUE(d.keys.empty());
    EXPECT_EQ(0u, d.used);
    d = decodeTerminalKeys("\xe4\xbd", true);
    EXPECT_TRUE(d.keys.empty());
    EXPECT_EQ(2u, d.used);
    // Bytes that are not UTF-8 are skipped.
    d = decodeTerminalKeys("\xff\xc0x", false);
    ASSERT_EQ(1u, d.keys.size());
    expectSameKey(scripted("x"), d.keys[0], "x");
}

TEST(TerminalKeys, OwnKeysOfTheSession) {
    auto commandOf = [](std::string_view bytes) {
        DecodedKeys d = decodeTerminalKeys(bytes, true);
        EXPECT_EQ(1u, d.keys.size()) << printable(bytes);
        return d.keys.empty() ? TerminalCommand::None : commandFor(d.keys[0].stroke);
    };
    // Ctrl+C and Ctrl+D end the session like the quit key.
    EXPECT_EQ(TerminalCommand::Quit, commandOf("\x11"));
    EXPECT_EQ(TerminalCommand::Quit, commandOf("\x03"));
    EXPECT_EQ(TerminalCommand::Quit, commandOf("\x04"));
    EXPECT_EQ(TerminalCommand::ShiftTap, commandOf(std::string_view("\0", 1)));
    EXPECT_EQ(TerminalCommand::SoftKeyboard, commandOf("\x0b"));
    // The same letters plain, shifted or with Alt are typed.
    EXPECT_EQ(TerminalCommand::None, commandOf("q"));
    EXPECT_EQ(TerminalCommand::None, commandOf("Q"));
    EXPECT_EQ(TerminalCommand::None, commandOf("\x1bq"));
    EXPECT_EQ(TerminalCommand::None, commandOf("\x1b[27;6;113~"));  // Ctrl+Shift+Q
    // Unbound Ctrl chords go to the engine and the application.
    EXPECT_EQ(TerminalCommand::None, commandOf("\x01"));
}

// Script groups name function keys by number; a number of any length is
// refused as a name rather than overflowing on its way to the range check.
TEST(KeyScripts, FunctionKeyNumbersOutOfRangeAreUnknownNames) {
    EXPECT_EQ(0x70 + 11, scripted("{F12}").virtualKey);
    EXPECT_EQ(0x70, scripted("{F01}").virtualKey);
    for (const char* script : {"{F13}", "{F0}", "{F04014444420013}", "{F99999999999999999999}", "{Ctrl+F2147483648}"}) {
        ScriptError err;
        EXPECT_FALSE(parseKeyScript(script, &err)) << script;
        EXPECT_EQ(0u, err.offset) << script;
    }
}

}  // namespace
}  // namespace zv::term
