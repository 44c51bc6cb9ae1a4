#pragma once
// The 码表 page's model: its rows (the main table, each of its categories
// that has a name, then the temporary words and the two word lists) with
// their entry counts and rights, which commands a selected row allows, and
// the 使用 toggle of a category.

#include "engine/code_table.h"
#include "engine/config_store.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv::config {

enum class PageTable { Main, Temp, Association, English };

// "main.dmg" and the others.
std::u16string_view pageTableFile(PageTable table);

struct TableRow {
    PageTable table = PageTable::Main;
    int category = -1;      // main.dmg: 0 for the whole table, else the category; -1 for the others
    std::u16string label;   // 码表名称
    uint32_t entries = 0;   // 词条数
    bool writable = false;  // 可写: "√"
    bool inUse = false;     // 使用: "√" (category rows only)
};

// Entries of each category of main.dmg (index = category 0..31) and the
// whole count, in one pass; damaged records are not counted.
struct CategoryCounts {
    std::array<uint32_t, 32> perCategory{};
    uint32_t all = 0;
};
CategoryCounts countCategories(const CodeTable& main);

// The entry counts of the other tables (0 for a table that is missing).
struct OtherCounts {
    uint32_t temp = 0, association = 0, english = 0;
};

// The rows in the page's order.
std::vector<TableRow> tableRows(const SoftSettings& soft, const CategoryCounts& main, const OtherCounts& others);

// The five commands of a selected row and the caption of the first one.
struct RowCommands {
    bool view = false, import = false, exportTable = false, replace = false, clear = false;
    std::u16string_view viewCaption = u"编辑(&E)";
};
// Nothing selected (row null) disables all five.
RowCommands rowCommands(const TableRow* row, const SoftSettings& soft);

// Clicking a category row's 使用 cell flips its in-use right; false for a
// row that has no such cell (the whole table and the other tables).
bool toggleInUse(SoftSettings& soft, const TableRow& row);

}  // namespace zv::config
