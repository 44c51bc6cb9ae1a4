#include "engine/entry_text.h"

namespace zv {

namespace {

// Finds marker in text; on success returns what follows it and cuts text.
bool takeMarker(std::u16string_view& text, std::u16string_view marker, std::u16string_view* after = nullptr) {
    size_t at = text.find(marker);
    if (at == std::u16string_view::npos) return false;
    if (after) *after = text.substr(at + marker.size());
    text = text.substr(0, at);
    return true;
}

}  // namespace

long long leadingNumber(std::u16string_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    long long n = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        n = n * 10 + (text[i] - u'0');
        if (n > 10000000) n = 10000000;  // far beyond any order value or category
    }
    return negative ? -n : n;
}

std::optional<MarkedCode> parseMarkedCode(std::u16string_view text) {
    MarkedCode m;
    std::u16string_view after;
    if (takeMarker(text, u"#序", &after)) {
        long long n = leadingNumber(after);
        m.order = static_cast<uint16_t>(n < 0 ? 0 : n > 0xFFFF ? 0xFFFF : n);
        m.orderGiven = true;
    }
    if (takeMarker(text, u"#类", &after)) {
        long long n = leadingNumber(after);
        m.category = n <= 0 ? CategoryClassifiedFirst : n > 16 ? CategoryClassifiedLast : static_cast<int>(15 + n);
        m.categoryGiven = true;
    }
    if (takeMarker(text, u"#用")) m.category = CategoryUser, m.categoryGiven = true;
    if (takeMarker(text, u"#次")) m.category = CategorySecondary, m.categoryGiven = true;
    if (takeMarker(text, u"#辅")) m.category = CategoryAuxiliary, m.categoryGiven = true;
    if (takeMarker(text, u"#固")) m.fixed = true;
    m.codeText = text;
    m.code = codeFromText(text);
    if (m.code.empty()) return std::nullopt;
    if (m.code.size() > dmg::MaxCodeLen) m.code.resize(dmg::MaxCodeLen);
    return m;
}

bool buildMarkedRecord(std::u16string_view codeText, std::u16string_view word, RecordBuffer& out) {
    auto m = parseMarkedCode(codeText);
    return m && buildCodeRecord(m->attributes(), m->code, word, out);
}

}  // namespace zv
