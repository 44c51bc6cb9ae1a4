#include "engine/macros.h"

#include "engine/chinese_numerals.h"
#include "engine/lookup.h"
#include "engine/output_conversion.h"
#include "platform/clock.h"
#include "platform/services.h"

#include <algorithm>

namespace zv {

namespace {

constexpr std::u16string_view kMacroPrefix = u"$zvcmd(";
constexpr size_t kMinMacroUnits = 11;
constexpr size_t kPlaceholderPartUnits = 20;
constexpr size_t kClipboardUnits = 128;

constexpr std::u16string_view kWeekdays[] = {u"日", u"一", u"二", u"三", u"四", u"五", u"六"};

std::u16string number(int64_t v) {
    std::u16string s;
    bool negative = v < 0;
    uint64_t m = negative ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
    do {
        s.push_back(static_cast<char16_t>(u'0' + m % 10));
        m /= 10;
    } while (m);
    if (negative) s.push_back(u'-');
    std::reverse(s.begin(), s.end());
    return s;
}

// A zero first below 10: `zero` then the number as `write` gives it.
template <typename Write>
std::u16string withZero(int v, std::u16string_view zero, Write write) {
    std::u16string s;
    if (v >= 0 && v < 10) s = zero;
    s += write(v);
    return s;
}

std::u16string padded(int v) { return withZero(v, u"0", number); }

// "HH", "MM", "SS", "DD": a zero first below 10, read as 零.
std::u16string chinesePadded(int v) { return withZero(v, u"零", chineseSmallNumber); }

bool onlyOf(std::u16string_view s, char16_t u) {
    return !s.empty() && s.find_first_not_of(u) == std::u16string_view::npos;
}

std::u16string expandTime(std::u16string_view f, const platform::LocalTime& t) {
    if (f == u"h") return number(t.hour);
    if (f == u"hh") return padded(t.hour);
    if (f == u"m") return number(t.minute);
    if (f == u"mm") return padded(t.minute);
    if (f == u"s") return number(t.second);
    if (f == u"ss") return padded(t.second);
    if (f == u"H") return chineseSmallNumber(t.hour);
    if (f == u"HH") return chinesePadded(t.hour);
    if (f == u"M") return chineseSmallNumber(t.minute);
    if (f == u"MM") return chinesePadded(t.minute);
    if (f == u"S") return chineseSmallNumber(t.second);
    if (f == u"SS") return chinesePadded(t.second);
    return u"#";
}

std::u16string expandDate(std::u16string_view f, const platform::LocalTime& t) {
    int shortYear = (t.year % 100 + 100) % 100;
    if (f == u"yyyy") return number(t.year);
    if (onlyOf(f, u'y')) return padded(shortYear);
    if (f == u"m") return number(t.month);
    if (f == u"mm") return padded(t.month);
    if (f == u"d") return number(t.day);
    if (f == u"dd") return padded(t.day);
    if (f == u"YYYY") return chineseDigits(number(t.year), u'〇');
    if (f == u"Y") return chineseDigits(padded(shortYear), u'〇');
    if (f == u"M") return chineseSmallNumber(t.month);
    if (f == u"MM") return chinesePadded(t.month);
    if (f == u"D") return chineseSmallNumber(t.day);
    if (f == u"DD") return chinesePadded(t.day);
    if ((f == u"z" || f == u"Z") && t.weekday >= 0 && t.weekday < 7)
        return std::u16string(f == u"z" ? u"星期" : u"周") + std::u16string(kWeekdays[t.weekday]);
    return u"#";
}

std::u16string expandOne(std::u16string_view name, std::u16string_view field, const MacroSources& src) {
    if (name == u"time" || name == u"date" || name == u"data") {
        if (!src.clock) return {};
        if (!src.time) src.time = src.clock->localTime();
        return name == u"time" ? expandTime(field, *src.time) : expandDate(field, *src.time);
    }
    if (name == u"last") {
        std::u16string_view v = field == u"1" ? src.lastOutput : field == u"2" ? src.previousComposition : u"";
        return v.empty() ? u" " : std::u16string(v);
    }
    if (name == u"u16value") {
        std::u16string out;
        for (char16_t u : field) out += u"0x" + number(u) + u",";
        return out;
    }
    if (name == u"clipboard") {
        if (!src.clipboard) return {};
        if (!src.clipboardText) {
            src.clipboardText = src.clipboard->text();
            cutText(*src.clipboardText, kClipboardUnits);
        }
        return *src.clipboardText;
    }
    return {};
}

std::u16string partOf(std::u16string_view text, size_t from, size_t to) {
    return from < to ? std::u16string(text.substr(from, to - from)) : std::u16string();
}

// ASCII digits and dots of a temporary-English code (keypad units read as
// their ASCII characters); nothing when anything else is in it.
std::optional<std::u16string> digitsAndDots(std::u16string_view code) {
    std::u16string out;
    bool digit = false;
    for (char16_t u : code) {
        if (u >= 0x10 && u <= 0x19) u = static_cast<char16_t>(u + 32);  // keypad digits
        if (u == 0x0E) u = u'.';                                         // keypad point
        if (u >= u'0' && u <= u'9')
            digit = true;
        else if (u != u'.')
            return std::nullopt;
        out.push_back(u);
    }
    if (!digit) return std::nullopt;
    return out;
}

// A short number; -1 when empty or too long to be a date part.
int datePart(std::u16string_view s) {
    if (s.empty() || s.size() > 5) return -1;
    int v = 0;
    for (char16_t u : s) v = v * 10 + (u - u'0');
    return v;
}

void addFullDate(std::vector<GeneratedCandidate>& out, std::u16string_view y, std::u16string_view m,
                 std::u16string_view d) {
    if (y.empty() || m.empty()) return;
    out.push_back({std::u16string(y) + u"年" + std::u16string(m) + u"月" + std::u16string(d) + u"日", kGeneratedScore});
    int month = datePart(m), day = datePart(d);
    if ((y.size() != 2 && y.size() != 4) || month < 1 || month > 12 || day < 1 || day > 31) return;
    out.push_back({chineseDigits(y, u'〇') + u"年" + chineseSmallNumber(month) + u"月" + chineseSmallNumber(day) + u"日",
                   kGeneratedScore - 1});
}

void addShortDate(std::vector<GeneratedCandidate>& out, std::u16string_view a, std::u16string_view b) {
    int va = datePart(a), vb = datePart(b);
    auto add = [&](std::u16string text) { out.push_back({std::move(text), kGeneratedScore - static_cast<int>(out.size())}); };
    bool monthDay = va >= 1 && va <= 12 && vb >= 1 && vb <= 31;
    if (monthDay && a[0] != u'0') add(number(va) + u"月" + number(vb) + u"日");
    if (monthDay) add(chineseSmallNumber(va) + u"月" + chineseSmallNumber(vb) + u"日");
    bool yearMonthB = vb >= 1 && vb <= 12;
    if (yearMonthB && va >= 2 && va <= 9998) add(number(va) + u"年" + number(vb) + u"月");
    if (yearMonthB && (a.size() == 1 || a.size() == 2 || a.size() == 4)) {
        std::u16string year(a);
        if (year.size() == 1) year.insert(year.begin(), u'0');
        add(chineseDigits(year, u'〇') + u"年" + chineseSmallNumber(vb) + u"月");
    }
}

void addAmount(std::vector<GeneratedCandidate>& out, std::u16string_view n) {
    std::u16string reading = chineseNumber(n);
    if (!reading.empty()) {
        std::u16string money = chineseMoney(reading);
        out.push_back({std::move(reading), kGeneratedScore});
        if (!money.empty()) out.push_back({std::move(money), kMoneyScore});
    }
    out.push_back({chineseDigits(n, u'〇'), kGeneratedScore - static_cast<int>(out.size())});
}

}  // namespace

std::u16string applyEntryEscapes(std::u16string_view text) {
    // Most texts hold no escape; "\r" is the only one that grows the text.
    const size_t first = text.find(u'\\');
    if (first == std::u16string_view::npos) return std::u16string(text);
    std::u16string out;
    out.reserve(text.size() + 8);
    out.append(text.substr(0, first));
    for (size_t i = first; i < text.size(); ++i) {
        char16_t u = text[i];
        if (u != u'\\' || i + 1 == text.size()) {
            out.push_back(u);
            continue;
        }
        char16_t next = text[++i];
        switch (next) {
        case u'\\': out.push_back(u'\\'); break;
        case u's': out.push_back(u' '); break;
        case u't': out.push_back(u'\t'); break;
        case u'r': out += u"\r\n"; break;
        default:
            out.push_back(u'\\');
            out.push_back(next);
        }
    }
    return out;
}

std::u16string expandPlaceholders(std::u16string_view text, const MacroSources& sources) {
    std::u16string out;
    out.reserve(std::min(kMacroTextUnits, text.size() + 16));
    for (size_t i = 0; i < text.size() && out.size() < kMacroTextUnits;) {
        if (text[i] == u'<') {
            size_t close = text.find(u'>', i + 1);
            if (close != std::u16string_view::npos) {
                std::u16string_view inner = text.substr(i + 1, close - i - 1);
                size_t dot = inner.find(u'.');
                std::u16string_view name = inner.substr(0, dot);
                std::u16string_view field = dot == std::u16string_view::npos ? u"" : inner.substr(dot + 1);
                if (!name.empty() && name.size() <= kPlaceholderPartUnits && field.size() <= kPlaceholderPartUnits) {
                    std::u16string expansion = expandOne(name, field, sources);
                    if (!expansion.empty()) {
                        out += expansion;
                        i = close + 1;
                        continue;
                    }
                }
            }
        }
        out.push_back(text[i++]);
    }
    cutText(out, kMacroTextUnits);
    return out;
}

std::optional<MacroEntry> parseMacroEntry(std::u16string_view text, const MacroSources& sources) {
    if (text.size() < kMinMacroUnits || !text.starts_with(kMacroPrefix) || text.back() != u')') return std::nullopt;
    const size_t begin = kMacroPrefix.size(), end = text.size() - 1;
    // A quoted output may hold anything up to its closing quote.
    const bool quoted = text[begin] == u'"';
    auto unquote = [&](std::u16string s) {
        if (!quoted) return s;
        s.erase(0, 1);
        if (!s.empty() && s.back() == u'"') s.pop_back();
        return s;
    };
    std::u16string output, display;
    size_t comma = text.rfind(u',');
    if (comma != std::u16string_view::npos && comma >= begin) {
        output = unquote(partOf(text, begin, comma));
        display = partOf(text, comma + 1, end);
    } else {
        output = display = unquote(partOf(text, begin, end));
    }
    MacroEntry m;
    m.output = expandPlaceholders(applyEntryEscapes(output), sources);
    m.display = expandPlaceholders(applyEntryEscapes(display), sources);
    return m;
}

std::vector<GeneratedCandidate> tempEnglishCandidates(std::u16string_view code) {
    std::vector<GeneratedCandidate> out;
    std::optional<std::u16string> n = digitsAndDots(code);
    if (!n) return out;
    size_t dot1 = n->find(u'.');
    size_t dot2 = dot1 == std::u16string::npos ? dot1 : n->find(u'.', dot1 + 1);
    if (dot2 == std::u16string::npos) {
        addAmount(out, *n);
    } else if (n->find(u'.', dot2 + 1) == std::u16string::npos) {
        std::u16string_view all = *n;
        std::u16string_view a = all.substr(0, dot1), b = all.substr(dot1 + 1, dot2 - dot1 - 1), c = all.substr(dot2 + 1);
        if (c.empty())
            addShortDate(out, a, b);
        else
            addFullDate(out, a, b, c);
    }
    for (GeneratedCandidate& g : out) cutText(g.text, kGeneratedTextUnits);
    return out;
}

int generateTempEnglishCandidates(EngineContext& ctx, std::u16string_view code) {
    int added = 0;
    for (const GeneratedCandidate& g : tempEnglishCandidates(code))
        if (addTextCandidate(ctx, g.text, SourceGenerated, g.score)) ++added;
    return added;
}

}  // namespace zv
