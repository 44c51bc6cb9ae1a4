#pragma once
// Key events of the X keyboard model (keysyms and modifier masks, as
// fcitx5 and IBus deliver them) turned into the key events of the
// engine's hosts: a virtual key, its key data and the modifiers held.

#include <cstdint>
#include <optional>

namespace zv::keys {

// The modifier bits of an X key event's state.
namespace xmask {
constexpr uint32_t Shift = 1u << 0;
constexpr uint32_t Lock = 1u << 1;  // Caps Lock is on
constexpr uint32_t Control = 1u << 2;
constexpr uint32_t Mod1 = 1u << 3;  // Alt
constexpr uint32_t Mod4 = 1u << 6;  // Super
}  // namespace xmask

struct HostKey {
    int virtualKey = 0;
    uint32_t scan = 0;
    bool extended = false;
    bool up = false;
    // The modifiers held with the key (for a modifier key itself, as they
    // were before it).
    bool shift = false, ctrl = false, alt = false, capsLock = false;
};

// The host key of an X key event; nothing for a key the input method has
// no use for (Super, media keys, keysyms of other layouts' characters),
// which the adapter lets through.
std::optional<HostKey> hostKeyOfX(uint32_t keysym, uint32_t state, bool release);

// The keysym of a host key with its modifiers (the keys the engine sends
// to the application, which the adapter passes on); nothing for a key
// without one.
std::optional<uint32_t> xKeysymOf(const HostKey& key);

// X key codes are the evdev codes plus this; the evdev codes of the main
// block are the scan codes.
constexpr uint32_t kEvdevOffset = 8;

}  // namespace zv::keys
