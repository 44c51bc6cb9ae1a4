#include "config/table_export.h"

#include "config/avl_tree.h"
#include "config/text_table.h"

#include <cstring>
#include <string>

namespace zv::config {

namespace {

std::u16string decimal(long long n) {
    std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

void directive(std::u16string& out, std::u16string_view body) {
    out += DirectivePrefix;
    out += body;
    out += u"\r\n";
}

std::u16string categoryDirective(int category) {
    switch (category) {
    case CategorySystem: return u"码表分类=主码-系统码表";
    case CategoryUser: return u"码表分类=主码-用户码表";
    case CategorySecondary: return u"码表分类=主码-次显码表";
    case CategoryAuxiliary: return u"码表分类=辅码码表";
    default: return u"码表分类=主码-" + decimal(category - 15);
    }
}

// The marker that puts an entry back into its category on import; none for
// the system category, which an import assumes.
std::u16string categoryMarker(int category) {
    switch (category) {
    case CategoryUser: return u"#用";
    case CategorySecondary: return u"#次";
    case CategoryAuxiliary: return u"#辅";
    default:
        if (category >= CategoryClassifiedFirst && category <= CategoryClassifiedLast)
            return u"#类" + decimal(category - 15);
        return {};
    }
}

}  // namespace

bool categoryEditable(const SoftSettings& soft, int category) {
    if (category == CategoryUser) return true;
    return category >= 0 && category < 32 && (soft.categoryRights(category) & RightEditable) != 0;
}

std::u16string exportFileName(ExportTable table, int category, const SoftSettings& soft) {
    switch (table) {
    case ExportTable::Association: return u"导出 - 联想码表.txt";
    case ExportTable::English: return u"导出 - 英文码表.txt";
    case ExportTable::Main: break;
    }
    if (category == 0) return u"导出 - 全部词条.txt";
    std::u16string name = soft.categoryName(category);
    if (category == CategorySecondary) return u"导出 - 次显 - " + name + u".txt";
    if (category == CategoryAuxiliary) return u"导出 - 辅码 - " + name + u".txt";
    return u"导出 - 主码 - " + name + u".txt";
}

std::u16string exportFolderName(std::u16string_view imeName) { return u"[ " + std::u16string(imeName) + u" ]"; }

ExportResult exportTable(const CodeTable& t, ExportTable which, int category, const SoftSettings& soft,
                         const Progress& progress) {
    ExportResult result;
    const bool wordList = which != ExportTable::Main;
    if (!t.valid() || t.isWordList() != wordList) {
        result.status = ExportStatus::DamagedTable;
        return result;
    }
    if (!wordList && category != 0 && !categoryEditable(soft, category)) {
        result.status = ExportStatus::NotAuthorized;
        return result;
    }

    // Entries by category, code, then fixed bit and order value (higher
    // first); the index position settles ties in table order.
    auto compare = [&t](uint32_t a, uint32_t b) {
        EntryView x = t.entry(a), y = t.entry(b);
        int ca = attr::category(x.attributes), cb = attr::category(y.attributes);
        if (ca != cb) return ca < cb ? -1 : 1;
        uint32_t n = x.codeLen < y.codeLen ? x.codeLen : y.codeLen;
        int c = n ? std::memcmp(x.code, y.code, n) : 0;
        if (c) return c < 0 ? -1 : 1;
        if (x.codeLen != y.codeLen) return x.codeLen < y.codeLen ? -1 : 1;
        uint32_t sa = x.attributes & attr::SortMask, sb = y.attributes & attr::SortMask;
        if (sa != sb) return sa > sb ? -1 : 1;
        return a < b ? -1 : a > b ? 1 : 0;
    };
    AvlTree<decltype(compare)> tree(compare);
    for (uint32_t i = 0; i < t.count(); ++i) {
        if ((i & 0x3FFF) == 0) report(progress, i, t.count());
        EntryView e = t.entry(i);
        if (!e.valid()) continue;
        if (!wordList) {
            int c = attr::category(e.attributes);
            if (category ? c != category : !categoryEditable(soft, c)) continue;
        }
        tree.insert(i);
    }
    report(progress, t.count(), t.count());

    std::u16string& out = result.text;
    if (!wordList && category != 0) {
        directive(out, categoryDirective(category));
        directive(out, u"码表别名=" + soft.categoryName(category));
    } else if (!wordList) {
        directive(out, u"主码别名=" + soft.categoryName(0));
        if (categoryEditable(soft, CategorySystem)) directive(out, u"主码-系统码表别名=" + soft.categoryName(1));
        if (!soft.categoryName(CategoryUser).empty()) directive(out, u"主码-用户码表别名=" + soft.categoryName(2));
        if (categoryEditable(soft, CategorySecondary) && !soft.categoryName(CategorySecondary).empty())
            directive(out, u"主码-次显码表别名=" + soft.categoryName(3));
        for (int c = CategoryClassifiedFirst; c <= CategoryClassifiedLast && !soft.categoryName(c).empty(); ++c)
            if (categoryEditable(soft, c))
                directive(out, u"主码-分类码表别名" + decimal(c - 15) + u"=" + soft.categoryName(c));
        if (categoryEditable(soft, CategoryAuxiliary)) directive(out, u"辅码别名=" + soft.categoryName(4));
    }
    tree.forEach([&](uint32_t i) {
        EntryView e = t.entry(i);
        ++result.entries;
        if (wordList) {
            // A word list line is the word as it stands; "///" keeps a word
            // that begins with "//" from reading back as a comment.
            std::u16string w = e.wordText();
            if (w.substr(0, 2) == u"//") out += u'/';
            out += w;
            out += u"\r\n";
            return;
        }
        out += escapeWord(e.wordText());
        out += u'\t';
        out += textFromCode(e.codeBytes());
        if (attr::deleted(e.attributes)) out += u"#已删除";
        if (attr::fixed(e.attributes)) out += u"#固";
        if (category == 0) out += categoryMarker(attr::category(e.attributes));
        if (attr::order(e.attributes)) out += u"#序" + decimal(attr::order(e.attributes));
        out += u"\r\n";
    });
    result.releaser = tree.releaseInBackground();
    return result;
}

}  // namespace zv::config
