#include "config/key_editor.h"

#include "engine/key_functions.h"
#include "engine/key_table.h"

#include <string>

namespace zv::config {

namespace {

// Rows of a PC keyboard in quarters of a letter key (4 = one key).
constexpr KeyboardKey kKeys[] = {
    {u"ESC", 0x1B, 0, 0, 4},
    {u"F1", 0x70, 0, 8, 4}, {u"F2", 0x71, 0, 12, 4}, {u"F3", 0x72, 0, 16, 4}, {u"F4", 0x73, 0, 20, 4},
    {u"F5", 0x74, 0, 26, 4}, {u"F6", 0x75, 0, 30, 4}, {u"F7", 0x76, 0, 34, 4}, {u"F8", 0x77, 0, 38, 4},
    {u"F9", 0x78, 0, 44, 4}, {u"F10", 0x79, 0, 48, 4}, {u"F11", 0x7A, 0, 52, 4}, {u"F12", 0x7B, 0, 56, 4},
    {u"PrintSc", 0x2C, 0, 62, 4}, {u"ScrLk", 0x91, 0, 66, 4}, {u"Pause", 0x13, 0, 70, 4},

    {u"`", 0xC0, 1, 0, 4}, {u"1", 0x31, 1, 4, 4}, {u"2", 0x32, 1, 8, 4}, {u"3", 0x33, 1, 12, 4},
    {u"4", 0x34, 1, 16, 4}, {u"5", 0x35, 1, 20, 4}, {u"6", 0x36, 1, 24, 4}, {u"7", 0x37, 1, 28, 4},
    {u"8", 0x38, 1, 32, 4}, {u"9", 0x39, 1, 36, 4}, {u"0", 0x30, 1, 40, 4}, {u"-", 0xBD, 1, 44, 4},
    {u"=", 0xBB, 1, 48, 4}, {u"Backspace", 0x08, 1, 52, 8},
    {u"Insert", 0x2D, 1, 62, 4}, {u"Home", 0x24, 1, 66, 4}, {u"PgUp", 0x21, 1, 70, 4},
    {u"/", 0x6F, 1, 80, 4}, {u"*", 0x6A, 1, 84, 4}, {u"-", 0x6D, 1, 88, 4},

    {u"Tab", 0x09, 2, 0, 6}, {u"q", 0x51, 2, 6, 4}, {u"w", 0x57, 2, 10, 4}, {u"e", 0x45, 2, 14, 4},
    {u"r", 0x52, 2, 18, 4}, {u"t", 0x54, 2, 22, 4}, {u"y", 0x59, 2, 26, 4}, {u"u", 0x55, 2, 30, 4},
    {u"i", 0x49, 2, 34, 4}, {u"o", 0x4F, 2, 38, 4}, {u"p", 0x50, 2, 42, 4}, {u"[", 0xDB, 2, 46, 4},
    {u"]", 0xDD, 2, 50, 4}, {u"\\", 0xDC, 2, 54, 6},
    {u"Delete", 0x2E, 2, 62, 4}, {u"End", 0x23, 2, 66, 4}, {u"PgDn", 0x22, 2, 70, 4},
    {u"7", 0x67, 2, 76, 4}, {u"8", 0x68, 2, 80, 4}, {u"9", 0x69, 2, 84, 4}, {u"+", 0x6B, 2, 88, 4},

    {u"CapsLk", 0x14, 3, 0, 7}, {u"a", 0x41, 3, 7, 4}, {u"s", 0x53, 3, 11, 4}, {u"d", 0x44, 3, 15, 4},
    {u"f", 0x46, 3, 19, 4}, {u"g", 0x47, 3, 23, 4}, {u"h", 0x48, 3, 27, 4}, {u"j", 0x4A, 3, 31, 4},
    {u"k", 0x4B, 3, 35, 4}, {u"l", 0x4C, 3, 39, 4}, {u";", 0xBA, 3, 43, 4}, {u"'", 0xDE, 3, 47, 4},
    {u"Enter", 0x0D, 3, 51, 9},
    {u"4", 0x64, 3, 76, 4}, {u"5", 0x65, 3, 80, 4}, {u"6", 0x66, 3, 84, 4},

    {u"L-Shift", 0xA0, 4, 0, 9}, {u"z", 0x5A, 4, 9, 4}, {u"x", 0x58, 4, 13, 4}, {u"c", 0x43, 4, 17, 4},
    {u"v", 0x56, 4, 21, 4}, {u"b", 0x42, 4, 25, 4}, {u"n", 0x4E, 4, 29, 4}, {u"m", 0x4D, 4, 33, 4},
    {u",", 0xBC, 4, 37, 4}, {u".", 0xBE, 4, 41, 4}, {u"/", 0xBF, 4, 45, 4}, {u"R-Shift", 0xA1, 4, 49, 11},
    {u"↑", 0x26, 4, 66, 4},
    {u"1", 0x61, 4, 76, 4}, {u"2", 0x62, 4, 80, 4}, {u"3", 0x63, 4, 84, 4},

    {u"L-Ctrl", 0xA2, 5, 0, 6}, {u"L-Alt", 0xA4, 5, 10, 6}, {u"Space", 0x20, 5, 16, 28},
    {u"R-Alt", 0xA5, 5, 44, 6}, {u"R-Ctrl", 0xA3, 5, 54, 6},
    {u"←", 0x25, 5, 62, 4}, {u"↓", 0x28, 5, 66, 4}, {u"→", 0x27, 5, 70, 4},
    {u"0", 0x60, 5, 76, 8}, {u".", 0x6E, 5, 84, 4},
};

constexpr MenuFunction kBasic[] = {
    {u"输入法打开/关闭(&O)", u"输入法开关"},  {u"英文联想输入开关(&E)", u"英文联想输入开关"},
    {u"前翻页(&F)", u"前翻页"},             {u"后翻页(&W)", u"后翻页"},
    {u"首候选后移(&D)", u"首选后移"},        {u"首候选前移(&U)", u"首选前移"},
    {u"清除输入的编码(&G)", u"清除输入"},    {u"重复前次输入(&Y)", u"重复输入"},
    {u"撤销前次输入(&U)", u"撤销输入"},
};
constexpr MenuFunction kExtended[] = {
    {u"显示|关闭状态条(&S)", u"显示|关闭界面"},
    {u"显示|关闭候选窗口(&C)", u"显示|关闭候选窗口"},
    {u"在线删词(&L)", u"在线删词"},
    {u"在线加词(添加用户词)(&J)", u"在线加词"},
    {u"繁体码表转简体 切换(&J)", u"上屏转换 - 简体"},
    {u"简体码表转繁体 切换(&F)", u"上屏转换 - 繁体"},
    {u"软键盘切换(&R)", u"软键盘切换"},
    {u"输入方案主/混码切换(&P)", u"输入方案主/混切换"},
    {u"输入方案主/辅码切换(&P)", u"输入方案主/辅切换"},
    {u"检索范围主/次显切换(&T)", u"检索范围主/次切换"},
    {u"检索范围主/混显切换(&T)", u"检索范围主/混切换"},
};
constexpr MenuFunction kEditing[] = {
    {u"删除光标前一个编码(&B)", u"编码前删"}, {u"删除光标后一个编码(&D)", u"编码后删"},
    {u"光标左移(&L)", u"光标左移"},          {u"光标右移(&R)", u"光标右移"},
    {u"光标至头(&H)", u"光标至头"},          {u"光标至尾(&N)", u"光标至尾"},
};
constexpr MenuFunction kPrograms[] = {
    {u"输出反查(&X)", u"配置 - 输出反查"}, {u"剪贴板反查(&C)", u"配置 - 剪贴板反查"},
    {u"系统设定(&G)", u"配置 - 主页"},     {u"按键设置(&K)", u"配置 - 按键设置"},
    {u"帮助(&H)", u"配置 - 帮助"},         {u"关于(&A)", u"配置 - 关于"},
};
constexpr MenuFunction kCommits[] = {
    {u"首候选(&F)", u"首选上屏"},          {u"输入的编码", u"英文上屏"},
    {u"第(&1)候选", u"第1候选上屏"},       {u"第(&2)候选", u"第2候选上屏"},
    {u"第(&3)候选", u"第3候选上屏"},       {u"第(&4)候选", u"第4候选上屏"},
    {u"第(&5)候选", u"第5候选上屏"},       {u"第(&6)候选", u"第6候选上屏"},
    {u"第(&7)候选", u"第7候选上屏"},       {u"第(&8)候选", u"第8候选上屏"},
    {u"第(&9)候选", u"第9候选上屏"},       {u"第(&10)候选", u"第10候选上屏"},
    {u"倒数第(&1)候选", u"倒数第1候选上屏"},
};
constexpr MenuFunction kFrequency[] = {
    {u"第(&1)候选", u"第1候选调频"}, {u"第(&2)候选", u"第2候选调频"}, {u"第(&3)候选", u"第3候选调频"},
    {u"第(&4)候选", u"第4候选调频"}, {u"第(&5)候选", u"第5候选调频"}, {u"第(&6)候选", u"第6候选调频"},
    {u"第(&7)候选", u"第7候选调频"}, {u"第(&8)候选", u"第8候选调频"}, {u"第(&9)候选", u"第9候选调频"},
    {u"第(&10)候选", u"第10候选调频"},
};
constexpr MenuFunction kDeletion[] = {
    {u"第(&1)候选", u"第1候选删除"}, {u"第(&2)候选", u"第2候选删除"}, {u"第(&3)候选", u"第3候选删除"},
    {u"第(&4)候选", u"第4候选删除"}, {u"第(&5)候选", u"第5候选删除"}, {u"第(&6)候选", u"第6候选删除"},
    {u"第(&7)候选", u"第7候选删除"}, {u"第(&8)候选", u"第8候选删除"}, {u"第(&9)候选", u"第9候选删除"},
    {u"第(&10)候选", u"第10候选删除"},
};
constexpr FunctionMenu kMenus[] = {
    {u"基本功能", kBasic},   {u"扩展功能", kExtended}, {u"编码编辑", kEditing}, {u"运行配置", kPrograms},
    {u"候选上屏", kCommits}, {u"候选调频", kFrequency}, {u"候选删除", kDeletion},
};

constexpr uint64_t kIndexed = keyfn::Commit | keyfn::AdjustFrequency | keyfn::DeleteCandidate;

uint64_t maskOf(std::u16string_view function) { return parseFunctionText(function); }
uint64_t indexOf(uint64_t mask) { return mask & keyfn::IndexMask; }

// Two functions that the key table does not bind together: naming both
// keeps only one.
bool exclusive(std::u16string_view a, std::u16string_view b) {
    std::u16string both(a);
    both += u',';
    both += b;
    return maskOf(both) != (maskOf(a) | maskOf(b));
}

}  // namespace

std::span<const KeyboardKey> keyboardKeys() { return kKeys; }

bool isModifierKey(uint8_t vk) { return vk >= 0xA0 && vk <= 0xA5; }

uint32_t editorKeyCode(uint8_t virtualKey, EditorModifiers m) {
    uint32_t code = virtualKey;
    if (m.shift) code |= keycode::Shift;
    if (m.ctrl) code |= keycode::Ctrl;
    if (m.alt) code |= keycode::Alt;
    return code;
}

uint64_t boundFunctions(const DmeSettings& dme, uint32_t keyCode) {
    if (int slot = singleKeySlot(keyCode); slot >= 0) return dme.keyMask(slot);
    for (int i = 0; i < dme.comboCount(); ++i)
        if (dme.comboKey(i) == keyCode) return dme.comboMask(i);
    return 0;
}

std::span<const FunctionMenu> functionMenus() { return kMenus; }

bool hasFunction(uint64_t mask, std::u16string_view function) {
    const uint64_t f = maskOf(function);
    if (f == 0) return false;
    if (f & kIndexed) return (mask & f & kIndexed) != 0 && indexOf(mask) == indexOf(f);
    return (mask & f) == f;
}

uint64_t toggleFunction(uint64_t mask, std::u16string_view function) {
    const uint64_t f = maskOf(function);
    if (f == 0) return mask;
    if (hasFunction(mask, function)) return f & kIndexed ? mask & ~(f & kIndexed) & ~keyfn::IndexMask : mask & ~f;
    if (f & kIndexed) return (mask & ~kIndexed & ~keyfn::IndexMask) | f;
    for (const FunctionMenu& menu : kMenus)
        for (const MenuFunction& other : menu.items)
            if (other.function != function && hasFunction(mask, other.function) && exclusive(other.function, function))
                mask &= ~maskOf(other.function);
    return mask | f;
}

KeyEdit setKeyFunctions(DmeSettings& dme, uint32_t keyCode, uint64_t mask) {
    switch (bindKey(dme, keyCode, mask)) {
    case BindResult::Single:
    case BindResult::Combination: return KeyEdit::Changed;
    case BindResult::ListFull: return KeyEdit::ListFull;
    default: return KeyEdit::InvalidKey;
    }
}

void clearCombinations(DmeSettings& dme) {
    for (size_t b = 0; b < DmeSettings::ComboSize * DmeSettings::MaxCombos; ++b) dme.setU8(DmeSettings::Combos + b, 0);
    dme.setU8(DmeSettings::ComboCount, 0);
}

}  // namespace zv::config
