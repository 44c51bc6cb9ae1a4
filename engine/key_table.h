#pragma once
// The key function table of DmeSettings: which engine functions a key or a
// key combination runs, its text form ("key text=function text" lines of
// the section "[-按键功能-]"), the lookup at key time and the hot keys that
// stand for the combinations.

#include "engine/config_store.h"
#include "engine/key_functions.h"

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

// The hot keys to register when an input context becomes active; none while
// "禁用组合快捷键" is on.
std::vector<HotKey> hotKeys(const ImeSettings& ime, const DmeSettings& dme);
uint32_t hotKeyModifiers(uint32_t keyCode);

}  // namespace zv
