#pragma once
// The words keys are bound with: the engine functions a key-function mask
// names, and the hot keys that stand for key combinations. Shared by the key
// table and the hosts, which run masks and register the hot keys.

#include <cstdint>
#include <vector>

namespace zv {

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
