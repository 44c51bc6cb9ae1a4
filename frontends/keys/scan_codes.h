#pragma once
// The scan codes (set 1) a US keyboard sends for the virtual keys the
// input method knows, with the extended-key flag: the key data of a
// Windows key event, which the engine's key test reads beside the virtual
// key. Hosts that get keys by name (X keysyms, terminal bytes) make the
// key data from these.

#include <cstdint>

namespace zv::keys {

// 0 for a virtual key no US keyboard has.
uint32_t scanCodeOf(int virtualKey, bool* extended = nullptr);

}  // namespace zv::keys
