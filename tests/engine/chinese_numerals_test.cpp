#include "engine/chinese_numerals.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

TEST(ChineseNumerals, SmallNumbers) {
    EXPECT_EQ(u"零", chineseSmallNumber(0));
    EXPECT_EQ(u"九", chineseSmallNumber(9));
    EXPECT_EQ(u"十", chineseSmallNumber(10));
    EXPECT_EQ(u"十五", chineseSmallNumber(15));
    EXPECT_EQ(u"二十", chineseSmallNumber(20));
    EXPECT_EQ(u"三十一", chineseSmallNumber(31));
    EXPECT_EQ(u"四十", chineseSmallNumber(40));
    EXPECT_EQ(u"五十九", chineseSmallNumber(59));
    EXPECT_EQ(u"", chineseSmallNumber(-1));
}

TEST(ChineseNumerals, GroupsOfFourDigits) {
    EXPECT_EQ(u"一十", chineseGroup(10));
    EXPECT_EQ(u"一百零五", chineseGroup(105));
    EXPECT_EQ(u"一千零五", chineseGroup(1005));
    EXPECT_EQ(u"一千零五十", chineseGroup(1050));
    EXPECT_EQ(u"一千", chineseGroup(1000));
    EXPECT_EQ(u"九千九百九十九", chineseGroup(9999));
    EXPECT_EQ(u"", chineseGroup(0));
    EXPECT_EQ(u"", chineseGroup(10000));
}

TEST(ChineseNumerals, IntegersWithGroupsAndFractions) {
    EXPECT_EQ(u"一亿", chineseNumber(u"100000000"));
    EXPECT_EQ(u"一亿零一万", chineseNumber(u"100010000"));
    EXPECT_EQ(u"一亿零一", chineseNumber(u"100000001"));
    EXPECT_EQ(u"一万零五百", chineseNumber(u"10500"));
    EXPECT_EQ(u"一十万零一十", chineseNumber(u"100010"));
    EXPECT_EQ(u"九千九百九十九亿九千九百九十九万九千九百九十九", chineseNumber(u"999999999999"));
    EXPECT_EQ(u"", chineseNumber(u"1000000000000"));
    EXPECT_EQ(u"〇", chineseNumber(u"0"));
    EXPECT_EQ(u"〇〇〇", chineseNumber(u"000"));
    EXPECT_EQ(u"零五", chineseNumber(u"05"));
    EXPECT_EQ(u"零一百零五", chineseNumber(u"0105"));
    EXPECT_EQ(u"一百二十三点四五", chineseNumber(u"123.45"));
    EXPECT_EQ(u"一点零五", chineseNumber(u"1.05"));
    EXPECT_EQ(u"五", chineseNumber(u"5."));
    EXPECT_EQ(u"", chineseNumber(u".5"));
    EXPECT_EQ(u"", chineseNumber(u"1.2.3"));
    EXPECT_EQ(u"", chineseNumber(u"12a"));
}

TEST(ChineseNumerals, UppercaseMoney) {
    auto money = [](std::u16string_view n) { return chineseMoney(chineseNumber(n)); };
    EXPECT_EQ(u"壹佰贰拾叁元肆角伍分", money(u"123.45"));
    EXPECT_EQ(u"壹拾元整", money(u"10"));
    EXPECT_EQ(u"叁元伍角整", money(u"3.5"));
    EXPECT_EQ(u"叁元伍角整", money(u"3.50"));
    EXPECT_EQ(u"叁元零伍分", money(u"3.05"));
    // Zero fractions are whole amounts.
    EXPECT_EQ(u"叁元整", money(u"3.00"));
    EXPECT_EQ(u"叁元整", money(u"3.0"));
    EXPECT_EQ(u"壹亿零壹万元整", money(u"100010000"));
    EXPECT_EQ(u"零元伍角整", money(u"0.5"));
    EXPECT_EQ(u"", money(u"3.456"));
    EXPECT_EQ(u"", money(u"1000000000000"));
}

}  // namespace
}  // namespace zv
