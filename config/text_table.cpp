#include "config/text_table.h"

#include <algorithm>

namespace zv::config {

namespace {

bool startsWith(std::u16string_view s, std::u16string_view p) { return s.substr(0, p.size()) == p; }

std::u16string decimal(int n) {
    std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

int classifiedCategory(long long n) { return n <= 1 ? CategoryClassifiedFirst : n >= 16 ? CategoryClassifiedLast : int(15 + n); }

// Names stop at a CR and after eight characters.
std::u16string categoryName(std::u16string_view value) {
    size_t cr = value.find(u'\r');
    if (cr != std::u16string_view::npos) value = value.substr(0, cr);
    return std::u16string(value.substr(0, 8));
}

void setEditable(TableDirectives& d, int category, std::u16string_view value) {
    bool yes = startsWith(value, u"是") || category == CategoryUser;
    d.rights[category] = yes ? d.rights[category] | RightEditable : d.rights[category] & ~RightEditable;
}

}  // namespace

bool isComment(std::u16string_view line) { return startsWith(line, u"//"); }
bool isDirective(std::u16string_view line) { return startsWith(line, DirectivePrefix); }

void applyDirective(std::u16string_view body, TableDirectives& d, TableTextMode mode) {
    auto value = [&](std::u16string_view key, std::u16string_view* out) {
        if (!startsWith(body, key)) return false;
        *out = body.substr(key.size());
        return true;
    };
    std::u16string_view v;
    if (value(u"码表分类=", &v)) {
        if (v == u"辅码码表") d.category = CategoryAuxiliary;
        else if (v == u"主码-系统码表") d.category = CategorySystem;
        else if (v == u"主码-用户码表") d.category = CategoryUser;
        else if (v == u"主码-次显码表") d.category = CategorySecondary;
        else if (startsWith(v, u"主码-")) {
            long long n = leadingNumber(v.substr(3));
            d.category = classifiedCategory(n);
            if (d.names[d.category].empty()) d.names[d.category] = u"分类-" + decimal(d.category - 15);
        }
        return;
    }
    if (value(u"全局排序数值=", &v)) {
        long long n = leadingNumber(v);
        d.globalOrder = static_cast<uint16_t>(n < 0 ? 0 : n > 0xFFFF ? 0xFFFF : n);
        d.globalOrderGiven = true;
        return;
    }
    if (mode == TableTextMode::Import) return;
    const int current = d.category == CategoryNone ? CategorySystem : d.category;
    if (value(u"码表格式=", &v)) {
        if (v == u"单列码表") d.format = 1;
        else if (v == u"酷极格式") d.format = 2;
    } else if (value(u"初始化排序数值=", &v)) {
        long long n = leadingNumber(v);
        if (n > 0) d.initialOrder = static_cast<uint32_t>(n > 0x10000 ? 0x10000 : n);
    } else if (value(u"码表别名=", &v)) {
        d.names[current] = categoryName(v);
    } else if (value(u"允许编辑=", &v)) {
        setEditable(d, current, v);
    } else if (value(u"主码别名=", &v)) {
        d.names[0] = categoryName(v);
    } else if (value(u"主码-系统码表别名=", &v)) {
        d.names[CategorySystem] = categoryName(v);
    } else if (value(u"主码-用户码表别名=", &v)) {
        d.names[CategoryUser] = categoryName(v);
    } else if (value(u"主码-次显码表别名=", &v)) {
        d.names[CategorySecondary] = categoryName(v);
    } else if (value(u"辅码别名=", &v)) {
        d.names[CategoryAuxiliary] = categoryName(v);
    } else if (value(u"主码-分类码表别名", &v)) {
        size_t eq = v.find(u'=');
        long long n = leadingNumber(v);
        if (eq != std::u16string_view::npos && n >= 1 && n <= 16) d.names[15 + n] = categoryName(v.substr(eq + 1));
    } else if (value(u"允许编辑辅码码表=", &v)) {
        setEditable(d, CategoryAuxiliary, v);
    } else if (value(u"允许编辑主码-系统码表=", &v)) {
        setEditable(d, CategorySystem, v);
    } else if (value(u"允许编辑主码-次显码表=", &v)) {
        setEditable(d, CategorySecondary, v);
    } else if (value(u"允许编辑主码-分类码表", &v)) {
        size_t eq = v.find(u'=');
        long long n = leadingNumber(v);
        if (eq != std::u16string_view::npos && n >= 1 && n <= 16) setEditable(d, int(15 + n), v.substr(eq + 1));
    }
}

TableDirectives readDirectives(std::u16string_view text, TableTextMode mode) {
    TableDirectives d;
    forEachLine(text, [&](std::u16string_view line) {
        if (isDirective(line)) applyDirective(line.substr(DirectivePrefix.size()), d, mode);
    });
    return d;
}

size_t unescapeWord(char16_t* w, size_t n, TableTextMode mode) {
    size_t out = 0;
    for (size_t i = 0; i < n; ++i) {
        char16_t c = w[i];
        if (c == u'\\' && i + 1 < n) {
            char16_t e = w[i + 1];
            if (e == u'\\') {
                w[out++] = u'\\';
                ++i;
                continue;
            }
            if (e == u'r') {
                w[out++] = u'\r';
                w[out++] = u'\n';
                ++i;
                continue;
            }
            if (e == u't') {
                w[out++] = u'\t';
                ++i;
                continue;
            }
            if (e == u's' && mode == TableTextMode::FullBuild) {
                w[out++] = u' ';
                ++i;
                continue;
            }
        }
        w[out++] = c;
    }
    return out;
}

std::u16string unescapeWord(std::u16string_view word, TableTextMode mode) {
    std::u16string w(word);
    w.resize(unescapeWord(w.data(), w.size(), mode));
    return w;
}

std::u16string escapeWord(std::u16string_view word) {
    std::u16string out;
    out.reserve(word.size() + 4);
    for (size_t i = 0; i < word.size(); ++i) {
        char16_t c = word[i];
        if (c == u'\r') {
            if (i + 1 < word.size() && word[i + 1] == u'\n') ++i;
            out += u"\\r";
        } else if (c == u'\n') {
            out += u"\\r";
        } else if (c == u'\t') {
            out += u"\\t";
        } else if (c == u'\\') {
            out += u"\\\\";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

bool encodeCode(std::u16string_view text, std::string& out) {
    out.clear();
    if (text.empty() || text.size() > dmg::MaxCodeLen) return false;
    for (char16_t u : text) {
        if (!isCodeUnit(u)) return false;
        out.push_back(static_cast<char>(codeByteFromUnit(u)));
    }
    return true;
}

LineCodeStatus parseLineCode(std::u16string_view codeText, LineCode& out) {
    auto marks = parseMarkedCode(codeText);
    if (!marks) {
        // No code byte at the start: an empty code, or one that begins with
        // a character outside the alphabet.
        size_t cut = codeText.size();
        for (std::u16string_view m : {u"#序", u"#类", u"#用", u"#次", u"#辅", u"#固"})
            cut = std::min(cut, codeText.find(m));
        return cut == 0 ? LineCodeStatus::Empty : LineCodeStatus::BadCharacter;
    }
    std::u16string_view code = marks->codeText;
    bool deleted = false;
    size_t cut = code.find(u"#已删除");
    if (cut != std::u16string_view::npos) {
        code = code.substr(0, cut);
        deleted = true;
    }
    if (code.empty()) return LineCodeStatus::Empty;
    for (char16_t u : code)
        if (!isCodeUnit(u)) return LineCodeStatus::BadCharacter;
    if (code.size() > dmg::MaxCodeLen) return LineCodeStatus::TooLong;
    encodeCode(code, out.code);
    // "#序0" counts as no order value.
    out.orderGiven = marks->orderGiven && marks->order != 0;
    out.categoryGiven = marks->categoryGiven;
    out.attributes = attr::make(marks->order, marks->category, marks->fixed, deleted);
    return LineCodeStatus::Ok;
}

}  // namespace zv::config
