#include "frontends/keys/x_keys.h"

#include "frontends/keys/scan_codes.h"

namespace zv::keys {

namespace {

struct Named {
    uint32_t keysym;
    int virtualKey;
    uint32_t scan;  // 0: the US keyboard's scan code of the virtual key
    bool extended;
};

// The keysyms of named keys (X11/keysymdef.h). The modifiers are the
// generic virtual keys a Windows key event carries, told apart by their
// scan codes and the extended flag as a keyboard sends them.
constexpr Named kNamed[] = {
    {0xFF08, 0x08, 0, false},  // BackSpace
    {0xFF09, 0x09, 0, false},  // Tab
    {0xFE20, 0x09, 0, false},  // ISO_Left_Tab (Shift+Tab)
    {0xFF0D, 0x0D, 0, false},  // Return
    {0xFF1B, 0x1B, 0, false},  // Escape
    {0xFFFF, 0x2E, 0, false},  // Delete
    {0xFF50, 0x24, 0, false},  // Home
    {0xFF51, 0x25, 0, false},  // Left
    {0xFF52, 0x26, 0, false},  // Up
    {0xFF53, 0x27, 0, false},  // Right
    {0xFF54, 0x28, 0, false},  // Down
    {0xFF55, 0x21, 0, false},  // Prior
    {0xFF56, 0x22, 0, false},  // Next
    {0xFF57, 0x23, 0, false},  // End
    {0xFF63, 0x2D, 0x52, true},  // Insert
    {0xFF8D, 0x0D, 0x1C, true},  // KP_Enter
    {0xFFAA, 0x6A, 0, false},  // KP_Multiply
    {0xFFAB, 0x6B, 0, false},  // KP_Add
    {0xFFAD, 0x6D, 0, false},  // KP_Subtract
    {0xFFAE, 0x6E, 0, false},  // KP_Decimal
    {0xFFAF, 0x6F, 0, false},  // KP_Divide
    {0xFFE1, 0x10, 0x2A, false},  // Shift_L
    {0xFFE2, 0x10, 0x36, false},  // Shift_R
    {0xFFE3, 0x11, 0x1D, false},  // Control_L
    {0xFFE4, 0x11, 0x1D, true},   // Control_R
    {0xFFE5, 0x14, 0x3A, false},  // Caps_Lock
    {0xFFE9, 0x12, 0x38, false},  // Alt_L
    {0xFFEA, 0x12, 0x38, true},   // Alt_R
    {0xFE03, 0x12, 0x38, true},   // ISO_Level3_Shift (AltGr)
};

// The virtual key of an ASCII character's key on a US keyboard, and
// whether the character needs Shift.
int virtualKeyOfChar(uint32_t c) {
    if (c >= 'a' && c <= 'z') return static_cast<int>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') return static_cast<int>(c);
    if (c >= '0' && c <= '9') return static_cast<int>(c);
    switch (c) {
    case ' ': return 0x20;
    case '!': return '1';
    case '@': return '2';
    case '#': return '3';
    case '$': return '4';
    case '%': return '5';
    case '^': return '6';
    case '&': return '7';
    case '*': return '8';
    case '(': return '9';
    case ')': return '0';
    case ';': case ':': return 0xBA;
    case '=': case '+': return 0xBB;
    case ',': case '<': return 0xBC;
    case '-': case '_': return 0xBD;
    case '.': case '>': return 0xBE;
    case '/': case '?': return 0xBF;
    case '`': case '~': return 0xC0;
    case '[': case '{': return 0xDB;
    case '\\': case '|': return 0xDC;
    case ']': case '}': return 0xDD;
    case '\'': case '"': return 0xDE;
    default: return 0;
    }
}

// The characters of the keys with a character, unshifted then shifted.
constexpr struct {
    int virtualKey;
    char plain, shifted;
} kCharKeys[] = {
    {'1', '1', '!'},  {'2', '2', '@'},  {'3', '3', '#'}, {'4', '4', '$'},   {'5', '5', '%'},  {'6', '6', '^'},
    {'7', '7', '&'},  {'8', '8', '*'},  {'9', '9', '('}, {'0', '0', ')'},   {0xBA, ';', ':'}, {0xBB, '=', '+'},
    {0xBC, ',', '<'}, {0xBD, '-', '_'}, {0xBE, '.', '>'}, {0xBF, '/', '?'}, {0xC0, '`', '~'}, {0xDB, '[', '{'},
    {0xDC, '\\', '|'}, {0xDD, ']', '}'}, {0xDE, '\'', '"'}, {0x20, ' ', ' '},
};

}  // namespace

std::optional<uint32_t> xKeysymOf(const HostKey& k) {
    const int vk = k.virtualKey;
    if (vk >= 'A' && vk <= 'Z') return static_cast<uint32_t>(k.shift != k.capsLock ? vk : vk - 'A' + 'a');
    for (const auto& c : kCharKeys)
        if (c.virtualKey == vk) return static_cast<uint32_t>(static_cast<unsigned char>(k.shift ? c.shifted : c.plain));
    if (vk >= 0x60 && vk <= 0x69) return 0xFFB0u + static_cast<uint32_t>(vk - 0x60);
    if (vk >= 0x70 && vk <= 0x7B) return 0xFFBEu + static_cast<uint32_t>(vk - 0x70);
    for (const Named& n : kNamed)
        if (n.virtualKey == vk && (n.scan == 0 || (n.scan == k.scan && n.extended == k.extended))) return n.keysym;
    return std::nullopt;
}

std::optional<HostKey> hostKeyOfX(uint32_t keysym, uint32_t state, bool release) {
    HostKey k;
    k.up = release;
    k.shift = state & xmask::Shift;
    k.ctrl = state & xmask::Control;
    k.alt = state & xmask::Mod1;
    k.capsLock = state & xmask::Lock;
    if (state & xmask::Mod4) return std::nullopt;  // the desktop's own chords
    constexpr uint32_t kFirstPrintable = 0x20, kLastPrintable = 0x7E;
    constexpr uint32_t kKeypad0 = 0xFFB0, kKeypad9 = 0xFFB9, kF1 = 0xFFBE, kF12 = 0xFFC9;
    if (keysym >= kFirstPrintable && keysym <= kLastPrintable) {
        k.virtualKey = virtualKeyOfChar(keysym);
    } else if (keysym >= kKeypad0 && keysym <= kKeypad9) {
        k.virtualKey = static_cast<int>(0x60 + keysym - kKeypad0);
    } else if (keysym >= kF1 && keysym <= kF12) {
        k.virtualKey = static_cast<int>(0x70 + keysym - kF1);
    } else {
        for (const Named& n : kNamed) {
            if (n.keysym != keysym) continue;
            k.virtualKey = n.virtualKey;
            k.scan = n.scan;
            k.extended = n.extended;
            break;
        }
    }
    if (k.virtualKey == 0) return std::nullopt;
    if (k.scan == 0) k.scan = scanCodeOf(k.virtualKey, &k.extended);
    return k;
}

}  // namespace zv::keys
