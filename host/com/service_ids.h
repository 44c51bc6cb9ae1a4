#pragma once
// The identities of the text service: its class (the library's string
// resource 1, the instance it serves), its language profile (string
// resource 3), and the fixed identities of its display attributes,
// preserved keys and language-bar items, which the installer registers
// alongside.

#include <windows.h>

namespace zv::com {

// The service's class; GUID_NULL when the resource is missing or damaged.
CLSID serviceClassId();
GUID profileId();

namespace ids {
// Display attributes: the typed code, the converted text, and none.
constexpr GUID AttributeInput = {0x7d1e4a52, 0x93c6, 0x4b0f, {0x8e, 0x21, 0x5a, 0x64, 0xc3, 0x09, 0xd7, 0x11}};
constexpr GUID AttributeConverted = {0x7d1e4a52, 0x93c6, 0x4b0f, {0x8e, 0x21, 0x5a, 0x64, 0xc3, 0x09, 0xd7, 0x12}};
constexpr GUID AttributeNone = {0x7d1e4a52, 0x93c6, 0x4b0f, {0x8e, 0x21, 0x5a, 0x64, 0xc3, 0x09, 0xd7, 0x13}};
// The two fixed preserved keys (Shift+Space, Ctrl+period); the keys of the
// combination table take the identities after kCombinationKeyBase.
constexpr GUID KeyFullWidth = {0x3b8c2f60, 0x1a4d, 0x4e77, {0x9c, 0x05, 0x6e, 0x21, 0xb8, 0x4a, 0x00, 0x01}};
constexpr GUID KeyPunctuation = {0x3b8c2f60, 0x1a4d, 0x4e77, {0x9c, 0x05, 0x6e, 0x21, 0xb8, 0x4a, 0x00, 0x02}};
constexpr GUID CombinationKeyBase = {0x3b8c2f60, 0x1a4d, 0x4e77, {0x9c, 0x05, 0x6e, 0x21, 0xb8, 0x4a, 0x01, 0x00}};
// The identity of combination key `index` (its last byte is the index).
GUID combinationKey(int index);
// The index a preserved-key identity names, or -1.
int combinationIndex(REFGUID guid);
}  // namespace ids

}  // namespace zv::com
