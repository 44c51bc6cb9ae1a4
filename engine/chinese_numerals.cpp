#include "engine/chinese_numerals.h"

#include <cstdint>

namespace zv {

namespace {

constexpr char16_t kDigits[] = u"〇一二三四五六七八九";
constexpr char16_t kZero = u'零';
constexpr char16_t kPoint = u'点';

bool isDigit(char16_t u) { return u >= u'0' && u <= u'9'; }

char16_t digit(int d, char16_t zero) { return d == 0 ? zero : kDigits[d]; }

bool allDigits(std::u16string_view s) {
    for (char16_t u : s)
        if (!isDigit(u)) return false;
    return true;
}

void appendZeroUnlessThere(std::u16string& text) {
    if (!text.empty() && text.back() != kZero) text.push_back(kZero);
}

char16_t financial(char16_t u) {
    switch (u) {
    case u'〇': return u'零';
    case u'一': return u'壹';
    case u'二': return u'贰';
    case u'三': return u'叁';
    case u'四': return u'肆';
    case u'五': return u'伍';
    case u'六': return u'陆';
    case u'七': return u'柒';
    case u'八': return u'捌';
    case u'九': return u'玖';
    case u'十': return u'拾';
    case u'百': return u'佰';
    case u'千': return u'仟';
    default: return u;
    }
}

}  // namespace

std::u16string chineseDigits(std::u16string_view digits, char16_t zero) {
    std::u16string out;
    for (char16_t u : digits) {
        if (isDigit(u))
            out.push_back(digit(u - u'0', zero));
        else if (u == u'.')
            out.push_back(kPoint);
    }
    return out;
}

std::u16string chineseSmallNumber(int n) {
    std::u16string out;
    if (n < 0) return out;
    if (n < 10) {
        out.push_back(digit(n, kZero));
    } else if (n < 100) {
        if (n >= 20) out.push_back(kDigits[n / 10]);
        out.push_back(u'十');
        if (n % 10) out.push_back(kDigits[n % 10]);
    } else {
        out = chineseGroup(n);
    }
    return out;
}

std::u16string chineseGroup(int n) {
    static constexpr char16_t kUnits[] = {u'千', u'百', u'十', 0};
    std::u16string out;
    if (n <= 0 || n > 9999) return out;
    int divisor = 1000;
    bool pendingZero = false;
    for (int pos = 0; pos < 4; ++pos, divisor /= 10) {
        int d = n / divisor % 10;
        if (d == 0) {
            pendingZero = !out.empty();
            continue;
        }
        if (pendingZero) out.push_back(kZero);
        pendingZero = false;
        out.push_back(kDigits[d]);
        if (kUnits[pos]) out.push_back(kUnits[pos]);
    }
    return out;
}

std::u16string chineseNumber(std::u16string_view number) {
    size_t dot = number.find(u'.');
    std::u16string_view whole = number.substr(0, dot);
    std::u16string_view fraction = dot == std::u16string_view::npos ? std::u16string_view() : number.substr(dot + 1);
    if (whole.empty() || !allDigits(whole) || !allDigits(fraction)) return {};

    std::u16string out;
    size_t first = whole.find_first_not_of(u'0');
    if (first == std::u16string_view::npos) {
        out.assign(whole.size(), u'〇');
    } else {
        std::u16string_view significant = whole.substr(first);
        if (significant.size() > 12) return {};
        int64_t v = 0;
        for (char16_t u : significant) v = v * 10 + (u - u'0');
        int yi = static_cast<int>(v / 100000000), wan = static_cast<int>(v / 10000 % 10000),
            unit = static_cast<int>(v % 10000);
        if (first > 0) out.push_back(kZero);
        if (yi) {
            out += chineseGroup(yi);
            out.push_back(u'亿');
        }
        if (wan) {
            if (wan < 1000) appendZeroUnlessThere(out);
            out += chineseGroup(wan);
            out.push_back(u'万');
        } else if (yi && unit) {
            appendZeroUnlessThere(out);
        }
        if (unit) {
            if (unit < 1000) appendZeroUnlessThere(out);
            out += chineseGroup(unit);
        }
    }
    if (!fraction.empty()) {
        out.push_back(kPoint);
        out += chineseDigits(fraction, kZero);
    }
    return out;
}

std::u16string chineseMoney(std::u16string_view reading) {
    if (reading.empty()) return {};
    size_t point = reading.find(kPoint);
    std::u16string_view yuan = reading.substr(0, point);
    std::u16string_view fraction = point == std::u16string_view::npos ? std::u16string_view() : reading.substr(point + 1);
    if (yuan.empty() || fraction.size() > 2) return {};

    std::u16string out(yuan);
    out.push_back(u'元');
    // A fraction of zeros only is a whole amount: "伍元整", not "伍元零角整".
    if (fraction.find_first_not_of(kZero) == std::u16string_view::npos) {
        out.push_back(u'整');
    } else if (fraction.size() == 1 || fraction[1] == kZero) {
        out.push_back(fraction[0]);
        out += u"角整";
    } else {
        out.push_back(fraction[0]);
        if (fraction[0] != kZero) out.push_back(u'角');
        out.push_back(fraction[1]);
        out.push_back(u'分');
    }
    for (char16_t& u : out) u = financial(u);
    return out;
}

}  // namespace zv
