#pragma once
// Opening the data folder of an engine instance from the registry, keeping
// the mappings current while other processes grow the tables, and closing.

#include "engine/engine_context.h"

#include <string_view>

namespace zv {

namespace platform {
class Clock;
}

// "Software\ZorvanIME3\<name>", the instance key under HKEY_LOCAL_MACHINE.
std::u16string instanceKey(std::u16string_view imeName);
// The file names of the data slots ("config.dsc", "main.dmg", ...).
std::u16string_view dataFileName(DataSlot slot);

// Reads the instance key, opens every data file that exists and finds the
// four settings blocks. Fails, with everything closed again, when the key or
// its location values are missing, when config.dsc or main.dmg is missing or
// unusable, or when a settings block is missing. Empties temp.dmg once per
// boot when 临时词重启电脑后清空 is on.
bool openData(EngineContext& ctx, std::u16string_view imeName);
// What opening does besides opening the files. An engine starts the way an
// input method does: temp.dmg is emptied after a reboot when the settings
// ask for it, and the alternating symbols start with their opening mark. A
// tool that only looks at the folder, or edits its tables, finds every file
// as it was left.
enum class OpenAs { Engine, Tool };
// Opens the files of a data folder directly (no registry): for tools.
bool openDataFolder(EngineContext& ctx, std::u16string_view dataDir, std::u16string_view installDir,
                    OpenAs as = OpenAs::Engine);
void closeData(EngineContext& ctx);
// Empties temp.dmg when 临时词重启电脑后清空 is on and the system started
// since it was last emptied (the start time, to 256 seconds, is kept in the
// settings): what opening does for an engine, and the configuration
// program for itself.
void clearTempWordsAfterBoot(platform::MappedFile& temp, ImeSettings& ime, std::u16string_view dataDir,
                             platform::Clock& clock);

// Re-opens main.dmg, temp.dmg, engl.dmg and sysl.dmg when their size on disk
// differs from the mapped size (another process grew or replaced them).
void syncTables(EngineContext& ctx);
// Whether main.dmg and temp.dmg are mapped as they are on disk (no other
// process grew or replaced them since): a kept lookup checks this first.
bool searchedTablesCurrent(const EngineContext& ctx);

// Grows a data file to `size` bytes, mapped anew (the old mapping stays
// valid for whoever still reads it); null when it cannot grow.
platform::MappedFile* growFile(EngineContext& ctx, DataSlot slot, uint32_t size);

// A view of a table slot; invalid when the file is absent or damaged.
CodeTable tableView(const EngineContext& ctx, DataSlot slot);
// The usable temp.dmg: the fixed-slot layout intact.
bool tempTableUsable(const CodeTable& t);

}  // namespace zv
