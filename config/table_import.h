#pragma once
// Import (merge) of a text code table into main.dmg: every line is either
// added or reported, with the reason, in the report file "未能添加的词条.txt".

#include "config/progress.h"
#include "engine/config_store.h"
#include "engine/pair_table.h"
#include "platform/mapped_file.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace zv::config {

constexpr std::u16string_view ImportReportName = u"未能添加的词条.txt";

struct ImportOptions {
    int targetCategory = 0;           // 0: the whole table
    DmeSettings rules;                // word-formation rules; may be empty
    const CharCodeTable* danzi = nullptr;  // codes of single characters; may be null
    std::u16string reportPath;        // written when not empty
    Progress progress;
};

enum class ImportStatus {
    Ok,
    DamagedTable,  // main.dmg is not a sound code table: nothing was changed
    GrowFailed,    // main.dmg could not be enlarged: no new entry was added
    ReportFailed,  // everything was imported, but the report could not be written
};

struct ImportResult {
    ImportStatus status = ImportStatus::Ok;
    uint32_t added = 0;
    uint32_t notAdded = 0;               // the lines of the report
    std::vector<std::u16string> report;  // "%s ----------reason", without CR LF
    std::jthread releaser;               // frees the de-duplication tree
};

ImportResult importIntoMainTable(platform::MappedFile& main, std::u16string_view text, const ImportOptions& options);

}  // namespace zv::config
