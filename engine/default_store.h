#pragma once
// The shipped config.dsc: the values that come with the stored blocks (the
// scheme's names, category names and permissions, the character classes,
// the framework and page flags) and the default settings text applied on
// top of them.

#include "engine/config_store.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

// The scheme names, the text service's identity, the version and the table
// categories' display names and permissions.
void writeShippedSoftSettings(SoftSettings& soft);
// Class 0x10 (code character) for a..z; class 0x20 (code character that
// acts as a function key when it cannot extend the code) for a..z, "(" and ")".
void setShippedCharacterClasses(DmeSettings& dme);
// Both of the above, plus the ImeSettings bits that are not in the settings
// text: the configuration pages (word E) and the text-service framework.
void writeShippedStoredValues(SettingsBlocks& blocks);

// resources/default-settings.zvconfig.txt, as compiled in (UTF-8).
std::string_view defaultSettingsTextUtf8();
std::u16string defaultSettingsText();

// A complete shipped config.dsc image: a new store, the stored values, then
// the default settings text applied through the settings-text reader.
std::vector<uint8_t> shippedConfigStore();

// The text service's GUID shipped in SoftSettings.
constexpr std::u16string_view ShippedServiceGuid = u"{6F3A8E21-5C4B-4D97-A1E0-2B7C9D4F8A63}";

}  // namespace zv
