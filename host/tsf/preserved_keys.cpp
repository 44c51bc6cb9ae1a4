// The preserved keys: the combinations of the key-function table and the
// two fixed switches, Shift+Space (full width) and Ctrl+period (English
// punctuation). None while 禁用组合快捷键 is on.

#include "host/tsf/text_service.h"

#include "engine/config_store.h"
#include "engine/host_view.h"
#include "host/com/service_ids.h"

#include <iterator>

namespace zv::tsf {

namespace {

constexpr wchar_t kDescription[] = L"---";
constexpr UINT kSpace = VK_SPACE;
constexpr UINT kPeriod = VK_OEM_PERIOD;

struct ModifierMap {
    uint32_t hotKey;
    UINT preserved;
};
constexpr ModifierMap kModifiers[] = {
    {hotkeyflag::Alt, TF_MOD_ALT},          {hotkeyflag::Ctrl, TF_MOD_CONTROL},
    {hotkeyflag::Shift, TF_MOD_SHIFT},      {hotkeyflag::LeftAlt, TF_MOD_LALT},
    {hotkeyflag::LeftCtrl, TF_MOD_LCONTROL}, {hotkeyflag::LeftShift, TF_MOD_LSHIFT},
    {hotkeyflag::RightAlt, TF_MOD_RALT},    {hotkeyflag::RightCtrl, TF_MOD_RCONTROL},
    {hotkeyflag::RightShift, TF_MOD_RSHIFT},
};

UINT preservedModifiers(uint32_t hotKeyFlags) {
    UINT m = 0;
    for (const ModifierMap& entry : kModifiers)
        if (hotKeyFlags & entry.hotKey) m |= entry.preserved;
    return m;
}

}  // namespace

void TextService::preserveKeys() {
    unpreserveKeys();
    if (!engine_ || !threadMgr_) return;
    if (settingsOf(*engine_).ime.a() & ImeSettings::A_NoHotKeys) return;
    com::ComPtr<ITfKeystrokeMgr> keys;
    if (FAILED(threadMgr_->QueryInterface(IID_ITfKeystrokeMgr, keys.putVoid())) || !keys) return;
    auto preserve = [&](const GUID& guid, UINT vk, UINT modifiers) {
        const TF_PRESERVEDKEY key{vk, modifiers};
        if (SUCCEEDED(keys->PreserveKey(clientId_, guid, &key, kDescription, std::size(kDescription) - 1)))
            preservedKeys_.push_back(guid);
    };
    for (const HotKey& hot : hotKeysToRegister(*engine_))
        preserve(com::ids::combinationKey(hot.id - FirstHotKeyId), hot.virtualKey, preservedModifiers(hot.modifiers));
    preserve(com::ids::KeyFullWidth, kSpace, TF_MOD_SHIFT);
    preserve(com::ids::KeyPunctuation, kPeriod, TF_MOD_CONTROL);
}

void TextService::unpreserveKeys() {
    if (preservedKeys_.empty()) return;
    com::ComPtr<ITfKeystrokeMgr> keys;
    if (threadMgr_ && SUCCEEDED(threadMgr_->QueryInterface(IID_ITfKeystrokeMgr, keys.putVoid())) && keys) {
        com::ComPtr<ITfKeystrokeMgr> k = keys;
        for (const GUID& guid : preservedKeys_) {
            // The key is named again for the call, as the platform asks.
            TF_PRESERVEDKEY key{};
            if (IsEqualGUID(guid, com::ids::KeyFullWidth)) key = {kSpace, TF_MOD_SHIFT};
            else if (IsEqualGUID(guid, com::ids::KeyPunctuation)) key = {kPeriod, TF_MOD_CONTROL};
            else {
                const int index = com::ids::combinationIndex(guid);
                if (engine_)
                    for (const HotKey& hot : hotKeysToRegister(*engine_))
                        if (hot.id - FirstHotKeyId == index)
                            key = {hot.virtualKey, preservedModifiers(hot.modifiers)};
            }
            k->UnpreserveKey(guid, &key);
        }
    }
    preservedKeys_.clear();
}

bool TextService::runPreservedKey(ITfContext*, REFGUID guid) {
    if (!engine_) return false;
    const uint32_t modes = viewOf(*engine_).modes;
    UINT vk = 0;
    if (IsEqualGUID(guid, com::ids::KeyFullWidth)) {
        vk = kSpace;
        setMode(*engine_, (modes & ModeFullWidth) ? mode::FullWidthOff : mode::FullWidthOn);
    } else if (IsEqualGUID(guid, com::ids::KeyPunctuation)) {
        vk = kPeriod;
        setMode(*engine_, (modes & ModeEnglishPunct) ? mode::EnglishPunctOff : mode::EnglishPunctOn);
    } else {
        const int index = com::ids::combinationIndex(guid);
        if (index < 0) return false;
        for (const HotKey& hot : hotKeysToRegister(*engine_))
            if (hot.id == FirstHotKeyId + index) vk = hot.virtualKey;
        if (!runHotKey(*engine_, FirstHotKeyId + index)) return false;
    }
    // The framework took the key before the key sink saw it: the engine is
    // told it went down, so that the release of the modifier held with it
    // is no lone tap (Shift+Space would otherwise switch to English too).
    // Only the test is asked; the key itself is done.
    tested_ = TestedKey{};
    if (vk) {
        const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
        KeyboardState keys;
        keys.shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        keys.ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
        testKey(*engine_, static_cast<int>(vk), keyDataFor(scan, false, false), false, keys);
    }
    applyChangesOutsideKey();
    syncCompartments();
    return true;
}

}  // namespace zv::tsf
