#include "tools/mkdata/haifeng.h"
#include "tools/mkdata/haifeng_db.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

namespace zv::mkdata {
namespace {

const TableLine* find(const std::vector<TableLine>& lines, std::u16string_view code, std::u16string_view word) {
    for (auto& l : lines)
        if (l.code == code && l.word == word) return &l;
    return nullptr;
}

// Rows of our own making, shaped like the Haifeng table's.
const std::vector<PhraseRow> kRows = {
    {u"g", u"一", 17000},   {u"ggl", u"一", 17000},  {u"ggll", u"一", 17000}, {u"ggll", u"⼀.", 100},
    {u"ggll", u"①", 95},    {u"gg", u"五", 1800},    {u"gggg", u"王", 1900},  {u"gggg", u"一一", 12000000},
    {u"gggg", u"琵琶", 2000000}, {u"gggg", u"王.", 92}, {u"GGGG", u"𤣩.", 93}, {u"aaaa", u"㠭", 99},
    {u"aaaa", u"工", 2200}, {u"aaaa", u"恭恭敬敬", 600000}, {u"kh", u"中国", 200000000},
};

TEST(Haifeng, CategoriesOfTheDefaultTable) {
    auto lines = phraseLines(kRows);
    EXPECT_EQ(CatOneKey, find(lines, u"g", u"一")->category);
    EXPECT_EQ(CatTwoKey, find(lines, u"gg", u"五")->category);
    EXPECT_EQ(CatThreeKey, find(lines, u"ggl", u"一")->category);
    EXPECT_EQ(CatCharacter, find(lines, u"ggll", u"一")->category);
    EXPECT_EQ(CatCharacter, find(lines, u"aaaa", u"㠭")->category);  // rare by use, but Chinese and unmarked
    EXPECT_EQ(CatWord, find(lines, u"gggg", u"一一")->category);
    EXPECT_EQ(CatWord, find(lines, u"kh", u"中国")->category);       // a word, whatever its code length
    EXPECT_EQ(CatSecondary, find(lines, u"ggll", u"⼀")->category);  // rare mark dropped
    EXPECT_EQ(CatSecondary, find(lines, u"ggll", u"①")->category);  // not Chinese
    EXPECT_EQ(CatSecondary, find(lines, u"gggg", u"𤣩")->category);  // upper-case code lowered
    // The common form of 王 wins over its rare twin.
    EXPECT_EQ(CatCharacter, find(lines, u"gggg", u"王")->category);
    EXPECT_EQ(1, std::count_if(lines.begin(), lines.end(), [](auto& l) { return l.word == u"王"; }));
}

TEST(Haifeng, OrderValuesRankCommonCharactersThenWordsThenTheRest) {
    auto lines = phraseLines(kRows);
    auto order = [&](std::u16string_view c, std::u16string_view w) { return find(lines, c, w)->order; };
    EXPECT_GT(order(u"gggg", u"王"), order(u"gggg", u"一一"));
    EXPECT_GT(order(u"gggg", u"一一"), order(u"gggg", u"琵琶"));
    EXPECT_GT(order(u"aaaa", u"工"), order(u"aaaa", u"恭恭敬敬"));
    EXPECT_GT(order(u"aaaa", u"恭恭敬敬"), order(u"aaaa", u"㠭"));
    // One scale across codes: the more frequent character ranks higher.
    EXPECT_GT(order(u"g", u"一"), order(u"aaaa", u"工"));
    for (auto& l : lines) {
        EXPECT_GE(l.order, 0x2000);
        EXPECT_LE(l.order, 0x3FFF);
    }
}

TEST(Haifeng, PinyinEntriesShowTheWubiCode) {
    auto lines = pinyinLines({{u"yi!", u"一", 500}, {u"yi$", u"一", 900}, {u"wang@", u"王", 300}, {u"a!", u"阿", 10}},
                             kRows);
    ASSERT_EQ(2u, lines.size());  // 阿 has no Wubi code among the rows
    const TableLine* yi = find(lines, u"yi", u"$zvcmd(一,一[ggll])");
    ASSERT_NE(nullptr, yi);
    EXPECT_EQ(CatPinyin, yi->category);
    EXPECT_GT(yi->order, find(lines, u"wang", u"$zvcmd(王,王[gggg])")->order);
    EXPECT_LE(yi->order, PinyinBand.high);
}

TEST(Haifeng, LinesReadBackAsWritten) {
    EXPECT_EQ(u"一\tggll#类3#序300\r\n", formatLine({u"ggll", u"一", CatCharacter, 300}));
    EXPECT_EQ(u"①\tggll#次#序1\r\n", formatLine({u"ggll", u"①", CatSecondary, 1}));
    EXPECT_EQ(u"工\ta\r\n", formatLine({u"a", u"工", CatOneKey, 0}));
    EXPECT_EQ(u"///x\\t\tzz#类9\r\n", formatLine({u"zz", u"//x\t", CatSymbol, 0}));
}

// The stated results of the default table, on the real Haifeng table when
// this machine has it: what the first candidates of a code are with the
// shipped settings (secondary and auxiliary entries not shown).
TEST(Haifeng, ExpectedFirstCandidatesOfTheRealTable) {
    const char* db = "/usr/share/ibus-table/tables/wubi-haifeng86.db";
    if (!std::filesystem::exists(db)) GTEST_SKIP() << "ibus-table-wubi is not installed";
    HaifengData data;
    ASSERT_TRUE(readHaifengDatabase(db, data));
    std::map<std::u16string, std::vector<const TableLine*>> byCode;
    auto lines = phraseLines(data.phrases);
    for (auto& l : lines)
        if (l.category != CatSecondary) byCode[l.code].push_back(&l);
    auto candidates = [&](std::u16string_view code) {
        auto list = byCode[std::u16string(code)];
        std::stable_sort(list.begin(), list.end(), [](auto* a, auto* b) { return a->order > b->order; });
        std::vector<std::u16string> words;
        for (auto* l : list) words.push_back(l->word);
        return words;
    };
    EXPECT_EQ(std::vector<std::u16string>{u"一"}, candidates(u"ggll"));
    EXPECT_EQ(u"王", candidates(u"gggg").at(0));
    EXPECT_EQ(u"工", candidates(u"aaaa").at(0));
    EXPECT_EQ(u"人", candidates(u"wwww").at(0));
    EXPECT_EQ(u"中国", candidates(u"khlg").at(0));
    auto wqvb = candidates(u"wqvb");
    EXPECT_EQ(u"你好", wqvb.at(0));
    EXPECT_EQ(u"您好", wqvb.at(1));
}

}  // namespace
}  // namespace zv::mkdata
