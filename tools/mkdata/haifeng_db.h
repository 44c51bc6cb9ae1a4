#pragma once
// Reading the tables of wubi-haifeng86.db (SQLite) that the data folder is
// made from.

#include "tools/mkdata/haifeng.h"

#include <string>
#include <utility>
#include <vector>

namespace zv::mkdata {

struct HaifengData {
    std::vector<PhraseRow> phrases;                               // phrases(tabkeys, phrase, freq)
    std::vector<PinyinRow> pinyin;                                // pinyin(pinyin, zi, freq)
    std::vector<std::pair<std::u16string, std::u16string>> goucima;  // goucima(zi, goucima)
    std::vector<std::pair<std::u16string, int64_t>> suggestions;  // suggestion(phrase, freq)
};

// False when the file cannot be opened or a table cannot be read.
bool readHaifengDatabase(const std::string& path, HaifengData& out);

}  // namespace zv::mkdata
