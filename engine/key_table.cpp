#include "engine/key_table.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace zv {
namespace {

struct NamedKey {
    uint8_t vk;
    std::u16string_view name;
};

// Keys that type no character, by their text. F13..F24 have table slots
// too, so they are named here as well, so that every slot can be written.
constexpr NamedKey kNamedKeys[] = {
    {0x08, u"键Backspace"}, {0x09, u"键Tab"},      {0x0D, u"键Enter"},    {0x10, u"键Shift"},
    {0x11, u"键Ctrl"},      {0x12, u"键Alt"},      {0x13, u"键Pause"},    {0x14, u"键CapsLock"},
    {0x1B, u"键Esc"},       {0x21, u"键PageUp"},   {0x22, u"键PageDown"}, {0x23, u"键End"},
    {0x24, u"键Home"},      {0x25, u"键左箭头"},   {0x26, u"键上箭头"},   {0x27, u"键右箭头"},
    {0x28, u"键下箭头"},    {0x2C, u"键PrtSc"},    {0x2D, u"键Insert"},   {0x2E, u"键Delete"},
    {0x70, u"键F1"},        {0x71, u"键F2"},       {0x72, u"键F3"},       {0x73, u"键F4"},
    {0x74, u"键F5"},        {0x75, u"键F6"},       {0x76, u"键F7"},       {0x77, u"键F8"},
    {0x78, u"键F9"},        {0x79, u"键F10"},      {0x7A, u"键F11"},      {0x7B, u"键F12"},
    {0x7C, u"键F13"},       {0x7D, u"键F14"},      {0x7E, u"键F15"},      {0x7F, u"键F16"},
    {0x80, u"键F17"},       {0x81, u"键F18"},      {0x82, u"键F19"},      {0x83, u"键F20"},
    {0x84, u"键F21"},       {0x85, u"键F22"},      {0x86, u"键F23"},      {0x87, u"键F24"},
    {0x90, u"键NumLock"},   {0x91, u"键Scroll"},   {0xA0, u"键左Shift"},  {0xA1, u"键右Shift"},
    {0xA2, u"键左Ctrl"},    {0xA3, u"键右Ctrl"},   {0xA4, u"键左Alt"},    {0xA5, u"键右Alt"},
};

// The punctuation keys of a US keyboard: the plain and the shifted character.
struct PunctuationKey {
    uint8_t vk;
    char16_t plain, shifted;
};
constexpr PunctuationKey kPunctuation[] = {
    {0xBA, u';', u':'}, {0xBB, u'=', u'+'}, {0xBC, u',', u'<'}, {0xBD, u'-', u'_'},
    {0xBE, u'.', u'>'}, {0xBF, u'/', u'?'}, {0xC0, u'`', u'~'}, {0xDB, u'[', u'{'},
    {0xDC, u'\\', u'|'}, {0xDD, u']', u'}'}, {0xDE, u'\'', u'"'},
};
constexpr std::u16string_view kShiftedDigits = u")!@#$%^&*(";

// Keypad keys after 0..9 (0x60..0x69): the operator keys and their characters.
struct KeypadKey {
    uint8_t vk;
    char16_t ascii;
};
constexpr KeypadKey kKeypadOperators[] = {{0x6A, u'*'}, {0x6B, u'+'}, {0x6D, u'-'}, {0x6E, u'.'}, {0x6F, u'/'}};

struct ModifierWord {
    std::u16string_view word;
    uint32_t bits;
};
constexpr ModifierWord kModifierWords[] = {
    {u"+键Ctrl", keycode::Ctrl},
    {u"+键Alt", keycode::Alt},
    {u"+键Shift", keycode::Shift},
    {u"+键左Ctrl", keycode::Ctrl | keycode::LeftCtrl},
    {u"+键左Alt", keycode::Alt | keycode::LeftAlt},
    {u"+键左Shift", keycode::Shift | keycode::LeftShift},
    {u"+键右Ctrl", keycode::Ctrl | keycode::RightCtrl},
    {u"+键右Alt", keycode::Alt | keycode::RightAlt},
    {u"+键右Shift", keycode::Shift | keycode::RightShift},
};

std::u16string_view namedKey(uint8_t vk) {
    for (const auto& k : kNamedKeys)
        if (k.vk == vk) return k.name;
    return {};
}

bool isKeypad(uint8_t vk) { return vk >= 0x60 && vk <= 0x6F && vk != 0x6C; }

// The keypad key's character in the code alphabet: the full-width form.
char16_t keypadCharacter(uint8_t vk) {
    if (vk <= 0x69) return static_cast<char16_t>(0xFF10 + (vk - 0x60));
    for (const auto& k : kKeypadOperators)
        if (k.vk == vk) return static_cast<char16_t>(0xFF00 + k.ascii - 0x20);
    return 0;
}

// The key that types a character: virtual key plus Shift where needed.
uint32_t keyOfCharacter(char16_t c) {
    if (c == u' ') return 0x20;
    if (c == u'\t') return 0x09;
    if (c >= u'a' && c <= u'z') return 0x41 + (c - u'a');
    if (c >= u'A' && c <= u'Z') return (0x41 + (c - u'A')) | keycode::Shift;
    if (c >= u'0' && c <= u'9') return 0x30 + (c - u'0');
    if (auto p = kShiftedDigits.find(c); p != std::u16string_view::npos) return static_cast<uint32_t>(0x30 + p) | keycode::Shift;
    for (const auto& k : kPunctuation) {
        if (c == k.plain) return k.vk;
        if (c == k.shifted) return k.vk | keycode::Shift;
    }
    for (uint8_t vk = 0x60; vk <= 0x6F; ++vk)
        if (isKeypad(vk) && keypadCharacter(vk) == c) return vk;
    return 0;
}

uint32_t keypadOfAscii(char16_t c) {
    if (c >= u'0' && c <= u'9') return 0x60 + (c - u'0');
    for (const auto& k : kKeypadOperators)
        if (k.ascii == c) return k.vk;
    return 0;
}

bool knownPlainKey(uint8_t vk) {
    if (!namedKey(vk).empty()) return true;
    return vk == 0x20 || (vk >= 0x30 && vk <= 0x39) || (vk >= 0x41 && vk <= 0x5A) || isKeypad(vk) ||
           (vk >= 0xBA && vk <= 0xC0) || (vk >= 0xDB && vk <= 0xDE);
}

bool knownShiftedKey(uint8_t vk) {
    return vk == 0x0D || vk == 0x10 || (vk >= 0x30 && vk <= 0x39) || (vk >= 0x41 && vk <= 0x5A) ||
           (vk >= 0xBA && vk <= 0xC0) || (vk >= 0xDB && vk <= 0xDE);
}

// The function names and the exclusion groups in which the first name
// found (in the order listed, not in text order) is taken.
struct Function {
    std::u16string_view name;
    uint64_t bits;
    int index;  // -1: the function has no candidate index
};

constexpr Function kCommitGroup[] = {
    {u"倒数第1候选上屏", keyfn::Commit, keyfn::IndexLast},
    {u"第1候选上屏", keyfn::Commit, 1},
    {u"第2候选上屏", keyfn::Commit, 2},
    {u"第3候选上屏", keyfn::Commit, 3},
    {u"第4候选上屏", keyfn::Commit, 4},
    {u"第5候选上屏", keyfn::Commit, 5},
    {u"第6候选上屏", keyfn::Commit, 6},
    {u"第7候选上屏", keyfn::Commit, 7},
    {u"第8候选上屏", keyfn::Commit, 8},
    {u"第9候选上屏", keyfn::Commit, 9},
    {u"第10候选上屏", keyfn::Commit, 10},
    {u"首选上屏", keyfn::Commit, keyfn::IndexHighlighted},
    {u"英文上屏", keyfn::Commit, keyfn::IndexEnglish},
};
constexpr Function kFrequencyGroup[] = {
    {u"第1候选调频", keyfn::AdjustFrequency, 1}, {u"第2候选调频", keyfn::AdjustFrequency, 2},
    {u"第3候选调频", keyfn::AdjustFrequency, 3}, {u"第4候选调频", keyfn::AdjustFrequency, 4},
    {u"第5候选调频", keyfn::AdjustFrequency, 5}, {u"第6候选调频", keyfn::AdjustFrequency, 6},
    {u"第7候选调频", keyfn::AdjustFrequency, 7}, {u"第8候选调频", keyfn::AdjustFrequency, 8},
    {u"第9候选调频", keyfn::AdjustFrequency, 9}, {u"第10候选调频", keyfn::AdjustFrequency, 10},
};
constexpr Function kDeletionGroup[] = {
    {u"第1候选删除", keyfn::DeleteCandidate, 1}, {u"第2候选删除", keyfn::DeleteCandidate, 2},
    {u"第3候选删除", keyfn::DeleteCandidate, 3}, {u"第4候选删除", keyfn::DeleteCandidate, 4},
    {u"第5候选删除", keyfn::DeleteCandidate, 5}, {u"第6候选删除", keyfn::DeleteCandidate, 6},
    {u"第7候选删除", keyfn::DeleteCandidate, 7}, {u"第8候选删除", keyfn::DeleteCandidate, 8},
    {u"第9候选删除", keyfn::DeleteCandidate, 9}, {u"第10候选删除", keyfn::DeleteCandidate, 10},
};
constexpr Function kCursorGroup[] = {
    {u"光标左移", keyfn::CursorLeft, -1}, {u"光标右移", keyfn::CursorRight, -1},
    {u"光标至头", keyfn::CursorHome, -1}, {u"光标至尾", keyfn::CursorEnd, -1},
    {u"编码前删", keyfn::DeleteBefore, -1}, {u"编码后删", keyfn::DeleteAfter, -1},
};
constexpr Function kDisplayGroup[] = {
    {u"显示|关闭界面", keyfn::ToggleInterface, -1},
    {u"显示|关闭候选窗口", keyfn::ToggleCandidates, -1},
};
constexpr Function kConversionGroup[] = {
    {u"上屏转换 - 简体", keyfn::ToSimplified, -1},
    {u"上屏转换 - 繁体", keyfn::ToTraditional, -1},
};
constexpr Function kWordGroup[] = {
    {u"在线加词", keyfn::AddWord, -1},
    {u"在线删词", keyfn::DeleteWord, -1},
};
constexpr Function kConfigGroup[] = {
    {u"配置 - 主页", keyfn::ConfigHome, -1},
    {u"配置 - 按键设置", keyfn::ConfigKeys, -1},
    {u"配置 - 帮助", keyfn::ConfigHelp, -1},
    {u"配置 - 关于", keyfn::ConfigAbout, -1},
    {u"配置 - 输出反查", keyfn::ConfigReverseOutput, -1},
    {u"配置 - 剪贴板反查", keyfn::ConfigReverseClipboard, -1},
};
// Functions that combine freely with everything else.
constexpr Function kIndependent[] = {
    {u"输入法开关", keyfn::ToggleIme, -1},
    {u"英文联想输入开关", keyfn::ToggleEnglishWords, -1},
    {u"清除输入", keyfn::ClearInput, -1},
    {u"重复输入", keyfn::RepeatOutput, -1},
    {u"撤销输入", keyfn::UndoOutput, -1},
    {u"前翻页", keyfn::PagePrevious, -1},
    {u"后翻页", keyfn::PageNext, -1},
    {u"首选前移", keyfn::HighlightPrevious, -1},
    {u"首选后移", keyfn::HighlightNext, -1},
    {u"输入方案主/混切换", keyfn::SchemeMainMixed, -1},
    {u"输入方案主/辅切换", keyfn::SchemeMainAux, -1},
    {u"检索范围主/混切换", keyfn::RangeMainMixed, -1},
    {u"检索范围主/次切换", keyfn::RangeMainSecondary, -1},
    {u"软键盘切换", keyfn::SoftKeyboard, -1},
};

template <size_t N>
uint64_t firstOf(const Function (&group)[N], std::u16string_view text, uint64_t mask) {
    for (const auto& f : group) {
        if (text.find(f.name) == std::u16string_view::npos) continue;
        mask |= f.bits;
        // The index field is shared: a later group that matches replaces it.
        if (f.index >= 0) mask = keyfn::withIndex(mask, f.index);
        return mask;
    }
    return mask;
}

template <size_t N>
std::u16string_view nameOf(const Function (&group)[N], uint64_t bit, int index) {
    for (const auto& f : group)
        if (f.bits == bit && (f.index < 0 || f.index == index)) return f.name;
    return {};
}

}  // namespace

std::optional<uint32_t> parseKeyText(std::u16string_view text) {
    if (text.empty()) return std::nullopt;
    uint32_t code = 0;
    char16_t first = text[0];
    if (first == u'键') {
        // The longest name that starts the text: "键F1" must not take "键F10".
        size_t best = 0;
        for (const auto& k : kNamedKeys) {
            if (k.name.size() > best && text.substr(0, k.name.size()) == k.name) {
                best = k.name.size();
                code = k.vk;
            }
        }
    } else if (first == u'小') {
        if (text.size() < 2) return std::nullopt;
        code = keypadOfAscii(text[1]);
        if (!code) return std::nullopt;
    } else {
        code = keyOfCharacter(first);
        if (!code) return std::nullopt;
    }
    for (const auto& m : kModifierWords)
        if (text.find(m.word) != std::u16string_view::npos) code |= m.bits;
    if (code == 0) return std::nullopt;
    return code;
}

uint64_t parseFunctionText(std::u16string_view text) {
    uint64_t mask = 0;
    mask = firstOf(kCommitGroup, text, mask);
    mask = firstOf(kFrequencyGroup, text, mask);
    mask = firstOf(kDeletionGroup, text, mask);
    mask = firstOf(kCursorGroup, text, mask);
    mask = firstOf(kDisplayGroup, text, mask);
    mask = firstOf(kConversionGroup, text, mask);
    mask = firstOf(kWordGroup, text, mask);
    mask = firstOf(kConfigGroup, text, mask);
    for (const auto& f : kIndependent)
        if (text.find(f.name) != std::u16string_view::npos) mask |= f.bits;
    return mask;
}

std::u16string keyName(uint8_t vk, bool shifted) {
    if (shifted) {
        if (!knownShiftedKey(vk)) return {};
        if (vk == 0x0D || vk == 0x10) return std::u16string(namedKey(vk));
        if (vk >= 0x30 && vk <= 0x39) return std::u16string(1, kShiftedDigits[vk - 0x30]);
        if (vk >= 0x41 && vk <= 0x5A) return std::u16string(1, static_cast<char16_t>(u'A' + (vk - 0x41)));
        for (const auto& k : kPunctuation)
            if (k.vk == vk) return std::u16string(1, k.shifted);
        return {};
    }
    if (auto n = namedKey(vk); !n.empty()) return std::u16string(n);
    if (vk == 0x20) return u" ";
    if (vk >= 0x30 && vk <= 0x39) return std::u16string(1, static_cast<char16_t>(u'0' + (vk - 0x30)));
    if (vk >= 0x41 && vk <= 0x5A) return std::u16string(1, static_cast<char16_t>(u'a' + (vk - 0x41)));
    if (isKeypad(vk)) return std::u16string(1, keypadCharacter(vk));
    for (const auto& k : kPunctuation)
        if (k.vk == vk) return std::u16string(1, k.plain);
    return {};
}

int singleKeySlot(uint32_t keyCode) {
    if (keyCode & (keycode::Ctrl | keycode::Alt | keycode::Sides)) return -1;
    uint8_t vk = static_cast<uint8_t>(keyCode & keycode::VirtualKey);
    if (vk == 0xFF) return -1;
    if (keyCode & keycode::Shift) return knownShiftedKey(vk) ? 256 + vk : -1;
    return knownPlainKey(vk) ? vk : -1;
}

std::u16string keyText(uint32_t keyCode) {
    uint8_t vk = static_cast<uint8_t>(keyCode & keycode::VirtualKey);
    int slot = singleKeySlot(keyCode);
    if (slot >= 256) {
        // A shifted character says Shift by itself; a named key needs the word.
        std::u16string name = keyName(vk, true);
        if (!name.empty() && name[0] == u'键') name += u"+键Shift";
        return name;
    }
    if (slot >= 0) return keyName(vk, false);
    // A combination: the plain key, then its modifier words.
    std::u16string text = vk == 0 ? std::u16string(u"键") : keyName(vk, false);
    if (text.empty()) return {};
    struct Modifier {
        uint32_t bit, left, right;
        std::u16string_view plain, leftWord, rightWord;
    };
    const Modifier modifiers[] = {
        {keycode::Ctrl, keycode::LeftCtrl, keycode::RightCtrl, u"+键Ctrl", u"+键左Ctrl", u"+键右Ctrl"},
        {keycode::Alt, keycode::LeftAlt, keycode::RightAlt, u"+键Alt", u"+键左Alt", u"+键右Alt"},
        {keycode::Shift, keycode::LeftShift, keycode::RightShift, u"+键Shift", u"+键左Shift", u"+键右Shift"},
    };
    for (const auto& m : modifiers) {
        if (keyCode & m.left) text += m.leftWord;
        if (keyCode & m.right) text += m.rightWord;
        if ((keyCode & m.bit) && !(keyCode & (m.left | m.right))) text += m.plain;
    }
    return text;
}

std::u16string functionText(uint64_t mask) {
    std::u16string text;
    auto add = [&](std::u16string_view name) {
        if (name.empty()) return;
        if (!text.empty()) text += u',';
        text += name;
    };
    const int index = keyfn::index(mask);
    for (int b = 0; b < 64; ++b) {
        uint64_t bit = keyfn::bit(b);
        if (!(mask & bit) || (bit & keyfn::IndexMask)) continue;
        std::u16string_view name;
        for (auto n : {nameOf(kCommitGroup, bit, index), nameOf(kFrequencyGroup, bit, index),
                       nameOf(kDeletionGroup, bit, index), nameOf(kCursorGroup, bit, -1),
                       nameOf(kDisplayGroup, bit, -1), nameOf(kConversionGroup, bit, -1),
                       nameOf(kWordGroup, bit, -1), nameOf(kConfigGroup, bit, -1), nameOf(kIndependent, bit, -1)}) {
            if (!n.empty()) {
                name = n;
                break;
            }
        }
        add(name);
    }
    return text;
}

void clearKeyBindings(DmeSettings& dme) {
    std::memset(dme.base + DmeSettings::KeyTable, 0, 8 * 512);
    std::memset(dme.base + DmeSettings::Combos, 0, DmeSettings::MaxCombos * DmeSettings::ComboSize);
    dme.setU8(DmeSettings::ComboCount, 0);
}

BindResult bindKey(DmeSettings& dme, uint32_t keyCode, uint64_t mask) {
    if (keyCode == 0) return BindResult::InvalidKey;
    if (int slot = singleKeySlot(keyCode); slot >= 0) {
        dme.setKeyMask(slot, mask);
        return BindResult::Single;
    }
    const int count = dme.comboCount();
    auto entryAt = [](int i) { return DmeSettings::Combos + DmeSettings::ComboSize * static_cast<size_t>(i); };
    for (int i = 0; i < count; ++i) {
        if (dme.comboKey(i) != keyCode) continue;
        if (mask) {
            dme.setU64(entryAt(i) + 8, mask);
            return BindResult::Combination;
        }
        // A combination left without functions leaves the list; the ones
        // after it move up, so the list stays without holes.
        for (int j = i; j + 1 < count; ++j)
            for (size_t b = 0; b < DmeSettings::ComboSize; ++b) dme.setU8(entryAt(j) + b, dme.u8(entryAt(j + 1) + b));
        for (size_t b = 0; b < DmeSettings::ComboSize; ++b) dme.setU8(entryAt(count - 1) + b, 0);
        dme.setU8(DmeSettings::ComboCount, static_cast<uint8_t>(count - 1));
        return BindResult::Combination;
    }
    // Unbinding a combination that is not in the list leaves nothing to do.
    if (mask == 0) return BindResult::Combination;
    if (count >= static_cast<int>(DmeSettings::MaxCombos)) return BindResult::ListFull;
    const size_t entry = DmeSettings::Combos + DmeSettings::ComboSize * static_cast<size_t>(count);
    dme.setU32(entry, keyCode);
    dme.setU32(entry + 4, 0);
    dme.setU64(entry + 8, mask);
    dme.setU8(DmeSettings::ComboCount, static_cast<uint8_t>(count + 1));
    return BindResult::Combination;
}

BindResult bindKeyText(DmeSettings& dme, std::u16string_view key, std::u16string_view functions) {
    auto code = parseKeyText(key);
    if (!code) return BindResult::InvalidKey;
    // An empty function text is the key editor's empty choice and unbinds
    // the key; a text that names no function is a mistake.
    const bool empty = std::all_of(functions.begin(), functions.end(), [](char16_t c) { return c == u' ' || c == u'\t'; });
    uint64_t mask = parseFunctionText(functions);
    if (!mask && !empty) return BindResult::NoFunction;
    return bindKey(dme, *code, mask);
}

void loadDefaultKeyScheme(DmeSettings& dme) {
    clearKeyBindings(dme);
    const std::pair<uint32_t, uint64_t> scheme[] = {
        {0x1B, keyfn::ClearInput},
        {0x08, keyfn::DeleteBefore},
        {0x2E, keyfn::DeleteAfter},
        {0x0D, keyfn::withIndex(keyfn::Commit, keyfn::IndexEnglish)},
        {0x20, keyfn::withIndex(keyfn::Commit, keyfn::IndexHighlighted)},
        {0xA0, keyfn::ToggleIme},
        {0x21, keyfn::PagePrevious},
        {0xBD, keyfn::PagePrevious},
        {0x22, keyfn::PageNext},
        {0xBB, keyfn::PageNext},
        {0x24, keyfn::CursorHome},
        {0x23, keyfn::CursorEnd},
        {0x25, keyfn::CursorLeft},
        {0x27, keyfn::CursorRight},
        {0x26, keyfn::HighlightPrevious},
        {0x28, keyfn::HighlightNext},
    };
    for (const auto& [key, mask] : scheme) bindKey(dme, key, mask);
    for (int digit = 1; digit <= 10; ++digit)
        bindKey(dme, 0x30 + digit % 10, keyfn::withIndex(keyfn::Commit, digit));
}

int keyTimeSlot(uint8_t vk, bool shiftDown, bool capsLock) {
    if (vk >= 0x10 && vk <= 0x12) return -1;
    bool shifted = shiftDown;
    if (vk >= 0x41 && vk <= 0x5A && capsLock) shifted = !shiftDown;
    return vk + (shifted ? 256 : 0);
}

uint64_t lookupKey(const DmeSettings& dme, uint8_t vk, bool shiftDown, bool capsLock) {
    int slot = keyTimeSlot(vk, shiftDown, capsLock);
    return slot < 0 ? 0 : dme.keyMask(slot);
}

namespace {
// Each modifier's key-code bits and the hot-key flags that stand for it; a
// side-specific flag replaces the plain one.
struct ModifierFlags {
    uint32_t bit, left, right, plainFlag, leftFlag, rightFlag;
    bool HeldModifiers::*leftHeld;
    bool HeldModifiers::*rightHeld;
};
constexpr ModifierFlags kModifierFlags[] = {
    {keycode::Alt, keycode::LeftAlt, keycode::RightAlt, hotkeyflag::Alt, hotkeyflag::LeftAlt, hotkeyflag::RightAlt,
     &HeldModifiers::leftAlt, &HeldModifiers::rightAlt},
    {keycode::Ctrl, keycode::LeftCtrl, keycode::RightCtrl, hotkeyflag::Ctrl, hotkeyflag::LeftCtrl,
     hotkeyflag::RightCtrl, &HeldModifiers::leftCtrl, &HeldModifiers::rightCtrl},
    {keycode::Shift, keycode::LeftShift, keycode::RightShift, hotkeyflag::Shift, hotkeyflag::LeftShift,
     hotkeyflag::RightShift, &HeldModifiers::leftShift, &HeldModifiers::rightShift},
};
}  // namespace

uint32_t hotKeyModifiers(uint32_t keyCode) {
    uint32_t out = 0;
    for (const auto& f : kModifierFlags) {
        if (keyCode & f.left) out |= f.leftFlag;
        if (keyCode & f.right) out |= f.rightFlag;
        if ((keyCode & f.bit) && !(keyCode & (f.left | f.right))) out |= f.plainFlag;
    }
    return out;
}

const HotKey* matchHotKey(const std::vector<HotKey>& registered, uint8_t virtualKey, const HeldModifiers& held) {
    for (const HotKey& k : registered) {
        if (k.virtualKey != virtualKey) continue;
        bool matches = true;
        for (const auto& f : kModifierFlags) {
            const bool left = held.*f.leftHeld, right = held.*f.rightHeld;
            const uint32_t wanted = k.modifiers & (f.plainFlag | f.leftFlag | f.rightFlag);
            if (!wanted) matches = matches && !left && !right;
            if ((wanted & f.plainFlag) && !left && !right) matches = false;
            if ((wanted & f.leftFlag) && !left) matches = false;
            if ((wanted & f.rightFlag) && !right) matches = false;
        }
        if (matches) return &k;
    }
    return nullptr;
}

std::vector<HotKey> hotKeys(const ImeSettings& ime, const DmeSettings& dme) {
    std::vector<HotKey> keys;
    if (ime.a() & ImeSettings::A_NoHotKeys) return keys;
    for (int i = 0; i < dme.comboCount(); ++i) {
        uint32_t code = dme.comboKey(i);
        keys.push_back({FirstHotKeyId + i, static_cast<uint8_t>(code & keycode::VirtualKey), hotKeyModifiers(code)});
    }
    return keys;
}

}  // namespace zv
