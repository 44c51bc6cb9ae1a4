#include "frontends/terminal/terminal_keys.h"

#include "platform/utf.h"

#include <optional>

namespace zv::term {

namespace {

struct Modifiers {
    bool shift = false, alt = false, ctrl = false;
};

// The modifier parameter of xterm's sequences: 1 plus 1 Shift, 2 Alt, 4 Ctrl,
// 8 Meta (taken as Alt).
Modifiers modifiersOf(long parameter) {
    const long m = parameter > 1 ? parameter - 1 : 0;
    return {(m & 1) != 0, (m & 10) != 0, (m & 4) != 0};
}

std::string nameOf(const KeyStroke& k) {
    const std::string& l = k.label;
    if (l.size() >= 2 && l.front() == '{' && l.back() == '}' && l != "{{}") return l.substr(1, l.size() - 2);
    return l == "{{}" ? "{" : l;
}

// Adds held modifiers to a key and names the chord the way key scripts do.
KeyStroke withModifiers(KeyStroke k, Modifiers m) {
    std::string prefix;
    if (m.ctrl && !k.ctrl) prefix += "Ctrl+";
    if (m.alt && !k.alt) prefix += "Alt+";
    // A shifted character already says so; a named key needs the word.
    if (m.shift && !k.shift) prefix += "Shift+";
    if (prefix.empty()) return k;
    k.ctrl = k.ctrl || m.ctrl;
    k.alt = k.alt || m.alt;
    k.shift = k.shift || m.shift;
    k.label = "{" + prefix + nameOf(k) + "}";
    return k;
}

std::optional<KeyStroke> named(const char* name) { return strokeForName(name); }

// A control character: Ctrl with a letter, or the key that sends it.
std::optional<KeyStroke> controlKey(unsigned char b) {
    switch (b) {
    case 0x00: return withModifiers(*named("Space"), {false, false, true});
    case 0x08:
    case 0x7F: return named("Backspace");
    case 0x09: return named("Tab");
    case 0x0A:
    case 0x0D: return named("Enter");
    case 0x1B: return named("Esc");
    case 0x1C: return withModifiers(*strokeForChar('\\'), {false, false, true});
    case 0x1D: return withModifiers(*strokeForChar(']'), {false, false, true});
    case 0x1E: return withModifiers(*strokeForChar('6'), {false, false, true});
    case 0x1F: return withModifiers(*strokeForChar('/'), {false, false, true});
    default: break;
    }
    if (b >= 0x01 && b <= 0x1A) return withModifiers(*strokeForChar(static_cast<char>('a' + b - 1)), {false, false, true});
    return std::nullopt;
}

// A key given by its character code (the kitty and modifyOtherKeys reports).
std::optional<KeyStroke> codeKey(long code, Modifiers m) {
    std::optional<KeyStroke> k;
    switch (code) {
    case 8:
    case 127: k = named("Backspace"); break;
    case 9: k = named("Tab"); break;
    case 13: k = named("Enter"); break;
    case 27: k = named("Esc"); break;
    case 32: k = named("Space"); break;
    default:
        if (code >= 'a' && code <= 'z' && m.shift) {
            k = strokeForChar(static_cast<char>(code - 32));
        } else if (code > 32 && code < 127) {
            k = strokeForChar(static_cast<char>(code));
        }
    }
    if (!k) return std::nullopt;
    return withModifiers(*k, m);
}

struct Sequence {
    std::vector<long> parameters;  // missing ones are 0
    bool privateMarker = false;     // "<", "=", ">" or "?" first: reports, not keys
    char final = 0;
};

long parameter(const Sequence& s, size_t i, long fallback) {
    return i < s.parameters.size() && s.parameters[i] ? s.parameters[i] : fallback;
}

// The cursor and F1..F4 keys that both Esc [ and Esc O end with a letter.
const char* cursorLetterKey(char c) {
    switch (c) {
    case 'A': return "Up";
    case 'B': return "Down";
    case 'C': return "Right";
    case 'D': return "Left";
    case 'H': return "Home";
    case 'F': return "End";
    case 'P': return "F1";
    case 'Q': return "F2";
    case 'R': return "F3";
    case 'S': return "F4";
    default: return nullptr;
    }
}

std::optional<KeyStroke> csiKey(const Sequence& s) {
    if (s.privateMarker) return std::nullopt;
    const Modifiers m = modifiersOf(parameter(s, 1, 1));
    const char* name = cursorLetterKey(s.final);
    if (name) return withModifiers(*named(name), m);
    switch (s.final) {
    case 'Z': return withModifiers(*named("Tab"), {true, m.alt, m.ctrl});
    case 'u': return codeKey(parameter(s, 0, 0), m);
    case '~': {
        const long code = parameter(s, 0, 0);
        if (code == 27) return codeKey(parameter(s, 2, 0), modifiersOf(parameter(s, 1, 1)));
        switch (code) {
        case 1:
        case 7: name = "Home"; break;
        case 3: name = "Delete"; break;
        case 4:
        case 8: name = "End"; break;
        case 5: name = "PageUp"; break;
        case 6: name = "PageDown"; break;
        case 11: name = "F1"; break;
        case 12: name = "F2"; break;
        case 13: name = "F3"; break;
        case 14: name = "F4"; break;
        case 15: name = "F5"; break;
        case 17: name = "F6"; break;
        case 18: name = "F7"; break;
        case 19: name = "F8"; break;
        case 20: name = "F9"; break;
        case 21: name = "F10"; break;
        case 23: name = "F11"; break;
        case 24: name = "F12"; break;
        default: return std::nullopt;
        }
        break;
    }
    default: return std::nullopt;
    }
    return withModifiers(*named(name), m);
}

// The keys sent as Esc O and one letter: cursor keys in application mode,
// F1..F4, and the keypad in application keypad mode.
std::optional<KeyStroke> ss3Key(char c, Modifiers m) {
    const char* name = cursorLetterKey(c);
    if (name) return withModifiers(*named(name), m);
    switch (c) {
    case 'M': name = "Enter"; break;
    case 'j': name = "Num*"; break;
    case 'k': name = "Num+"; break;
    case 'm': name = "Num-"; break;
    case 'n': name = "Num."; break;
    case 'o': name = "Num/"; break;
    case 'X': return withModifiers(*strokeForChar('='), m);
    default:
        if (c >= 'p' && c <= 'y') {
            const char digit[] = {'N', 'u', 'm', static_cast<char>('0' + (c - 'p')), 0};
            return withModifiers(*named(digit), m);
        }
        return std::nullopt;
    }
    return withModifiers(*named(name), m);
}

constexpr size_t kLongestSequence = 64;

class Decoder {
public:
    Decoder(std::string_view bytes, bool flush) : s_(bytes), flush_(flush) {}

    DecodedKeys run() {
        size_t i = 0;
        while (i < s_.size()) {
            const unsigned char b = static_cast<unsigned char>(s_[i]);
            size_t n;
            if (b == 0x1B) {
                n = escape(i);
            } else if (b < 0x20 || b == 0x7F) {
                press(controlKey(b));
                n = 1;
            } else if (b < 0x80) {
                press(strokeForChar(static_cast<char>(b)));
                n = 1;
            } else {
                n = character(i);
            }
            if (n == 0) break;  // unfinished: wait for the rest
            i += n;
        }
        out_.used = i;
        return std::move(out_);
    }

private:
    void press(std::optional<KeyStroke> k) {
        if (!k) return;
        TerminalKey key;
        key.stroke = std::move(*k);
        out_.keys.push_back(std::move(key));
    }

    void text(std::u16string_view t) {
        if (out_.keys.empty() || out_.keys.back().kind != TerminalKey::Text) {
            TerminalKey key;
            key.kind = TerminalKey::Text;
            out_.keys.push_back(std::move(key));
        }
        out_.keys.back().text += t;
    }

    // The rest of the buffer when it holds an unfinished sequence: wait, or
    // drop it once nothing more is coming.
    size_t unfinished(size_t i) const { return flush_ ? s_.size() - i : 0; }

    // One UTF-8 character (never a key on a US keyboard: typed text).
    size_t character(size_t i) {
        const unsigned char b = static_cast<unsigned char>(s_[i]);
        size_t need = b >= 0xC2 && b < 0xE0 ? 2 : b >= 0xE0 && b < 0xF0 ? 3 : b >= 0xF0 && b < 0xF5 ? 4 : 0;
        if (need == 0) return 1;  // not a lead byte: skipped
        size_t k = 1;
        for (; k < need && i + k < s_.size(); ++k)
            if ((static_cast<unsigned char>(s_[i + k]) & 0xC0) != 0x80) return k;  // broken: skipped
        if (k < need) return unfinished(i);
        std::u16string t = utf8ToUtf16(s_.substr(i, need));
        if (t != u"\uFFFD") text(t);
        return need;
    }

    size_t escape(size_t i) {
        if (i + 1 >= s_.size()) {
            if (!flush_) return 0;
            press(named("Esc"));
            return 1;
        }
        const unsigned char c = static_cast<unsigned char>(s_[i + 1]);
        if (c == '[') return csi(i);
        if (c == 'O') return ss3(i);
        if (c == 0x1B || c >= 0x80) {  // Esc itself, then whatever follows
            press(named("Esc"));
            return 1;
        }
        std::optional<KeyStroke> k = c < 0x20 || c == 0x7F ? controlKey(c) : strokeForChar(static_cast<char>(c));
        if (k) press(withModifiers(*k, {false, true, false}));
        return 2;
    }

    size_t csi(size_t i) {
        size_t j = i + 2;
        if (j >= s_.size()) {
            if (!flush_) return 0;
            press(withModifiers(*strokeForChar('['), {false, true, false}));
            return 2;
        }
        if (s_[j] == '[') {  // the Linux console's F1..F5: Esc [ [ A..E
            if (j + 1 >= s_.size()) return unfinished(i);
            const char f = s_[j + 1];
            if (f >= 'A' && f <= 'E') press(named(("F" + std::string(1, static_cast<char>('1' + (f - 'A')))).c_str()));
            return 4;
        }
        Sequence seq;
        seq.privateMarker = s_[j] == '<' || s_[j] == '=' || s_[j] == '>' || s_[j] == '?';
        long value = 0;
        bool inSub = false;
        for (; j < s_.size() && s_[j] >= 0x30 && s_[j] <= 0x3F; ++j) {
            const char c = s_[j];
            if (c >= '0' && c <= '9') {
                if (!inSub && value < 1000000) value = value * 10 + (c - '0');
            } else if (c == ';') {
                seq.parameters.push_back(value);
                value = 0;
                inSub = false;
            } else if (c == ':') {
                inSub = true;  // sub-parameters (kitty's alternate keys) are not needed
            }
            if (j - i > kLongestSequence) break;
        }
        seq.parameters.push_back(value);
        while (j < s_.size() && s_[j] >= 0x20 && s_[j] <= 0x2F && j - i <= kLongestSequence) ++j;
        if (j - i > kLongestSequence) {  // not a sequence after all
            press(named("Esc"));
            return 1;
        }
        if (j >= s_.size()) return unfinished(i);
        const unsigned char f = static_cast<unsigned char>(s_[j]);
        if (f < 0x40 || f > 0x7E) {  // broken: the Esc was a key of its own
            press(named("Esc"));
            return 1;
        }
        seq.final = static_cast<char>(f);
        press(csiKey(seq));
        return j + 1 - i;
    }

    size_t ss3(size_t i) {
        size_t j = i + 2;
        if (j >= s_.size()) {
            if (!flush_) return 0;
            press(withModifiers(*strokeForChar('O'), {false, true, false}));
            return 2;
        }
        Modifiers m;
        if (s_[j] >= '1' && s_[j] <= '9') {  // older xterms put the modifier here
            m = modifiersOf(s_[j] - '0');
            if (++j >= s_.size()) return unfinished(i);
        }
        press(ss3Key(s_[j], m));
        return j + 1 - i;
    }

    std::string_view s_;
    bool flush_;
    DecodedKeys out_;
};

}  // namespace

DecodedKeys decodeTerminalKeys(std::string_view bytes, bool flush) { return Decoder(bytes, flush).run(); }

}  // namespace zv::term
