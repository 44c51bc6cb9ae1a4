#pragma once
// The configuration program's access to an input method's data folder: the
// instance key in the registry, the folder's paths and config.dsc with its
// settings blocks. The tables themselves are opened by each operation.
// (The engine's own opening, engine/data_files.h, refuses a folder whose
// main.dmg is damaged and resets state as an engine does when it starts;
// the tools open the files themselves so that they can rebuild, repair and
// report.)

#include "engine/config_store.h"
#include "engine/data_files.h"
#include "platform/mapped_file.h"
#include "platform/registry.h"

#include <string>
#include <string_view>

namespace zv::config {

// The "IMEName" of an instance that the tools register or make up for
// --data (the instance key name itself defaults to the engine's
// kDefaultImeName).
constexpr std::u16string_view ToolImeName = u"Zorvan";

struct InstanceInfo {
    std::u16string name;         // the instance key name
    std::u16string imeName;      // "IMEName"
    std::u16string installDir;   // "InstallLocation", ending in a separator
    std::u16string dataDir;      // "DataLocation", ending in a separator
    std::u16string displayName;  // "DisplayName"
    std::u16string displayVersion;  // "DisplayVersion"
};

// Writes the instance key with its five values.
bool registerInstance(platform::Registry& registry, const InstanceInfo& info);

enum class FolderStatus {
    Ok,
    NoKey,        // the instance key is missing
    NoLocation,   // "InstallLocation" or "DataLocation" is missing
    NoConfig,     // config.dsc missing or not openable
    NoMain,       // main.dmg missing
    NoSettings,   // a settings block is missing from config.dsc
};

struct DataFolder {
    InstanceInfo info;
    platform::MappedFile config;  // read/write unless the file is read-only
    SettingsBlocks blocks;

    std::u16string path(std::u16string_view file) const { return info.dataDir + std::u16string(file); }
};

// Reads the instance key only (NoKey, NoLocation or Ok).
FolderStatus readInstance(platform::Registry& registry, std::u16string_view name, InstanceInfo& out);
FolderStatus openDataFolder(platform::Registry& registry, std::u16string_view name, DataFolder& out);

// Maps a table for writing: an existing file as it is, a missing or empty
// one created with sizeIfNew zero bytes. False when the file can only be
// read (a copy whose changes would be lost) or cannot be made.
bool openTableForWriting(platform::MappedFile& file, std::u16string_view path, uint32_t sizeIfNew);

// A path with a separator at its end.
std::u16string withSeparator(std::u16string path);

}  // namespace zv::config
