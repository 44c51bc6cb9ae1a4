#pragma once
// The default main table made from the Haifeng Wubi 86 table of
// ibus-table-wubi: each row becomes a line of our text code table with the
// category and order value that make Wubi typists' expected candidates come
// first. Pure functions over rows, so that the rules can be tested without
// the database.

#include <cstdint>
#include <string>
#include <vector>

namespace zv::mkdata {

struct PhraseRow {
    std::u16string code;    // tabkeys
    std::u16string phrase;  // a rare character carries a trailing "."
    int64_t freq = 0;
};

struct PinyinRow {
    std::u16string pinyin;  // letters and a tone mark ("!", "@", "#", "$", "%")
    std::u16string zi;
    int64_t freq = 0;
};

// Categories of the default main table.
enum : int {
    CatOneKey = 1,       // 一简
    CatSecondary = 3,    // 生僻字: rare characters and everything not Chinese
    CatPinyin = 4,       // 拼音
    CatTwoKey = 16,      // 二简
    CatThreeKey = 17,    // 三简
    CatCharacter = 18,   // 常用
    CatWord = 20,        // 词组
    CatSymbol = 24,      // 符号 (our macro entries)
};

// Order-value bands (0x2000..0x3FFF for system entries): common characters
// above words above other characters above pinyin entries.
struct Band {
    uint16_t low, high;
};
constexpr Band CommonCharacterBand{0x3000, 0x3FFF};
constexpr Band WordBand{0x2800, 0x2FFF};
constexpr Band OtherCharacterBand{0x2400, 0x27FF};
constexpr Band PinyinBand{0x2000, 0x23FF};
// Haifeng's characters above this frequency are its band of common ones.
constexpr int64_t CommonCharacterFrequency = 1000;

// A code point of a Chinese character (CJK ideographs, their extensions and
// compatibility forms, and 〇).
bool isChineseCodePoint(uint32_t cp);
// Every character of the text is Chinese (a surrogate pair is one).
bool isChineseText(std::u16string_view text);
size_t characterCount(std::u16string_view text);

struct TableLine {
    std::u16string code;
    std::u16string word;
    int category = 0;
    uint16_t order = 0;
};

// Lines for the phrase rows: rare marks dropped, codes lower-cased, the same
// code and word kept once (the common form before the rare one, then the
// more frequent), categories and order values assigned.
std::vector<TableLine> phraseLines(const std::vector<PhraseRow>& rows);

// Auxiliary pinyin lines: the pinyin without its tone as the code, and a
// macro entry that shows the character with its Wubi code,
// "$zvcmd(阿,阿[bskg])". The Wubi code is the longest code the phrase rows
// give the character; characters without one are left out.
std::vector<TableLine> pinyinLines(const std::vector<PinyinRow>& rows, const std::vector<PhraseRow>& phrases);

// A line of the text code table: word, TAB, code, "#类"/"#次"/"#辅"
// marker, "#序" order value, CR LF. Words are escaped.
std::u16string formatLine(const TableLine& line);

}  // namespace zv::mkdata
