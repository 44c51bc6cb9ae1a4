#pragma once
// The code-table viewer's model: which entries of a table a view lists
// (category, deleted-only, fixed-only, code and word filters), the texts of
// one row, and the text that copying rows puts on the clipboard. A view is a
// list of positions in the table's offset list; texts are made only for the
// rows that are shown.

#include "engine/code_table.h"
#include "engine/config_store.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zv::config {

// The tables a viewer shows, told apart by their file names.
enum class ViewerTable { Main, Temp, Association, English, Other };
ViewerTable viewerTableOf(std::u16string_view fileName);
// "输入编码表详细视图" and the others, before " - " and the display name.
std::u16string_view viewerTitle(ViewerTable table);

// The filter fields hold at most this many characters.
constexpr size_t MaxFilterUnits = 128;

struct ViewFilter {
    int category = 0;          // 0: every category
    bool deletedOnly = false;  // 已删除的词条: overrides the two below
    bool fixedOnly = false;    // 固顶的词条: overrides the category
    std::u16string code;       // compared with the code as text
    std::u16string word;
    bool partial = false;      // 前端模糊匹配: the code begins with, the word contains
};

// One pass over the offset list: the positions of the entries that pass,
// in table order. Damaged records are left out.
std::vector<uint32_t> buildViewList(const CodeTable& table, const ViewFilter& filter);

struct ViewRow {
    std::u16string code;      // as text; empty for word lists
    std::u16string word;
    std::u16string category;  // the 分类 column
    uint16_t order = 0;       // 候选排序: the low 16 bits of the attributes
    bool deleted = false;     // shown in red
    bool user = false;        // the user category, shown in dark blue
};
// The cells of the entry at a position; nothing for a damaged record.
std::optional<ViewRow> viewRow(const CodeTable& table, uint32_t position, ViewerTable which, const SoftSettings& soft);
// The 分类 column: main name and category name, the auxiliary name alone,
// "联想表" or "英文表" for the word lists; then " 固顶" and " 已删除".
std::u16string categoryText(ViewerTable which, uint32_t attributes, const SoftSettings& soft);

// 复制 takes at most this many of the selected rows.
constexpr size_t MaxCopiedRows = 24;
// The clipboard text for the selected rows, given as table positions from
// the top row down: the first 24 of them, written bottom-most first, each
// as word, TAB, code, CR LF.
std::u16string copyText(const CodeTable& table, std::span<const uint32_t> selected);

}  // namespace zv::config
