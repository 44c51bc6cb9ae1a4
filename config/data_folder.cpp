#include "config/data_folder.h"

#include "platform/folders.h"

namespace zv::config {

std::u16string withSeparator(std::u16string path) {
    if (path.empty() || (path.back() != u'/' && path.back() != u'\\')) path.push_back(platform::pathSeparator());
    return path;
}

bool openTableForWriting(platform::MappedFile& f, std::u16string_view path, uint32_t sizeIfNew) {
    if (!platform::fileExists(path)) return f.create(path, sizeIfNew);
    if (!f.open(path)) return false;
    if (!f.isHeapCopy()) return true;
    // An empty file cannot be mapped; it is made anew like a missing one.
    return f.sizeOnDisk() == 0 && f.create(path, sizeIfNew);
}

bool registerInstance(platform::Registry& r, const InstanceInfo& info) {
    const std::u16string key = instanceKey(info.name);
    const auto hive = platform::Hive::LocalMachine;
    return r.writeString(hive, key, u"IMEName", info.imeName) &&
           r.writeString(hive, key, u"InstallLocation", info.installDir) &&
           r.writeString(hive, key, u"DataLocation", info.dataDir) &&
           r.writeString(hive, key, u"DisplayName", info.displayName) &&
           r.writeString(hive, key, u"DisplayVersion", info.displayVersion);
}

FolderStatus readInstance(platform::Registry& r, std::u16string_view name, InstanceInfo& out) {
    const std::u16string key = instanceKey(name);
    const auto hive = platform::Hive::LocalMachine;
    if (!r.keyExists(hive, key)) return FolderStatus::NoKey;
    out.name.assign(name);
    out.imeName = r.readString(hive, key, u"IMEName").value_or(u"");
    auto install = r.readString(hive, key, u"InstallLocation");
    auto data = r.readString(hive, key, u"DataLocation");
    if (!install || !data) return FolderStatus::NoLocation;
    out.installDir = withSeparator(*install);
    // Used as it stands, as the engine does: it must end in a separator.
    out.dataDir = *data;
    out.displayName = r.readString(hive, key, u"DisplayName").value_or(u"");
    out.displayVersion = r.readString(hive, key, u"DisplayVersion").value_or(u"");
    return FolderStatus::Ok;
}

FolderStatus openDataFolder(platform::Registry& r, std::u16string_view name, DataFolder& out) {
    if (FolderStatus s = readInstance(r, name, out.info); s != FolderStatus::Ok) return s;

    if (!platform::fileExists(out.path(u"config.dsc")) || !out.config.open(out.path(u"config.dsc")))
        return FolderStatus::NoConfig;
    if (!platform::fileExists(out.path(u"main.dmg"))) return FolderStatus::NoMain;
    out.blocks = findBlocks(out.config.data(), out.config.size());
    if (!out.blocks.complete()) return FolderStatus::NoSettings;
    return FolderStatus::Ok;
}

}  // namespace zv::config
