#include "config/table_page.h"

#include "config/table_export.h"
#include "config/text_table.h"
#include "engine/entry_category.h"

namespace zv::config {

namespace {

constexpr int kMainSlot = 0;
constexpr int kFirstClassified = 16, kLastClassified = 31;
constexpr int kCategories = 32;

std::u16string categoryLabel(const SoftSettings& soft, int category) {
    if (category == CategoryAuxiliary) return u"    " + soft.categoryName(category);
    return u"    " + soft.categoryName(kMainSlot) + u" - " + soft.categoryName(category);
}

TableRow categoryRow(const SoftSettings& soft, const CategoryCounts& counts, int category) {
    TableRow r;
    r.table = PageTable::Main;
    r.category = category;
    r.label = categoryLabel(soft, category);
    r.entries = counts.perCategory[static_cast<size_t>(category)];
    r.writable = categoryEditable(soft, category);
    r.inUse = (soft.categoryRights(category) & RightInUse) != 0;
    return r;
}

TableRow otherRow(PageTable table, std::u16string_view label, uint32_t entries) {
    TableRow r;
    r.table = table;
    r.label = label;
    r.entries = entries;
    r.writable = true;
    return r;
}

}  // namespace

std::u16string_view pageTableFile(PageTable table) {
    switch (table) {
    case PageTable::Main: return u"main.dmg";
    case PageTable::Temp: return u"temp.dmg";
    case PageTable::Association: return u"sysl.dmg";
    case PageTable::English: break;
    }
    return u"engl.dmg";
}

CategoryCounts countCategories(const CodeTable& main) {
    CategoryCounts c;
    if (!main.valid()) return c;
    for (uint32_t i = 0; i < main.count(); ++i) {
        const EntryView e = main.entry(i);
        if (!e.valid()) continue;
        ++c.all;
        const int category = attr::category(e.attributes);
        if (category < kCategories) ++c.perCategory[static_cast<size_t>(category)];
    }
    return c;
}

std::vector<TableRow> tableRows(const SoftSettings& soft, const CategoryCounts& main, const OtherCounts& others) {
    std::vector<TableRow> rows;
    TableRow whole;
    whole.table = PageTable::Main;
    whole.category = 0;
    whole.label = u"输入编码表";
    whole.entries = main.all;
    whole.writable = categoryEditable(soft, kMainSlot);
    rows.push_back(whole);
    rows.push_back(categoryRow(soft, main, CategorySystem));
    for (int c = kFirstClassified; c <= kLastClassified && !soft.categoryName(c).empty(); ++c)
        rows.push_back(categoryRow(soft, main, c));
    for (int c : {int(CategorySecondary), int(CategoryUser), int(CategoryAuxiliary)})
        if (!soft.categoryName(c).empty()) rows.push_back(categoryRow(soft, main, c));
    rows.push_back(otherRow(PageTable::Temp, u"临时词表", others.temp));
    rows.push_back(otherRow(PageTable::Association, u"联想码表", others.association));
    rows.push_back(otherRow(PageTable::English, u"英文码表", others.english));
    return rows;
}

RowCommands rowCommands(const TableRow* row, const SoftSettings& soft) {
    RowCommands c;
    if (!row) return c;
    c.view = true;
    switch (row->table) {
    case PageTable::Temp:
        c.clear = true;
        c.viewCaption = u"查看(&V)";
        return c;
    case PageTable::Association:
    case PageTable::English: c.import = c.exportTable = c.replace = c.clear = true; return c;
    case PageTable::Main: break;
    }
    if (!categoryEditable(soft, row->category)) {
        c.viewCaption = u"查看(&E)";
        return c;
    }
    c.import = c.exportTable = c.replace = c.clear = true;
    return c;
}

bool toggleInUse(SoftSettings& soft, const TableRow& row) {
    if (row.table != PageTable::Main || row.category <= 0 || row.category >= kCategories) return false;
    const size_t at = SoftSettings::CategoryRights + 4 * static_cast<size_t>(row.category);
    soft.setU32(at, soft.u32(at) ^ RightInUse);
    return true;
}

}  // namespace zv::config
