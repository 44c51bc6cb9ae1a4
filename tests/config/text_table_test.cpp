#include "config/text_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace zv::config {
namespace {

TEST(TextTable, LinesEndAtCrLfCrOrLf) {
    std::vector<std::u16string> lines;
    forEachLine(u"a\r\nb\rc\nd", [&](std::u16string_view l) { lines.emplace_back(l); });
    EXPECT_EQ((std::vector<std::u16string>{u"a", u"b", u"c", u"d"}), lines);
    lines.clear();
    forEachLine(u"a\r\n\r\n", [&](std::u16string_view l) { lines.emplace_back(l); });
    EXPECT_EQ((std::vector<std::u16string>{u"a", u""}), lines);
}

TEST(TextTable, DirectivesLastOneWinsAndNamesAreCut) {
    TableDirectives d = readDirectives(
        u"---config@码表分类=辅码码表\r\n"
        u"x\ta\r\n"
        u"---config@全局排序数值=500\r\n"
        u"---config@码表分类=主码-99\r\n"
        u"---config@码表别名=一二三四五六七八九十\r\n"
        u"---config@允许编辑=是的\r\n"
        u"---config@初始化排序数值=30000\r\n"
        u"---config@主码-分类码表别名3=三简\r\n"
        u"---config@允许编辑主码-次显码表=否\r\n"
        u"---config@码表格式=酷极格式\r\n",
        TableTextMode::FullBuild);
    EXPECT_EQ(CategoryClassifiedLast, d.category);  // 99 is clamped to 16
    EXPECT_TRUE(d.globalOrderGiven);
    EXPECT_EQ(500, d.globalOrder);
    EXPECT_EQ(30000u, d.initialOrder);
    EXPECT_EQ(u"一二三四五六七八", d.names[31]);
    EXPECT_EQ(RightEditable, d.rights[31]);
    EXPECT_EQ(u"三简", d.names[18]);
    EXPECT_EQ(0u, d.rights[3]);
    EXPECT_EQ(2, d.format);

    // "主码-" N gives a default name; 0 and below give classified table 1.
    d = readDirectives(u"---config@码表分类=主码--5", TableTextMode::FullBuild);
    EXPECT_EQ(CategoryClassifiedFirst, d.category);
    EXPECT_EQ(u"分类-1", d.names[16]);

    // An import honours only the category and the global order value.
    d = readDirectives(u"---config@码表别名=甲\r\n---config@初始化排序数值=5\r\n---config@码表分类=主码-用户码表",
                       TableTextMode::Import);
    EXPECT_EQ(CategoryUser, d.category);
    EXPECT_TRUE(d.names[1].empty());
    EXPECT_EQ(0x4000u, d.initialOrder);
}

TEST(TextTable, WordEscapesAndTheirInverse) {
    EXPECT_EQ(u"a\\b\r\nc\td\\s", unescapeWord(u"a\\\\b\\rc\\td\\s", TableTextMode::Import));
    EXPECT_EQ(u"a b", unescapeWord(u"a\\sb", TableTextMode::FullBuild));
    EXPECT_EQ(u"x\\", unescapeWord(u"x\\", TableTextMode::FullBuild));  // a lone backslash stays
    for (std::u16string w : {u"a\r\nb", u"t\tab", u"back\\slash", u"\\r", u"plain"})
        EXPECT_EQ(w, unescapeWord(escapeWord(w), TableTextMode::Import)) << std::string(w.begin(), w.end());
    EXPECT_EQ(u"a\\rb\\rc", escapeWord(u"a\rb\nc"));
}

TEST(TextTable, LineCodeMarkersAndRejections) {
    LineCode lc;
    // Markers are honoured when written in the reverse of the order in
    // which they are looked up: "#序" cuts off all that follows it.
    ASSERT_EQ(LineCodeStatus::Ok, parseLineCode(u"ab#固#类2#序300", lc));
    EXPECT_EQ("ab", lc.code);
    EXPECT_EQ(attr::make(300, 17, true), lc.attributes);
    EXPECT_TRUE(lc.orderGiven);
    EXPECT_TRUE(lc.categoryGiven);

    // The export's "#已删除" reads back as the deleted bit.
    ASSERT_EQ(LineCodeStatus::Ok, parseLineCode(u"abcd#已删除#固#用#序5", lc));
    EXPECT_EQ("abcd", lc.code);
    EXPECT_EQ(attr::make(5, CategoryUser, true, true), lc.attributes);

    ASSERT_EQ(LineCodeStatus::Ok, parseLineCode(u"a#序7#固", lc));
    EXPECT_EQ(attr::make(7, 0), lc.attributes);
    ASSERT_EQ(LineCodeStatus::Ok, parseLineCode(u"a#序0", lc));
    EXPECT_FALSE(lc.orderGiven);  // "#序0" counts as no order value

    // Keypad forms are stored as their bytes; any other "#" is code.
    ASSERT_EQ(LineCodeStatus::Ok, parseLineCode(u"１＋a#", lc));
    EXPECT_EQ(std::string("\x11\x0B" "a#"), lc.code);

    EXPECT_EQ(LineCodeStatus::BadCharacter, parseLineCode(u"ab中", lc));
    EXPECT_EQ(LineCodeStatus::BadCharacter, parseLineCode(u"中ab", lc));
    EXPECT_EQ(LineCodeStatus::BadCharacter, parseLineCode(u"a\tb", lc));
    EXPECT_EQ(LineCodeStatus::Empty, parseLineCode(u"", lc));
    EXPECT_EQ(LineCodeStatus::Empty, parseLineCode(u"#用", lc));
    EXPECT_EQ(LineCodeStatus::TooLong, parseLineCode(std::u16string(129, u'a'), lc));
    EXPECT_EQ(LineCodeStatus::Ok, parseLineCode(std::u16string(128, u'a'), lc));
}

}  // namespace
}  // namespace zv::config
