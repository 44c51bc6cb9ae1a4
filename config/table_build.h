#pragma once
// The full build of main.dmg from a text code table ("replace" of the whole
// main table): every line parsed into a scratch file, equal entries dropped
// through a balanced tree, a temporary table of the exact size written in
// index order, and its entries copied into main.dmg, which never shrinks.

#include "config/progress.h"
#include "config/text_table.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace zv::config {

struct BuildOptions {
    std::u16string tempFolder;  // the user's temporary folder, with a separator
    std::u16string mainPath;    // main.dmg; created when missing
    Progress progress;
    // "无法识别的编码定义: %s %s" lines, then the summary.
    std::function<void(std::u16string_view)> report;
    // Lines that are not entries, comments or directives (1-based numbers).
    std::function<void(uint32_t line, std::u16string_view text)> invalidLine;
};

enum class BuildStatus {
    Ok,
    NoEntries,         // nothing to build: main.dmg left as it was
    TempInaccessible,  // an old temporary table could not be removed
    ScratchFailed,     // the scratch file of parsed lines could not be made
    TempNotCreated,
    MainNotResized,
    TooLarge,          // the table would not fit a 32-bit file
};

struct BuildResult {
    BuildStatus status = BuildStatus::Ok;
    uint32_t lines = 0;
    uint32_t validLines = 0;
    uint32_t invalidLines = 0;
    uint32_t duplicates = 0;
    uint32_t dropped = 0;        // codes or words too long to store
    uint32_t uniqueEntries = 0;  // entries written
    uint64_t entryBytes = 0;
    uint32_t longestCode = 0;
    uint32_t tableBytes = 0;     // size of the built table before the copy
    TableDirectives directives;  // names and permissions, recorded only
    std::jthread releaser;       // frees the de-duplication tree
};

// File names in the temporary folder.
constexpr std::u16string_view BuildScratchName = u"tq_index_dmgmake.tmp";
constexpr std::u16string_view BuildTempTableName = u"zorvan_temp.dmg";

// Builds from decoded text (edited in place, hence taken by value).
BuildResult buildMainTable(std::u16string text, const BuildOptions& options);
// The program's message for a failed build.
std::u16string buildStatusMessage(BuildStatus status);
std::u16string buildSummary(const BuildResult& r);

}  // namespace zv::config
