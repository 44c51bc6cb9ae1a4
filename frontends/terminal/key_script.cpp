#include "frontends/terminal/key_script.h"

#include "frontends/keys/scan_codes.h"

#include <cstring>

namespace zv::term {

namespace {

struct NamedKey {
    const char* name;
    int vk;
};

constexpr NamedKey kNamed[] = {
    {"Space", 0x20},    {"Enter", 0x0D},   {"Esc", 0x1B},     {"Backspace", 0x08}, {"Delete", 0x2E},
    {"Tab", 0x09},      {"Left", 0x25},    {"Right", 0x27},   {"Up", 0x26},        {"Down", 0x28},
    {"Home", 0x24},     {"End", 0x23},     {"PageUp", 0x21},  {"PageDown", 0x22},  {"CapsLock", 0x14},
    {"Num*", 0x6A},     {"Num+", 0x6B},    {"Num-", 0x6D},    {"Num.", 0x6E},      {"Num/", 0x6F},
};

}  // namespace

uint32_t scanCodeOf(int virtualKey, bool* extended) { return keys::scanCodeOf(virtualKey, extended); }

std::optional<KeyStroke> strokeForChar(char c) {
    KeyStroke k;
    auto set = [&](int vk, bool shift) {
        k.virtualKey = vk;
        k.shift = shift;
        k.scan = keys::scanCodeOf(vk, &k.extended);
        k.label = std::string(1, c);
        return k;
    };
    if (c >= 'a' && c <= 'z') return set(c - 32, false);
    if (c >= 'A' && c <= 'Z') return set(c, true);
    if (c >= '0' && c <= '9') return set(c, false);
    if (c == ' ') return set(0x20, false);
    const char* shiftedDigits = ")!@#$%^&*(";
    if (const char* p = std::strchr(shiftedDigits, c); p && c) return set('0' + static_cast<int>(p - shiftedDigits), true);
    const char* plain = ";=,-./`[\\]'";
    const char* shifted = ":+<_>?~{|}\"";
    const int keys[] = {0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xDB, 0xDC, 0xDD, 0xDE};
    if (const char* p = std::strchr(plain, c); p && c) return set(keys[p - plain], false);
    if (const char* p = std::strchr(shifted, c); p && c) return set(keys[p - shifted], true);
    if (c == '\n') return set(0x0D, false);
    if (c == '\t') return set(0x09, false);
    return std::nullopt;
}

namespace {

std::optional<KeyStroke> namedStroke(std::string_view name) {
    KeyStroke k;
    auto withVk = [&](int vk) {
        k.virtualKey = vk;
        k.scan = keys::scanCodeOf(vk, &k.extended);
        return k;
    };
    for (const NamedKey& n : kNamed)
        if (name == n.name) return withVk(n.vk);
    if (name.size() >= 2 && name[0] == 'F') {
        // A long number stays out of range instead of overflowing.
        int n = 0;
        for (char c : name.substr(1)) {
            if (c < '0' || c > '9') return std::nullopt;
            if (n <= 12) n = n * 10 + (c - '0');
        }
        if (n >= 1 && n <= 12) return withVk(0x70 + n - 1);
        return std::nullopt;
    }
    if (name.size() == 4 && name.substr(0, 3) == "Num" && name[3] >= '0' && name[3] <= '9')
        return withVk(0x60 + (name[3] - '0'));
    const struct {
        const char* name;
        int vk;
        uint32_t scan;
        bool extended;
    } taps[] = {
        {"LShift", 0x10, 0x2A, false}, {"RShift", 0x10, 0x36, false}, {"LCtrl", 0x11, 0x1D, false},
        {"RCtrl", 0x11, 0x1D, true},   {"LAlt", 0x12, 0x38, false},   {"RAlt", 0x12, 0x38, true},
    };
    for (auto& t : taps) {
        if (name == t.name) {
            k.kind = KeyStroke::Tap;
            k.virtualKey = t.vk;
            k.scan = t.scan;
            k.extended = t.extended;
            return k;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<KeyStroke> strokeForName(std::string_view name) {
    auto k = namedStroke(name);
    if (k) k->label = "{" + std::string(name) + "}";
    return k;
}

std::optional<std::vector<KeyStroke>> parseKeyScript(std::string_view script, ScriptError* err) {
    std::vector<KeyStroke> out;
    auto fail = [&](size_t at, std::string msg) {
        if (err) *err = {at, std::move(msg)};
        return std::nullopt;
    };
    for (size_t i = 0; i < script.size();) {
        const char c = script[i];
        if (c == '\r') {
            ++i;
            continue;
        }
        if (c != '{') {
            auto k = strokeForChar(c);
            if (!k) return fail(i, "no key types this character");
            out.push_back(*k);
            ++i;
            continue;
        }
        if (script.substr(i, 3) == "{{}") {
            auto k = strokeForChar('{');
            k->label = "{{}";
            out.push_back(*k);
            i += 3;
            continue;
        }
        size_t close = script.find('}', i + 1);
        if (close == std::string_view::npos) return fail(i, "unclosed {");
        std::string_view name = script.substr(i + 1, close - i - 1);
        std::string label(script.substr(i, close - i + 1));
        std::optional<KeyStroke> k;
        if (name.substr(0, 5) == "Wait ") {
            uint64_t ms = 0;
            std::string_view digits = name.substr(5);
            if (digits.empty() || digits.size() > 9) return fail(i, "bad wait");
            for (char d : digits) {
                if (d < '0' || d > '9') return fail(i, "bad wait");
                ms = ms * 10 + static_cast<uint64_t>(d - '0');
            }
            KeyStroke w;
            w.kind = KeyStroke::Wait;
            w.waitMs = ms;
            k = w;
        } else if (auto plus = name.find('+'); plus != std::string_view::npos && plus > 0 && plus + 1 < name.size()) {
            std::string_view mod = name.substr(0, plus), key = name.substr(plus + 1);
            k = key.size() == 1 ? strokeForChar(key[0]) : namedStroke(key);
            if (!k || k->kind != KeyStroke::Press) return fail(i, "unknown key in chord");
            if (mod == "Ctrl") k->ctrl = true;
            else if (mod == "Alt") k->alt = true;
            else if (mod == "Shift") k->shift = true;
            else return fail(i, "unknown modifier");
        } else {
            k = namedStroke(name);
        }
        if (!k) return fail(i, "unknown key name");
        k->label = label;
        out.push_back(*k);
        i = close + 1;
    }
    return out;
}

}  // namespace zv::term
