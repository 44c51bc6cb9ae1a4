#include "config/viewer.h"

namespace zv::config {

namespace {

// The unit a stored code byte is shown as; 0 where the shown code ends.
char16_t shownUnit(const EntryView& e, uint32_t i) { return i < e.codeLen ? unitFromCodeByte(e.code[i]) : 0; }

uint32_t shownCodeLength(const EntryView& e) {
    uint32_t n = 0;
    while (shownUnit(e, n)) ++n;
    return n;
}

bool codeBeginsWith(const EntryView& e, std::u16string_view filter) {
    for (uint32_t i = 0; i < filter.size(); ++i)
        if (shownUnit(e, i) != filter[i]) return false;
    return true;
}

bool codeEquals(const EntryView& e, std::u16string_view filter) {
    return codeBeginsWith(e, filter) && shownCodeLength(e) == filter.size();
}

bool wordAt(const EntryView& e, uint32_t at, std::u16string_view part) {
    for (uint32_t i = 0; i < part.size(); ++i)
        if (e.wordUnit(at + i) != part[i]) return false;
    return true;
}

bool wordContains(const EntryView& e, std::u16string_view part) {
    if (part.size() > e.wordLen) return false;
    for (uint32_t at = 0; at + part.size() <= e.wordLen; ++at)
        if (wordAt(e, at, part)) return true;
    return false;
}

bool wordEquals(const EntryView& e, std::u16string_view word) { return e.wordLen == word.size() && wordAt(e, 0, word); }

bool passes(const EntryView& e, const ViewFilter& f) {
    const uint32_t a = e.attributes;
    if (f.deletedOnly) {
        if (!attr::deleted(a)) return false;
    } else if (f.fixedOnly) {
        if (!attr::fixed(a)) return false;
    } else if (f.category && attr::category(a) != f.category) {
        return false;
    }
    if (f.partial) return codeBeginsWith(e, f.code) && wordContains(e, f.word);
    return (f.code.empty() || codeEquals(e, f.code)) && (f.word.empty() || wordEquals(e, f.word));
}

}  // namespace

ViewerTable viewerTableOf(std::u16string_view fileName) {
    if (fileName == u"main.dmg") return ViewerTable::Main;
    if (fileName == u"temp.dmg") return ViewerTable::Temp;
    if (fileName == u"sysl.dmg") return ViewerTable::Association;
    if (fileName == u"engl.dmg") return ViewerTable::English;
    return ViewerTable::Other;
}

std::u16string_view viewerTitle(ViewerTable table) {
    switch (table) {
    case ViewerTable::Main: return u"输入编码表详细视图";
    case ViewerTable::Temp: return u"临时码表详细视图";
    case ViewerTable::Association: return u"联想词库详细视图";
    case ViewerTable::English: return u"英文词库详细视图";
    case ViewerTable::Other: break;
    }
    return u"码表详细视图";
}

std::vector<uint32_t> buildViewList(const CodeTable& table, const ViewFilter& filter) {
    std::vector<uint32_t> out;
    for (uint32_t i = 0; i < table.count(); ++i) {
        EntryView e = table.entry(i);
        if (e.valid() && passes(e, filter)) out.push_back(i);
    }
    return out;
}

std::u16string categoryText(ViewerTable which, uint32_t attributes, const SoftSettings& soft) {
    std::u16string text;
    if (which == ViewerTable::Association) {
        text = u"联想表";
    } else if (which == ViewerTable::English) {
        text = u"英文表";
    } else {
        const int c = attr::category(attributes);
        if (c == CategoryAuxiliary)
            text = soft.categoryName(c);
        else if ((c >= CategorySystem && c <= CategorySecondary) || (c >= CategoryClassifiedFirst && c <= CategoryClassifiedLast))
            text = soft.categoryName(0) + u" - " + soft.categoryName(c);
    }
    if (attr::fixed(attributes)) text += u" 固顶";
    if (attr::deleted(attributes)) text += u" 已删除";
    return text;
}

std::optional<ViewRow> viewRow(const CodeTable& table, uint32_t position, ViewerTable which, const SoftSettings& soft) {
    EntryView e = table.entry(position);
    if (!e.valid()) return std::nullopt;
    ViewRow row;
    row.code = textFromCode(e.codeBytes());
    row.word = e.wordText();
    row.category = categoryText(which, e.attributes, soft);
    row.order = attr::order(e.attributes);
    row.deleted = attr::deleted(e.attributes);
    row.user = !table.isWordList() && attr::category(e.attributes) == CategoryUser;
    return row;
}

std::u16string copyText(const CodeTable& table, std::span<const uint32_t> selected) {
    std::u16string text;
    const size_t n = selected.size() < MaxCopiedRows ? selected.size() : MaxCopiedRows;
    for (size_t k = n; k-- > 0;) {
        EntryView e = table.entry(selected[k]);
        if (!e.valid()) continue;
        text += e.wordText();
        text += u'\t';
        text += textFromCode(e.codeBytes());
        text += u"\r\n";
    }
    return text;
}

}  // namespace zv::config
