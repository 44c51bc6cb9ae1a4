#pragma once
// The key-function editor's model: the keys of its on-screen keyboard, the
// key code a key has with the ticked modifier boxes, the functions bound to
// it, the function menu, and choosing a function from that menu. The
// bindings live where the engine keeps them (DmeSettings' single-key table
// and combination list).

#include "engine/config_store.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace zv::config {

// One key of the keyboard: its label, its virtual key, and its place in
// layout units (a quarter of a letter key) on one of the rows.
struct KeyboardKey {
    std::u16string_view label;
    uint8_t virtualKey;
    int row;
    int x;      // quarters from the left edge
    int width;  // quarters
};
std::span<const KeyboardKey> keyboardKeys();
// Left and right Shift, Ctrl and Alt: disabled while a modifier box is ticked.
bool isModifierKey(uint8_t virtualKey);

struct EditorModifiers {
    bool ctrl = false, alt = false, shift = false;
};
uint32_t editorKeyCode(uint8_t virtualKey, EditorModifiers modifiers);

// The functions bound to a key code (0 when none).
uint64_t boundFunctions(const DmeSettings& dme, uint32_t keyCode);

// A menu item and the function (by its name in the key table) it toggles.
struct MenuFunction {
    std::u16string_view label;
    std::u16string_view function;
};
struct FunctionMenu {
    std::u16string_view title;
    std::span<const MenuFunction> items;
};
std::span<const FunctionMenu> functionMenus();

bool hasFunction(uint64_t mask, std::u16string_view function);
// The mask with the function added, or removed when it is there. Adding one
// drops the functions it cannot be bound with (those of its group, and for
// the candidate functions the others that carry an index).
uint64_t toggleFunction(uint64_t mask, std::u16string_view function);

enum class KeyEdit { Changed, ListFull, InvalidKey };
// Stores the key's new functions; a combination left with none leaves the
// list. A new combination with 32 in use is refused and changes nothing.
KeyEdit setKeyFunctions(DmeSettings& dme, uint32_t keyCode, uint64_t mask);

// "清空组合键定义": every combination gone, the single keys kept.
void clearCombinations(DmeSettings& dme);

// The message for a full combination list.
constexpr std::u16string_view CombinationListFullText = u"组合按键空间用尽，您最多能定义32组组合键。";
constexpr std::u16string_view KeyEditorCaption = u"佐文输入法生成器";

}  // namespace zv::config
