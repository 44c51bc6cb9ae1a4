#pragma once
// The soft keyboard's thirteen layouts: the character a key types while a
// layout is shown. Layout 1 is the plain PC keyboard. Positions follow the
// keys of a US keyboard: 0..12 ` 1 2 3 4 5 6 7 8 9 0 - =, 15..27
// q w e r t y u i o p [ ] \, 29..39 a s d f g h j k l ; ', 42..51
// z x c v b n m , . /; the positions between have no key.

#include <cstdint>
#include <string_view>

namespace zv {

constexpr int SoftKeyboardLayouts = 13;
constexpr int SoftKeyboardPositions = 58;

// The menu text of a layout 1..13 ("PC 键盘", "希腊字母", ...); empty otherwise.
std::u16string_view softKeyboardLayoutName(int layout);
// The character at a position (normal or shifted); a space means none.
char16_t softKeyboardCharAt(int layout, int position, bool shifted);
// The position of a virtual key, or -1 when it has none.
int softKeyboardPosition(int virtualKey);
// The character of a virtual key in a layout (shifted or not): a space when
// its position has none, 0 for keys without a position.
char16_t softKeyboardChar(int layout, int virtualKey, bool shifted);

}  // namespace zv
