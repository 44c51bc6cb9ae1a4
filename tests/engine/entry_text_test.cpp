#include "engine/entry_text.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

TEST(MarkedCode, MarkersCutTheCodeAndSetAttributes) {
    auto m = parseMarkedCode(u"abcd#固#辅#序300");
    ASSERT_TRUE(m);
    EXPECT_EQ("abcd", m->code);
    EXPECT_EQ(300, m->order);
    EXPECT_EQ(CategoryAuxiliary, m->category);
    EXPECT_TRUE(m->fixed);
    EXPECT_EQ(attr::make(300, CategoryAuxiliary, true), m->attributes());
}

TEST(MarkedCode, ForwardOrderLosesMarkersAfterTheFirstCut) {
    // "#序" is read first and cuts away the "#固" behind it.
    auto m = parseMarkedCode(u"abcd#序5#固");
    ASSERT_TRUE(m);
    EXPECT_EQ(5, m->order);
    EXPECT_FALSE(m->fixed);
}

TEST(MarkedCode, LastCategoryMarkerReadWins) {
    EXPECT_EQ(CategoryAuxiliary, parseMarkedCode(u"ab#辅#次#用#类3")->category);
    EXPECT_EQ(CategorySecondary, parseMarkedCode(u"ab#次#用")->category);
    EXPECT_EQ(CategoryUser, parseMarkedCode(u"ab#用#类2")->category);
}

TEST(MarkedCode, ClassifiedTableNumbers) {
    EXPECT_EQ(16, parseMarkedCode(u"ab#类0")->category);
    EXPECT_EQ(16, parseMarkedCode(u"ab#类")->category);
    EXPECT_EQ(16, parseMarkedCode(u"ab#类-4")->category);
    EXPECT_EQ(18, parseMarkedCode(u"ab#类3")->category);
    EXPECT_EQ(31, parseMarkedCode(u"ab#类16")->category);
    EXPECT_EQ(31, parseMarkedCode(u"ab#类20")->category);
}

TEST(MarkedCode, OrderValuesAreClampedAndEmptyCodesRefused) {
    EXPECT_EQ(0xFFFF, parseMarkedCode(u"ab#序99999999")->order);
    EXPECT_FALSE(parseMarkedCode(u"#固"));
    EXPECT_FALSE(parseMarkedCode(u""));
    RecordBuffer rec;
    EXPECT_FALSE(buildMarkedRecord(u"#序1", u"字", rec));
    ASSERT_TRUE(buildMarkedRecord(u"１a#用", u"字", rec));
    EXPECT_EQ(0x11, rec.bytes[5]);
    EXPECT_EQ(CategoryUser, attr::category(rec.bytes[0] | rec.bytes[1] << 8 | rec.bytes[2] << 16 | rec.bytes[3] << 24));
}

}  // namespace
}  // namespace zv
