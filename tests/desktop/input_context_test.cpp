// The desktop adapters' input context: X key events through the engine,
// and the record the adapters apply. Scenarios over a small table with the
// shipped settings, keyed as fcitx5 and IBus deliver keys.

#include "frontends/desktop/input_context.h"
#ifndef _WIN32
#include "frontends/desktop/status_actions.h"
#endif
#include "frontends/keys/x_keys.h"
#include "platform/utf.h"
#include "tests/desktop/desktop_folder.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

using desktop::InputContext;
using desktop::Update;
using keys::hostKeyOfX;
namespace xmask = keys::xmask;

constexpr uint32_t kShiftL = 0xFFE1, kSpace = 0x20, kReturn = 0xFF0D, kSuper = 0xFFEB;

TEST(XKeys, KeysymsBecomeTheKeysOfAUsKeyboard) {
    auto a = hostKeyOfX('a', 0, false);
    ASSERT_TRUE(a);
    EXPECT_EQ('A', a->virtualKey);
    EXPECT_EQ(0x1Eu, a->scan);
    EXPECT_FALSE(a->shift);
    // A shifted character is its key with Shift held.
    auto plus = hostKeyOfX('+', xmask::Shift, false);
    ASSERT_TRUE(plus);
    EXPECT_EQ(0xBB, plus->virtualKey);
    EXPECT_TRUE(plus->shift);
    auto bang = hostKeyOfX('!', xmask::Shift, true);
    ASSERT_TRUE(bang);
    EXPECT_EQ('1', bang->virtualKey);
    EXPECT_TRUE(bang->up);
    // Caps Lock, Ctrl and Alt come from the state.
    auto capital = hostKeyOfX('A', xmask::Lock | xmask::Control | xmask::Mod1, false);
    ASSERT_TRUE(capital);
    EXPECT_TRUE(capital->capsLock && capital->ctrl && capital->alt);
    // The modifiers are the generic keys, their sides told by scan code and
    // the extended flag.
    auto rightShift = hostKeyOfX(0xFFE2, 0, false);
    ASSERT_TRUE(rightShift);
    EXPECT_EQ(0x10, rightShift->virtualKey);
    EXPECT_EQ(0x36u, rightShift->scan);
    auto rightCtrl = hostKeyOfX(0xFFE4, 0, false);
    ASSERT_TRUE(rightCtrl);
    EXPECT_EQ(0x11, rightCtrl->virtualKey);
    EXPECT_TRUE(rightCtrl->extended);
    // Keypad digits and operators, arrows (extended), function keys.
    EXPECT_EQ(0x63, hostKeyOfX(0xFFB3, 0, false)->virtualKey);
    EXPECT_EQ(0x6B, hostKeyOfX(0xFFAB, 0, false)->virtualKey);
    auto left = hostKeyOfX(0xFF51, 0, false);
    EXPECT_EQ(0x25, left->virtualKey);
    EXPECT_TRUE(left->extended);
    EXPECT_EQ(0x7B, hostKeyOfX(0xFFC9, 0, false)->virtualKey);
    // What the input method has no use for is let through.
    EXPECT_FALSE(hostKeyOfX(kSuper, 0, false));
    EXPECT_FALSE(hostKeyOfX('a', xmask::Mod4, false));
    EXPECT_FALSE(hostKeyOfX(0x4E2D, 0, false));     // a character of another layout
    EXPECT_FALSE(hostKeyOfX(0x1008FF11, 0, false));  // a media key
}

class DesktopTyping : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeDesktopFolder(fx);
        Engine engine = openEngineFolder(fx.dir.folder(), u"", fx.platform());
        ASSERT_TRUE(engine);
        ic = std::make_unique<InputContext>(std::move(engine));
        ic->focusIn();
    }

    // Presses and releases each key as the framework sends them; returns
    // whether the input method took every press.
    bool press(uint32_t keysym, uint32_t state = 0) {
        auto down = hostKeyOfX(keysym, state, false);
        auto up = hostKeyOfX(keysym, state | (keysym == kShiftL ? xmask::Shift : 0), true);
        if (!down || !up) return false;
        const bool taken = ic->key(*down);
        ic->key(*up);
        return taken;
    }
    bool type(std::string_view text) {
        bool all = true;
        for (char c : text) all &= press(static_cast<uint8_t>(c));
        return all;
    }
    std::u16string committed(const Update& u) {
        std::u16string all;
        for (const auto& c : u.commits) all += c;
        return all;
    }

    test::DataFixture fx;
    std::unique_ptr<InputContext> ic;
};

TEST_F(DesktopTyping, ACodeShowsItsPageAndSpaceCommits) {
    EXPECT_TRUE(type("wqvb"));
    Update u = ic->takeUpdate();
    EXPECT_EQ(u"wqvb", u.preedit);
    EXPECT_EQ(4, u.preeditCursor);
    ASSERT_EQ(2u, u.candidates.size());
    EXPECT_EQ(u"1", u.candidates[0].label);
    EXPECT_EQ(u"你好", u.candidates[0].text);
    EXPECT_EQ(u"您好", u.candidates[1].text);
    EXPECT_TRUE(u.commits.empty());
    EXPECT_TRUE(press(kSpace));
    u = ic->takeUpdate();
    EXPECT_EQ(u"你好", committed(u));
    EXPECT_TRUE(u.preedit.empty());
    EXPECT_TRUE(u.candidates.empty());
    // Commits are taken once.
    EXPECT_TRUE(ic->takeUpdate().commits.empty());
}

TEST_F(DesktopTyping, AUniqueFourKeyCodeCommitsAtOnceAndTheNextCodeStarts) {
    type("ggll");
    EXPECT_EQ(u"一", committed(ic->takeUpdate()));
    type("wq");
    Update u = ic->takeUpdate();
    EXPECT_EQ(u"wq", u.preedit);
    EXPECT_FALSE(u.candidates.empty());
}

TEST_F(DesktopTyping, EqualsAndMinusTurnThePages) {
    type("wq");
    Update first = ic->takeUpdate();
    ASSERT_FALSE(first.candidates.empty());
    EXPECT_TRUE(first.firstPage);
    ASSERT_FALSE(first.lastPage);
    EXPECT_TRUE(press('='));
    Update second = ic->takeUpdate();
    EXPECT_FALSE(second.firstPage);
    EXPECT_NE(first.candidates[0].text, second.candidates[0].text);
    EXPECT_TRUE(press('-'));
    EXPECT_EQ(first.candidates[0].text, ic->takeUpdate().candidates[0].text);
    // The framework's own paging buttons do the same.
    ic->turnPage(true);
    EXPECT_EQ(second.candidates[0].text, ic->takeUpdate().candidates[0].text);
    // A click on a candidate commits it.
    ic->choose(0);
    EXPECT_EQ(second.candidates[0].text, committed(ic->takeUpdate()));
}

TEST_F(DesktopTyping, AShiftTapSwitchesToEnglishAndBack) {
    const uint32_t chinese = ic->takeUpdate().modes;
    press(kShiftL);
    Update u = ic->takeUpdate();
    EXPECT_TRUE(u.modesChanged);
    EXPECT_TRUE(u.modes & ModeEnglish);
    // English letters go to the application untouched.
    EXPECT_FALSE(press('w'));
    EXPECT_TRUE(ic->takeUpdate().preedit.empty());
    press(kShiftL);
    u = ic->takeUpdate();
    EXPECT_EQ(chinese, u.modes);
    EXPECT_TRUE(type("wq"));
    // Shift held with a letter is no tap.
    press('W', xmask::Shift);
    EXPECT_FALSE(ic->takeUpdate().modes & ModeEnglish);
}

TEST_F(DesktopTyping, LosingTheFocusOrAResetDropsTheCode) {
    type("wq");
    ic->focusOut();
    Update u = ic->takeUpdate();
    EXPECT_TRUE(u.preedit.empty());
    EXPECT_TRUE(u.commits.empty());
    ic->focusIn();
    type("wqvb");
    ic->reset();
    EXPECT_TRUE(ic->takeUpdate().preedit.empty());
    // Keys with nothing typed reach the application.
    EXPECT_FALSE(press(kReturn));
}

#ifndef _WIN32
TEST_F(DesktopTyping, TheStatusAreaShowsTheModesAndSwitchesThem) {
    auto labelOf = [&](const std::string& name) {
        for (const auto& a : desktop::statusActions(*ic))
            if (a.name == name) return a.label;
        return std::string("(none)");
    };
    EXPECT_EQ("中", labelOf("zorvan-chinese"));
    EXPECT_EQ("半角", labelOf("zorvan-width"));
    EXPECT_EQ("简体", labelOf("zorvan-traditional"));
    ASSERT_TRUE(desktop::runStatusAction(*ic, "zorvan-chinese"));
    EXPECT_EQ("英", labelOf("zorvan-chinese"));
    EXPECT_TRUE(ic->takeUpdate().modesChanged);
    EXPECT_FALSE(press('w'));  // English: the letter goes to the application
    ASSERT_TRUE(desktop::runStatusAction(*ic, "zorvan-chinese"));
    ASSERT_TRUE(desktop::runStatusAction(*ic, "zorvan-width"));
    EXPECT_EQ("全角", labelOf("zorvan-width"));
    ASSERT_TRUE(desktop::runStatusAction(*ic, "zorvan-traditional"));
    EXPECT_EQ("繁体", labelOf("zorvan-traditional"));
    EXPECT_FALSE(desktop::runStatusAction(*ic, "no-such-action"));
    // A tool opens its zvconfig operation on this folder in a terminal.
    const auto argv = desktop::toolCommandLine(*ic, "zorvan-check");
    ASSERT_EQ(5u, argv.size());
    EXPECT_EQ("x-terminal-emulator", argv[0]);
    EXPECT_NE(std::string::npos, argv[4].find(" check"));
    EXPECT_NE(std::string::npos, argv[4].find(utf16ToUtf8(installFolder(ic->engine()))));
    EXPECT_TRUE(desktop::toolCommandLine(*ic, "zorvan-width").empty());
}
#endif

}  // namespace
}  // namespace zv
