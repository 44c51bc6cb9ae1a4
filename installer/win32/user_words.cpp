#include "installer/win32/user_words.h"

#include "config/table_export.h"
#include "config/text_file.h"
#include "engine/code_table.h"
#include "engine/config_store.h"
#include "engine/entry_category.h"
#include "engine/folder_write.h"
#include "platform/folders.h"
#include "platform/mapped_file.h"

#include <vector>

namespace zv::installer::win32 {

bool exportUserWords(const std::u16string& dataDir, const std::u16string& imeName) {
    if (dataDir.empty() || imeName.empty()) return false;
    FolderWrite lock(dataDir);  // no running engine moves entries while they are read
    // The settings are read from a copy: a damaged config.dsc changes nothing.
    platform::MappedFile configFile;
    if (!configFile.open(dataDir + u"config.dsc")) return false;
    std::vector<uint8_t> config(configFile.data(), configFile.data() + configFile.size());
    const SettingsBlocks blocks = findBlocks(config.data(), static_cast<uint32_t>(config.size()));
    if (!blocks.soft) return false;
    platform::MappedFile main;
    if (!platform::fileExists(dataDir + u"main.dmg") || !main.open(dataDir + u"main.dmg")) return false;
    const CodeTable table(main.data(), main.size());
    config::ExportResult r = config::exportTable(table, config::ExportTable::Main, CategoryUser, blocks.soft);
    if (r.status != config::ExportStatus::Ok) return false;
    const std::u16string folder = platform::documentsFolder() + config::exportFolderName(imeName) + u"\\";
    platform::makeDirectories(folder);
    return config::writeTextFile(folder + u"导出 - 用户词条.txt", r.text);
}

}  // namespace zv::installer::win32
