#pragma once
// The 码表 page's long operations on a data folder, each as one call that
// a worker thread can run: replace, import, export and clear, with the
// message the user is shown afterwards. They hold the folder's write lock
// while they run and call the same builder, importer, exporter and
// clearing functions as zvconfig. A file the user picked is untrusted: one
// that cannot be read or is no text leaves every table as it was.

#include "config/progress.h"
#include "config/table_page.h"
#include "engine/config_store.h"

#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace zv::config {

struct TaskFolder {
    std::u16string dataDir;    // ending in a separator
    std::u16string tempDir;    // the user's temporary folder, ending in a separator
    std::u16string documentsDir;  // ending in a separator
    std::u16string imeName;    // names the export folder
    SettingsBlocks blocks;     // of the program's config.dsc
};

struct TaskOutcome {
    bool changed = false;     // a table changed: the page refills its list
    bool failed = false;      // the message is a refusal or an error
    std::u16string caption = u"配置程序";
    std::u16string message;
    // An import with rejected lines asks whether to open this report.
    std::u16string reportPath;
    // An export opens an Explorer window on this file.
    std::u16string exportedPath;
    // A rebuilt association list: whether its phrases are stored as key,
    // "#" and continuation (a setting of config.dsc the page writes).
    std::optional<bool> associationSeparator;
    std::jthread releaser;    // frees a tree after the page has its answer
};

// "替换": the whole main table rebuilt from the file, a category replaced by
// the file's entries, or a word list rebuilt. The question comes first and
// is the caller's.
TaskOutcome replaceTable(const TaskFolder& folder, const TableRow& row, std::u16string_view source,
                         const Progress& progress);
// "导入": the file's entries added to main.dmg (into the row's category), or
// a word list rebuilt from it.
TaskOutcome importTable(const TaskFolder& folder, const TableRow& row, std::u16string_view source,
                        const Progress& progress);
// "导出": into the instance's folder under the Documents folder.
TaskOutcome exportRow(const TaskFolder& folder, const TableRow& row, const Progress& progress);
// "清空" after its question.
TaskOutcome clearRow(const TaskFolder& folder, const TableRow& row, const Progress& progress);

// The questions asked before replacing and clearing; a row that may not be
// cleared gets its refusal instead (failed set) and no question.
std::u16string_view replaceQuestion(const TableRow& row);
constexpr std::u16string_view ClearQuestion =
    u"该操作将清空选中码表类型中的所有词条，此操作是不可恢复的。\r\n确定这样做吗？";

}  // namespace zv::config
