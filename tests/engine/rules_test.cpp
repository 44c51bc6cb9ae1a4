#include "engine/rules.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

using rule::element;

struct Store {
    std::vector<uint8_t> bytes = newConfigStore();
    SettingsBlocks blocks = findBlocks(bytes.data(), static_cast<uint32_t>(bytes.size()));
    DmeSettings& dme = blocks.dme;
};

using Elements = std::vector<uint16_t>;

TEST(Rules, ElementsFromTheLeftAndFromTheRight) {
    Store s;
    EXPECT_EQ(RuleResult::Applied, parseRule(s.dme, u"P2=L1B1+L1B2+L2B1+L2B2"));
    EXPECT_EQ((Elements{0x101, 0x102, 0x201, 0x202}), ruleElements(s.dme, 2));
    // R counts from the last character: for two characters R1 is d = 2.
    EXPECT_EQ(RuleResult::Applied, parseRule(s.dme, u"p2=r1b1r2b1"));
    EXPECT_EQ((Elements{element(2, 1), element(1, 1)}), ruleElements(s.dme, 2));
    EXPECT_EQ(RuleResult::Applied, parseRule(s.dme, u"P9=L1B1+L2B1+L3B1+R1B1"));
    EXPECT_EQ(element(9, 1), ruleElements(s.dme, 9).back());
    // F sets bit 15; the code position keeps its low seven bits; 0 is the whole code.
    EXPECT_EQ(RuleResult::Applied, parseRule(s.dme, u"P3 = L1F1 + L2B200 + L3B0"));
    EXPECT_EQ((Elements{0x8101, element(2, 200 & 0x7F), element(3, 0)}), ruleElements(s.dme, 3));
    // Rows of other lengths are untouched.
    EXPECT_TRUE(ruleElements(s.dme, 4).empty());
    EXPECT_EQ(RuleResult::Applied, parseRule(s.dme, u"P3="));
    EXPECT_TRUE(ruleElements(s.dme, 3).empty());
}

TEST(Rules, RejectedLinesLeaveTheStoredRule) {
    Store s;
    parseRule(s.dme, u"P2=L1B1+L1B2+L2B1+L2B2");
    const Elements before = ruleElements(s.dme, 2);
    for (auto bad : {u"P2=X1B1", u"P2=L1C1", u"P2=L31B1", u"P2=L0B1", u"P2=R3B1", u"P2=L1B", u"P2=LB1",
                     u"P2=L1B1+", u"P2=L1B1++L2B1", u"P2L1B1", u"Q2=L1B1", u"P=L1B1", u"P2=L1B1;"}) {
        EXPECT_EQ(RuleResult::Rejected, parseRule(s.dme, bad)) << std::u16string_view(bad).size();
        EXPECT_EQ(before, ruleElements(s.dme, 2));
    }
    EXPECT_EQ(RuleResult::LengthIgnored, parseRule(s.dme, u"P1=L1B1"));
    EXPECT_EQ(RuleResult::LengthIgnored, parseRule(s.dme, u"P31=L1B1"));
    EXPECT_EQ(RuleResult::LengthIgnored, parseRule(s.dme, u"P99999999999=L1B1"));

    // 127 elements fit a row (with its zero end); 128 do not.
    std::u16string line = u"P2=";
    for (int i = 0; i < 127; ++i) line += u"L1B1+";
    line.pop_back();
    EXPECT_EQ(RuleResult::Applied, parseRule(s.dme, line));
    EXPECT_EQ(127u, ruleElements(s.dme, 2).size());
    EXPECT_EQ(0, s.dme.ruleElement(2, 127));
    EXPECT_EQ(RuleResult::Rejected, parseRule(s.dme, line + u"+L2B2"));
    EXPECT_EQ(127u, ruleElements(s.dme, 2).size());
}

TEST(Rules, WrittenFromTheLeft) {
    Store s;
    EXPECT_EQ(u"", ruleText(s.dme, 2));
    parseRule(s.dme, u"P4=L1B1+R3F2+R1B0");
    EXPECT_EQ(u"P4=L1B1+L2F2+L4B0", ruleText(s.dme, 4));
    // A damaged element that names no character is left out, the rest kept.
    setRule(s.dme, 5, {element(1, 1), element(0, 3), element(5, 1)});
    EXPECT_EQ(u"P5=L1B1+L5B1", ruleText(s.dme, 5));
    EXPECT_EQ(RuleResult::Applied, parseRule(s.dme, ruleText(s.dme, 4)));
    EXPECT_EQ(u"P4=L1B1+L2F2+L4B0", ruleText(s.dme, 4));
}

}  // namespace
}  // namespace zv
