#include "engine/rules.h"

#include <cstring>

namespace zv {
namespace {

size_t rowOffset(int length) { return DmeSettings::Rules + DmeSettings::RuleRowSize * static_cast<size_t>(length); }

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Reads a decimal number at pos; false when there is none. Long numbers
// saturate instead of wrapping, so that they still fail the range checks.
bool readNumber(std::u16string_view s, size_t& pos, int& out) {
    if (pos >= s.size() || !isDigit(s[pos])) return false;
    long v = 0;
    while (pos < s.size() && isDigit(s[pos])) {
        if (v < 1000000) v = v * 10 + (s[pos] - u'0');
        ++pos;
    }
    out = static_cast<int>(v);
    return true;
}

}  // namespace

std::vector<uint16_t> ruleElements(const DmeSettings& dme, int length) {
    std::vector<uint16_t> out;
    if (length < rule::MinLength || length > rule::MaxLength) return out;
    for (int i = 0; i < rule::MaxElements; ++i) {
        uint16_t e = dme.ruleElement(length, i);
        if (!e) break;
        out.push_back(e);
    }
    return out;
}

void setRule(DmeSettings& dme, int length, const std::vector<uint16_t>& elements) {
    if (length < rule::MinLength || length > rule::MaxLength) return;
    const size_t row = rowOffset(length);
    const size_t slots = DmeSettings::RuleRowSize / 2;
    for (size_t i = 0; i < slots; ++i) {
        uint16_t e = i < elements.size() && i < static_cast<size_t>(rule::MaxElements) ? elements[i] : 0;
        dme.setU16(row + 2 * i, e);
    }
}

void clearRules(DmeSettings& dme) {
    // The rows of every length, emptied in one write (a settings text is
    // read after them, rule by rule).
    std::memset(dme.base + rowOffset(rule::MinLength), 0,
                DmeSettings::RuleRowSize * static_cast<size_t>(rule::MaxLength - rule::MinLength + 1));
}

RuleResult parseRule(DmeSettings& dme, std::u16string_view line) {
    // Blanks carry no meaning in a rule; dropping them first keeps the
    // grammar below simple.
    std::u16string s;
    for (char16_t c : line)
        if (c != u' ' && c != u'\t') s.push_back(c);
    size_t pos = 0;
    if (s.empty() || (s[0] != u'P' && s[0] != u'p')) return RuleResult::Rejected;
    ++pos;
    int length = 0;
    if (!readNumber(s, pos, length)) return RuleResult::Rejected;
    if (pos >= s.size() || s[pos] != u'=') return RuleResult::Rejected;
    ++pos;
    if (length < rule::MinLength || length > rule::MaxLength) return RuleResult::LengthIgnored;

    std::vector<uint16_t> elements;
    while (pos < s.size()) {
        if (s[pos] == u'+') ++pos;
        if (pos >= s.size()) return RuleResult::Rejected;
        char16_t side = s[pos++];
        int k = 0;
        if (!readNumber(s, pos, k)) return RuleResult::Rejected;
        int d;
        if (side == u'L' || side == u'l') {
            d = k;
        } else if (side == u'R' || side == u'r') {
            d = length - k + 1;
        } else {
            return RuleResult::Rejected;
        }
        if (d < 1 || d > rule::MaxCharacter) return RuleResult::Rejected;
        if (pos >= s.size()) return RuleResult::Rejected;
        char16_t kind = s[pos++];
        bool f;
        if (kind == u'B' || kind == u'b') {
            f = false;
        } else if (kind == u'F' || kind == u'f') {
            f = true;
        } else {
            return RuleResult::Rejected;
        }
        int m = 0;
        if (!readNumber(s, pos, m)) return RuleResult::Rejected;
        if (elements.size() >= static_cast<size_t>(rule::MaxElements)) return RuleResult::Rejected;
        elements.push_back(rule::element(d, m & rule::PositionMask, f));
    }
    setRule(dme, length, elements);
    return RuleResult::Applied;
}

std::u16string ruleText(const DmeSettings& dme, int length) {
    auto number = [](std::u16string& out, int v) {
        std::string digits = std::to_string(v);
        out.append(digits.begin(), digits.end());
    };
    std::u16string parts;
    for (uint16_t e : ruleElements(dme, length)) {
        int d = rule::character(e);
        // An element that names no character cannot be read back; leaving it
        // out keeps the rest of the rule.
        if (d < 1 || d > rule::MaxCharacter) continue;
        if (!parts.empty()) parts += u'+';
        parts += u'L';
        number(parts, d);
        parts += rule::isF(e) ? u'F' : u'B';
        number(parts, rule::position(e));
    }
    if (parts.empty()) return {};
    std::u16string line = u"P";
    number(line, length);
    line += u'=';
    return line + parts;
}

}  // namespace zv
