#pragma once
// The key function table of DmeSettings: which engine functions a key or a
// key combination runs, its text form ("key text=function text" lines of
// the section "[-按键功能-]"), the lookup at key time and the hot keys that
// stand for the combinations.

#include "engine/config_store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

// Key code: virtual key in bits 0..7, modifiers above it.
namespace keycode {
constexpr uint32_t VirtualKey = 0xFF;
constexpr uint32_t Shift = 0x100;
constexpr uint32_t Alt = 0x200;
constexpr uint32_t Ctrl = 0x400;
constexpr uint32_t LeftShift = 0x1000;
constexpr uint32_t LeftAlt = 0x2000;
constexpr uint32_t LeftCtrl = 0x4000;
constexpr uint32_t RightShift = 0x10000;
constexpr uint32_t RightAlt = 0x20000;
constexpr uint32_t RightCtrl = 0x40000;
constexpr uint32_t Sides = LeftShift | LeftAlt | LeftCtrl | RightShift | RightAlt | RightCtrl;
}  // namespace keycode

// Function mask bits. The commit, frequency and deletion functions carry a
// candidate index in the shared field of bits 8..11.
namespace keyfn {
constexpr uint64_t bit(int n) { return uint64_t(1) << n; }
constexpr uint64_t ToggleIme = bit(0);          // 输入法开关
constexpr uint64_t ToggleEnglishWords = bit(1); // 英文联想输入开关
constexpr uint64_t ClearInput = bit(2);         // 清除输入
constexpr uint64_t RepeatOutput = bit(3);       // 重复输入
constexpr uint64_t UndoOutput = bit(4);         // 撤销输入
constexpr uint64_t PagePrevious = bit(5);       // 前翻页
constexpr uint64_t PageNext = bit(6);           // 后翻页
constexpr uint64_t Commit = bit(7);             // 首选上屏, 第N候选上屏, 英文上屏, 倒数第1候选上屏
constexpr uint64_t IndexMask = 0xF00;
constexpr int IndexShift = 8;
constexpr int IndexHighlighted = 0, IndexEnglish = 11, IndexLast = 12;
constexpr uint64_t CursorLeft = bit(12);
constexpr uint64_t CursorRight = bit(13);
constexpr uint64_t CursorHome = bit(14);
constexpr uint64_t CursorEnd = bit(15);
constexpr uint64_t DeleteBefore = bit(16);      // 编码前删
constexpr uint64_t DeleteAfter = bit(17);       // 编码后删
constexpr uint64_t HighlightPrevious = bit(18); // 首选前移
constexpr uint64_t HighlightNext = bit(19);     // 首选后移
constexpr uint64_t AdjustFrequency = bit(20);   // 第N候选调频
constexpr uint64_t DeleteCandidate = bit(21);   // 第N候选删除
constexpr uint64_t SchemeMainMixed = bit(22);
constexpr uint64_t SchemeMainAux = bit(23);
constexpr uint64_t RangeMainMixed = bit(24);
constexpr uint64_t RangeMainSecondary = bit(25);
constexpr uint64_t ConfigHome = bit(32);
constexpr uint64_t ConfigHelp = bit(33);
constexpr uint64_t ConfigAbout = bit(34);
constexpr uint64_t ConfigKeys = bit(35);
constexpr uint64_t ConfigReverseOutput = bit(36);
constexpr uint64_t AddWord = bit(37);           // 在线加词
constexpr uint64_t ConfigReverseClipboard = bit(39);
constexpr uint64_t ToggleInterface = bit(40);   // 显示|关闭界面
constexpr uint64_t ToggleCandidates = bit(41);  // 显示|关闭候选窗口
constexpr uint64_t ToSimplified = bit(42);      // 上屏转换 - 简体
constexpr uint64_t ToTraditional = bit(43);     // 上屏转换 - 繁体
constexpr uint64_t DeleteWord = bit(45);        // 在线删词
constexpr uint64_t SoftKeyboard = bit(46);      // 软键盘切换

// Functions that act whether or not anything is being composed, and those
// that act only while there is a composition or a candidate list.
constexpr uint64_t Always = 0x47BF03C00003;
constexpr uint64_t Composition = 0xFF0E4;

constexpr int index(uint64_t mask) { return static_cast<int>((mask & IndexMask) >> IndexShift); }
constexpr uint64_t withIndex(uint64_t mask, int i) {
    return (mask & ~IndexMask) | (uint64_t(i & 0xF) << IndexShift);
}
}  // namespace keyfn

// Text of a key code: "a", "A", "小5", "键F5+键Ctrl" and the like. Nothing
// when the text names no key.
std::optional<uint32_t> parseKeyText(std::u16string_view text);
// Every function named in the text, with the exclusions between related
// functions resolved.
uint64_t parseFunctionText(std::u16string_view text);

// The key's character or its named-key text ("键Esc") for a virtual key,
// plain or shifted; empty for a key that has no slot in the single-key table.
// Keypad keys give their full-width character ("０", "＊").
std::u16string keyName(uint8_t virtualKey, bool shifted);
// The single-key table slot for a key code, or -1 when the binding belongs
// to the combination list.
int singleKeySlot(uint32_t keyCode);

// Text forms written back for a binding; empty when the key or the mask
// cannot be written.
std::u16string keyText(uint32_t keyCode);
std::u16string functionText(uint64_t mask);

enum class BindResult { Single, Combination, InvalidKey, NoFunction, ListFull };
// Stores a mask for a key code; 0 unbinds the key (a combination leaves the
// list). A new combination is appended while the list has room. A text
// binding names its functions, or none at all to unbind the key.
BindResult bindKey(DmeSettings& dme, uint32_t keyCode, uint64_t mask);
BindResult bindKeyText(DmeSettings& dme, std::u16string_view keyText, std::u16string_view functionText);
void clearKeyBindings(DmeSettings& dme);

// The default key scheme of the key-function editor ("载入默认定义"):
// clears everything bound and binds the standard keys.
void loadDefaultKeyScheme(DmeSettings& dme);

// The mask for a key going down. The generic Shift, Ctrl and Alt keys are
// not looked up here (their taps are); Caps Lock inverts Shift for letters.
int keyTimeSlot(uint8_t virtualKey, bool shiftDown, bool capsLock);
uint64_t lookupKey(const DmeSettings& dme, uint8_t virtualKey, bool shiftDown, bool capsLock);

// One combination registered as a system-wide hot key.
struct HotKey {
    int id = 0;             // 123 + the entry's position in the list
    uint8_t virtualKey = 0;
    uint32_t modifiers = 0; // RegisterHotKey flags, side-specific ones included
};
constexpr int FirstHotKeyId = 123;
// The RegisterHotKey flags of a hot key's modifiers; a side-specific flag
// stands in for the plain one.
namespace hotkeyflag {
constexpr uint32_t Alt = 0x1, Ctrl = 0x2, Shift = 0x4;
constexpr uint32_t LeftAlt = 0x40, LeftCtrl = 0x80, LeftShift = 0x100;
constexpr uint32_t RightAlt = 0x8, RightCtrl = 0x10, RightShift = 0x20;
}  // namespace hotkeyflag
// The hot keys to register when an input context becomes active; none while
// "禁用组合快捷键" is on.
std::vector<HotKey> hotKeys(const ImeSettings& ime, const DmeSettings& dme);
uint32_t hotKeyModifiers(uint32_t keyCode);

// The modifier keys held when a key goes down, side by side.
struct HeldModifiers {
    bool leftShift = false, rightShift = false;
    bool leftCtrl = false, rightCtrl = false;
    bool leftAlt = false, rightAlt = false;
};
// The registered hot key that a key going down fires, if any: the same key
// with the same modifiers, no more and no fewer. A plain flag is met by
// either side of its modifier, a side-specific one by that side only.
const HotKey* matchHotKey(const std::vector<HotKey>& registered, uint8_t virtualKey, const HeldModifiers& held);

}  // namespace zv
