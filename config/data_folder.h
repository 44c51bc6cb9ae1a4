#pragma once
// The configuration program's access to an input method's data folder: the
// instance key in the registry, the folder's paths and config.dsc with its
// settings blocks. The tables themselves are opened by each operation.
// (A stand-in until the engine's own opening of the data folder serves the
// tools too.)

#include "engine/config_store.h"
#include "platform/mapped_file.h"
#include "platform/registry.h"

#include <string>
#include <string_view>

namespace zv::config {

// The instance the tools use when none is named.
constexpr std::u16string_view DefaultInstanceName = u"Zorvan";

// Registry key of an instance: "Software\ZorvanIME3\<name>" under HKLM.
std::u16string instanceKey(std::u16string_view name);

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
