#pragma once
// The soft keyboard's layouts as the engine needs them: the character a key
// types while a layout is shown. Layout 1 is the plain PC keyboard.

#include <cstdint>

namespace zv {

constexpr int SoftKeyboardLayouts = 13;
// The character of a virtual key in a layout (shifted or not); 0 for none.
char16_t softKeyboardChar(int layout, int virtualKey, bool shifted);

}  // namespace zv
