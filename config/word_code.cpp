#include "config/word_code.h"

#include <vector>

namespace zv::config {

namespace {

bool isHigh(char16_t u) { return u >= 0xD800 && u < 0xDC00; }
bool isLow(char16_t u) { return u >= 0xDC00 && u < 0xE000; }

// The characters of a word (a surrogate pair is one); false for a broken pair.
bool splitCharacters(std::u16string_view word, std::vector<std::u16string_view>& out) {
    for (size_t i = 0; i < word.size();) {
        if (isHigh(word[i])) {
            if (i + 1 >= word.size() || !isLow(word[i + 1])) return false;
            out.push_back(word.substr(i, 2));
            i += 2;
        } else if (isLow(word[i])) {
            return false;
        } else {
            out.push_back(word.substr(i, 1));
            ++i;
        }
    }
    return true;
}

bool codeOf(const CharCodeTable& danzi, std::u16string_view ch, std::u16string& out) {
    auto records = danzi.lookup(ch);
    if (records.empty() || records.front().second.empty()) return false;
    out = records.front().second;
    return true;
}

}  // namespace

WordCodeStatus wordCode(std::u16string_view word, const DmeSettings& rules, const CharCodeTable& danzi,
                        std::u16string& code) {
    code.clear();
    std::vector<std::u16string_view> chars;
    if (!splitCharacters(word, chars)) return WordCodeStatus::TooLong;
    if (chars.empty()) return WordCodeStatus::Empty;
    if (chars.size() > static_cast<size_t>(MaxFormedWordLength)) return WordCodeStatus::TooLong;
    if (chars.size() == 1) return codeOf(danzi, chars[0], code) ? WordCodeStatus::Ok : WordCodeStatus::NoCode;
    if (!rules) return WordCodeStatus::NoCode;

    const int row = static_cast<int>(chars.size());
    std::vector<std::u16string> codes(chars.size());
    std::vector<bool> looked(chars.size(), false);
    for (int i = 0; i < 127; ++i) {
        uint16_t e = rules.ruleElement(row, i);
        if (e == 0) break;
        uint32_t m = e & 0x7F, d = (e >> 8) & 0x7F;
        bool fromEnd = (e & 0x8000) != 0;
        if (d < 1 || d > chars.size()) return WordCodeStatus::NoCode;
        std::u16string& c = codes[d - 1];
        if (!looked[d - 1]) {
            if (!codeOf(danzi, chars[d - 1], c)) return WordCodeStatus::NoCode;
            looked[d - 1] = true;
        }
        if (m == 0) {
            code += c;
        } else {
            if (m > c.size()) return WordCodeStatus::NoCode;
            code.push_back(fromEnd ? c[c.size() - m] : c[m - 1]);
        }
    }
    return code.empty() ? WordCodeStatus::NoCode : WordCodeStatus::Ok;
}

}  // namespace zv::config
