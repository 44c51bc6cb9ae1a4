#include "tools/mkdata/haifeng.h"

#include "config/text_table.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <unordered_map>

namespace zv::mkdata {

namespace {

std::u16string decimal(long long n) {
    std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

template <class F>
void forEachCodePoint(std::u16string_view t, F f) {
    for (size_t i = 0; i < t.size(); ++i) {
        uint32_t cp = t[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < t.size() && t[i + 1] >= 0xDC00 && t[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (t[i + 1] - 0xDC00);
            ++i;
        }
        f(cp);
    }
}

enum class Group { Common, Word, Other };

// Frequencies of one group mapped onto its band on a log scale, so that the
// order value rises with frequency across all codes.
struct Scale {
    double lo = 0, hi = 0;
    void add(int64_t f) {
        double v = std::log1p(static_cast<double>(f < 0 ? 0 : f));
        if (!seen || v < lo) lo = v;
        if (!seen || v > hi) hi = v;
        seen = true;
    }
    uint16_t map(int64_t f, Band b) const {
        double v = std::log1p(static_cast<double>(f < 0 ? 0 : f));
        double t = hi > lo ? (v - lo) / (hi - lo) : 1.0;
        t = std::clamp(t, 0.0, 1.0);
        return static_cast<uint16_t>(b.low + std::lround(t * (b.high - b.low)));
    }
    bool seen = false;
};

struct Candidate {
    std::u16string code, word;
    int64_t freq;
    bool rare;
};

}  // namespace

bool isChineseCodePoint(uint32_t cp) {
    return cp == 0x3007 || (cp >= 0x3400 && cp <= 0x4DBF) || (cp >= 0x4E00 && cp <= 0x9FFF) ||
           (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0x20000 && cp <= 0x323AF);
}

bool isChineseText(std::u16string_view text) {
    bool all = !text.empty();
    forEachCodePoint(text, [&](uint32_t cp) { all = all && isChineseCodePoint(cp); });
    return all;
}

size_t characterCount(std::u16string_view text) {
    size_t n = 0;
    forEachCodePoint(text, [&](uint32_t) { ++n; });
    return n;
}

std::vector<TableLine> phraseLines(const std::vector<PhraseRow>& rows) {
    // One candidate per code and word: the common form wins over the rare
    // one, then the higher frequency.
    std::map<std::pair<std::u16string, std::u16string>, Candidate> unique;
    for (const PhraseRow& r : rows) {
        Candidate c{r.code, r.phrase, r.freq, false};
        if (!c.word.empty() && c.word.back() == u'.') {
            c.word.pop_back();
            c.rare = true;
        }
        for (char16_t& u : c.code)
            if (u >= u'A' && u <= u'Z') u = static_cast<char16_t>(u - u'A' + u'a');
        if (c.code.empty() || c.word.empty()) continue;
        auto [it, fresh] = unique.try_emplace({c.code, c.word}, c);
        if (!fresh) {
            Candidate& have = it->second;
            if ((have.rare && !c.rare) || (have.rare == c.rare && c.freq > have.freq)) have = c;
        }
    }

    auto groupOf = [](const Candidate& c) {
        if (characterCount(c.word) > 1) return Group::Word;
        bool common = !c.rare && isChineseText(c.word) && c.freq > CommonCharacterFrequency;
        return common ? Group::Common : Group::Other;
    };
    // Characters and words count on different scales; each group is scaled
    // on its own.
    Scale scales[3];
    for (auto& [key, c] : unique) scales[static_cast<int>(groupOf(c))].add(c.freq);

    std::vector<TableLine> out;
    out.reserve(unique.size());
    for (auto& [key, c] : unique) {
        TableLine l{c.code, c.word, 0, 0};
        const bool single = characterCount(c.word) == 1;
        if (c.rare || !isChineseText(c.word)) l.category = CatSecondary;
        else if (c.code.size() == 1) l.category = CatOneKey;
        else if (!single) l.category = CatWord;
        else if (c.code.size() == 2) l.category = CatTwoKey;
        else if (c.code.size() == 3) l.category = CatThreeKey;
        else l.category = CatCharacter;
        Group g = groupOf(c);
        Band band = g == Group::Common ? CommonCharacterBand : g == Group::Word ? WordBand : OtherCharacterBand;
        l.order = scales[static_cast<int>(g)].map(c.freq, band);
        out.push_back(std::move(l));
    }
    return out;
}

std::vector<TableLine> pinyinLines(const std::vector<PinyinRow>& rows, const std::vector<PhraseRow>& phrases) {
    // The fullest code of each character that the table lets one type.
    std::unordered_map<std::u16string, std::u16string> wubi;
    for (const PhraseRow& p : phrases) {
        if (p.phrase.empty() || p.phrase.back() == u'.' || characterCount(p.phrase) != 1) continue;
        bool lower = std::all_of(p.code.begin(), p.code.end(), [](char16_t u) { return u >= u'a' && u <= u'z'; });
        if (!lower) continue;
        std::u16string& have = wubi[p.phrase];
        if (p.code.size() > have.size() || (p.code.size() == have.size() && p.code < have)) have = p.code;
    }
    std::map<std::pair<std::u16string, std::u16string>, int64_t> unique;
    Scale scale;
    for (const PinyinRow& r : rows) {
        std::u16string code;
        for (char16_t u : r.pinyin)
            if (u >= u'a' && u <= u'z') code.push_back(u);
        if (code.empty() || characterCount(r.zi) != 1 || !wubi.count(r.zi)) continue;
        auto [it, fresh] = unique.try_emplace({code, r.zi}, r.freq);
        if (!fresh && r.freq > it->second) it->second = r.freq;
        scale.add(r.freq);
    }
    std::vector<TableLine> out;
    out.reserve(unique.size());
    for (auto& [key, freq] : unique) {
        const std::u16string& zi = key.second;
        std::u16string word = u"$zvcmd(" + zi + u"," + zi + u"[" + wubi[zi] + u"])";
        out.push_back({key.first, word, CatPinyin, scale.map(freq, PinyinBand)});
    }
    return out;
}

std::u16string formatLine(const TableLine& l) {
    std::u16string s = config::escapeWord(l.word);
    // A word that begins with "//" would read as a comment: "///" keeps it.
    if (s.substr(0, 2) == u"//") s.insert(s.begin(), u'/');
    s += u'\t';
    s += l.code;
    if (l.category == CatSecondary) s += u"#次";
    else if (l.category == CatPinyin) s += u"#辅";
    else if (l.category == 2) s += u"#用";
    else if (l.category >= 16 && l.category <= 31) s += u"#类" + decimal(l.category - 15);
    if (l.order) s += u"#序" + decimal(l.order);
    s += u"\r\n";
    return s;
}

}  // namespace zv::mkdata
