#pragma once
// Export of a code table, one category of main.dmg or a word list to a text
// file that the import reads back: directives naming the table, then one
// line per entry with its markers.

#include "config/progress.h"
#include "engine/code_table.h"
#include "engine/config_store.h"

#include <cstdint>
#include <string>
#include <thread>

namespace zv::config {

enum class ExportTable { Main, Association, English };

enum class ExportStatus {
    Ok,
    NotAuthorized,  // "该码表未被授权修改！": nothing written
    DamagedTable,
    WriteFailed,
};

struct ExportResult {
    ExportStatus status = ExportStatus::Ok;
    uint32_t entries = 0;
    std::u16string text;  // the file's text, without the byte-order mark
    std::jthread releaser;  // frees the ordering tree
};

// A category may be edited (and exported) when its permission word says so;
// the user category always may.
bool categoryEditable(const SoftSettings& soft, int category);

// "导出 - 全部词条.txt" and the like (a file name, without folder).
std::u16string exportFileName(ExportTable table, int category, const SoftSettings& soft);
// The folder name under the user's Documents folder: "[ " name " ]".
std::u16string exportFolderName(std::u16string_view imeName);

// category 0 exports every entry of an editable category (main.dmg only).
ExportResult exportTable(const CodeTable& table, ExportTable which, int category, const SoftSettings& soft,
                         const Progress& progress = {});

}  // namespace zv::config
