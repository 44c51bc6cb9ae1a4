#pragma once
// The scenarios every desktop adapter types through, written once: a
// client is a test fixture that sends key presses and releases by X keysym
// (`key`, `type`), lets the framework's signals arrive (`settle`) and
// collects what the application saw (`seen`).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace zv::test {

// What the application's side of an input context saw.
struct SeenByApplication {
    std::string committed;
    std::string preedit;
    std::vector<std::string> candidates;
};

constexpr uint32_t kXShiftL = 0xFFE1, kXEscape = 0xFF1B;

// wqvb and Space; a unique four-key code commits at once and the next code
// starts; = and - turn the engine's pages; a Shift tap to English and back.
template <typename Client>
void typeCommitPageAndSwitch(Client& c) {
    EXPECT_TRUE(c.type("wqvb"));
    EXPECT_EQ("wqvb", c.seen.preedit);
    ASSERT_EQ(2u, c.seen.candidates.size());
    EXPECT_EQ("你好", c.seen.candidates[0]);
    EXPECT_TRUE(c.type(" "));
    EXPECT_EQ("你好", c.seen.committed);
    EXPECT_EQ("", c.seen.preedit);
    EXPECT_TRUE(c.seen.candidates.empty());

    c.seen = {};
    c.type("ggllwq");
    EXPECT_EQ("一", c.seen.committed);
    EXPECT_EQ("wq", c.seen.preedit);

    ASSERT_FALSE(c.seen.candidates.empty());
    const std::string first = c.seen.candidates[0];
    c.type("=");
    ASSERT_FALSE(c.seen.candidates.empty());
    EXPECT_NE(first, c.seen.candidates[0]);
    c.type("-");
    ASSERT_FALSE(c.seen.candidates.empty());
    EXPECT_EQ(first, c.seen.candidates[0]);
    c.type(" ");

    // English: the letters reach the application; another tap brings
    // Chinese back.
    c.seen = {};
    c.key(kXShiftL);
    c.settle();
    EXPECT_FALSE(c.type("wq"));
    EXPECT_EQ("", c.seen.preedit);
    c.key(kXShiftL);
    c.settle();
    EXPECT_TRUE(c.type("wq"));
    EXPECT_EQ("wq", c.seen.preedit);
    c.key(kXEscape);
    c.settle();
}

// The temporary English lead and an amount offers its money reading; three
// characters typed one by one leave 中国 as a temporary word, which its
// code types back.
template <typename Client>
void temporaryEnglishAndALearnedWord(Client& c) {
    c.type("'123.45");
    const auto& shown = c.seen.candidates;
    EXPECT_NE(std::find(shown.begin(), shown.end(), "壹佰贰拾叁元肆角伍分"), shown.end());
    c.key(kXEscape);
    c.settle();
    c.seen = {};
    c.type("ggllkhk lgyi");
    EXPECT_EQ("一中国", c.seen.committed);
    c.type("khlg");
    ASSERT_FALSE(c.seen.candidates.empty());
    EXPECT_EQ("中国", c.seen.candidates[0]);
}

}  // namespace zv::test
