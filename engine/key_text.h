#pragma once
// What each key types: its character for character keys (keypad keys as the
// code units 0x0A..0x19), a name beginning with "键" for named keys, nothing
// for keys the engine never looks at.

#include <cstdint>
#include <string_view>

namespace zv {

std::u16string_view keyTextOf(int virtualKey, bool shifted);
// Named keys (and keys without text) do not type a character.
inline bool isNamedKeyText(std::u16string_view text) { return text.empty() || text.front() == u'键'; }

// Virtual keys the engine names.
namespace vk {
constexpr int Back = 0x08, Tab = 0x09, Return = 0x0D, Shift = 0x10, Control = 0x11, Menu = 0x12, Pause = 0x13,
              Capital = 0x14, Escape = 0x1B, Space = 0x20, Prior = 0x21, Next = 0x22, End = 0x23, Home = 0x24,
              Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28, Delete = 0x2E, LShift = 0xA0, RShift = 0xA1,
              LControl = 0xA2, RControl = 0xA3, LMenu = 0xA4, RMenu = 0xA5;
}

}  // namespace zv
