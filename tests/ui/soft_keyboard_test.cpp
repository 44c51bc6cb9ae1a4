#include "platform/utf.h"
#include "tests/support/fixed_font.h"
#include "ui/menus.h"
#include "ui/soft_keyboard.h"
#include "ui/tip.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zv::ui {
namespace {

Point centre(int key) {
    Rect r = softKeyRect(key);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

SoftKeyboardOutcome click(SoftKeyboardState& s, int key) {
    MouseEvent e;
    e.at = centre(key);
    e.kind = MouseEvent::LeftDown;
    softKeyboardMouse(s, e, SkinSettings{});
    e.kind = MouseEvent::LeftUp;
    return softKeyboardMouse(s, e, SkinSettings{});
}

// What the engine types for the keys a click sends, through the active layout.
std::u16string typed(int layout, const std::vector<platform::KeyEvent>& keys) {
    std::u16string out;
    bool shift = false;
    for (const platform::KeyEvent& k : keys) {
        if (k.virtualKey == 0x10) shift = !k.up;
        else if (!k.up) out.push_back(softKeyboardChar(layout, k.virtualKey, shift));
    }
    return out;
}

TEST(SoftKeyboard, GreekAlphaAndStickyShift) {
    SoftKeyboardState s;
    uint32_t modes = 0;
    ASSERT_EQ(2, setSoftKeyboard(s, modes, 2));
    EXPECT_EQ(0x20u, modes & 0x20);
    SoftKeyboardOutcome o = click(s, 15);
    EXPECT_EQ(u"α", typed(2, o.keys));
    EXPECT_TRUE(click(s, SoftKeyLeftShift).keys.empty());
    EXPECT_TRUE(s.stickyShift);
    o = click(s, 15);
    ASSERT_EQ(4u, o.keys.size());
    EXPECT_EQ(0x10, o.keys.front().virtualKey);
    EXPECT_TRUE(o.keys.back().up);
    EXPECT_EQ(u"Α", typed(2, o.keys));
    click(s, SoftKeyRightShift);
    EXPECT_FALSE(s.stickyShift);
    EXPECT_EQ(u"1", typed(1, click(s, 1).keys));
}

TEST(SoftKeyboard, LayoutsHoldTheirCharacters) {
    EXPECT_EQ(u"希腊字母", softKeyboardLayoutName(2));
    EXPECT_EQ(u"特殊符号", softKeyboardLayoutName(13));
    EXPECT_TRUE(softKeyboardLayoutName(14).empty());
    EXPECT_EQ(u'!', softKeyboardCharAt(1, 1, true));
    EXPECT_EQ(u'Q', softKeyboardCharAt(1, 15, true));
    EXPECT_EQ(u'/', softKeyboardCharAt(1, 51, false));
    EXPECT_EQ(u'ヵ', softKeyboardCharAt(7, 6, false));
    EXPECT_EQ(u'ヵ', softKeyboardCharAt(7, 7, false));
    EXPECT_EQ(u'⒛', softKeyboardCharAt(9, 24, true));
    EXPECT_EQ(u'♀', softKeyboardCharAt(13, 51, false));
    EXPECT_EQ(u' ', softKeyboardCharAt(8, 1, true));  // 标点符号 has no shifted characters
    // Gaps between the rows of keys are empty in every layout.
    for (int layout = 1; layout <= SoftKeyboardLayouts; ++layout)
        for (int p : {13, 14, 28, 40, 41, 52, 57})
            for (bool shifted : {false, true}) EXPECT_EQ(u' ', softKeyboardCharAt(layout, p, shifted));
    // What the engine types for a key.
    EXPECT_EQ(u'а', softKeyboardChar(3, 'Q', false));
    EXPECT_EQ(u'А', softKeyboardChar(3, 'Q', true));
    EXPECT_EQ(u' ', softKeyboardChar(2, 'P', false));
    EXPECT_EQ(0, softKeyboardChar(2, 0x0D, false));
    EXPECT_EQ(0, softKeyboardChar(14, 'Q', false));
}

TEST(SoftKeyboard, KeysAndHitTest) {
    EXPECT_EQ(SoftKeyOutside, softKeyHitTest(-1, 50));
    EXPECT_EQ(SoftKeyOutside, softKeyHitTest(440, 50));
    EXPECT_EQ(SoftKeyNone, softKeyHitTest(200, 10));  // the title strip
    for (int key = 0; key <= 61; ++key) {
        if (softKeyRect(key).right <= softKeyRect(key).left) continue;
        const bool refused = key == 52 || key == 54 || key == 56 || key == 59;
        EXPECT_EQ(refused ? SoftKeyOutside : key, softKeyHitTest(centre(key).x, centre(key).y)) << key;
    }
    EXPECT_EQ(SoftKeyMenu, softKeyHitTest(centre(SoftKeyMenu).x, centre(SoftKeyMenu).y));
    // Keys do not overlap and lie inside the keyboard.
    for (int a = 0; a < SoftKeyRects; ++a) {
        Rect r = softKeyRect(a);
        if (r.right <= r.left) continue;
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= SoftKeyboardWidth && r.bottom <= SoftKeyboardHeight);
        for (int b = a + 1; b < SoftKeyRects; ++b) {
            Rect q = softKeyRect(b);
            EXPECT_FALSE(r.left < q.right && q.left < r.right && r.top < q.bottom && q.top < r.bottom) << a << " " << b;
        }
    }
    EXPECT_EQ(15, softKeyboardPosition('Q'));
    EXPECT_EQ(-1, softKeyboardPosition(0x0D));
}

TEST(SoftKeyboard, SwitchingAndWindowButtons) {
    SoftKeyboardState s;
    uint32_t modes = 0;
    EXPECT_EQ(1, setSoftKeyboard(s, modes, SoftKeyboardToggleRequest));  // the first layout at first
    setSoftKeyboard(s, modes, 8);
    EXPECT_EQ(0, setSoftKeyboard(s, modes, SoftKeyboardToggleRequest));
    EXPECT_EQ(0u, modes & 0x20);
    EXPECT_EQ(8, setSoftKeyboard(s, modes, SoftKeyboardToggleRequest));  // reopens the layout used last
    EXPECT_EQ(9, setSoftKeyboard(s, modes, SoftKeyboardNextRequest));
    setSoftKeyboard(s, modes, 13);
    EXPECT_EQ(1, setSoftKeyboard(s, modes, SoftKeyboardNextRequest));
    EXPECT_EQ(0, setSoftKeyboard(s, modes, 14));
    EXPECT_EQ(1, s.lastLayout);

    SoftKeyboardOutcome o = click(s, SoftKeyClose);
    EXPECT_EQ(CommandSoftKeyboard, o.command);
    EXPECT_EQ(0, o.argument);
    EXPECT_EQ(MouseRequest::SoftKeyboardMenu, click(s, SoftKeyMenu).request);
    // A drag from the title strip moves the window and is not a click.
    MouseEvent e;
    e.kind = MouseEvent::LeftDown;
    e.at = {200, 10};
    softKeyboardMouse(s, e, SkinSettings{});
    e.kind = MouseEvent::Move;
    e.leftHeld = true;
    e.screen = {5000, 5000};
    e.workArea = {0, 0, 1920, 1040};
    o = softKeyboardMouse(s, e, SkinSettings{});
    ASSERT_TRUE(o.moveTo);
    EXPECT_EQ((Point{1920 - 440, 1040 - 169}), *o.moveTo);
}

TEST(SoftKeyboard, OpeningPosition) {
    const Rect area{0, 0, 1920, 1040};
    EXPECT_EQ((Point{1480, 871}), softKeyboardWindowPosition(SkinSettings{}, area, nullptr));
    const Rect bar{1764, 1008, 1920, 1040};
    EXPECT_EQ((Point{0, 871}), softKeyboardWindowPosition(SkinSettings{}, area, &bar));
}

TEST(SoftKeyboard, PictureAndPainting) {
    test::FixedFontRenderer fonts;
    SkinImage picture = softKeyboardPicture(fonts);
    ASSERT_EQ(SoftKeyboardWidth, picture.width);
    ASSERT_EQ(SoftKeyboardHeight, picture.height);
    SoftKeyboardState s;
    s.layout = 2;
    s.hovered = 15;
    auto font = fonts.createFont({u"Fixed", -12});
    Canvas out;
    paintSoftKeyboard(s, picture, *font, *font, out);
    for (uint32_t p : out.pixels) ASSERT_EQ(255, alphaOf(p));  // opaque
    const Rect q = softKeyRect(15);
    EXPECT_EQ(pixel(0xC8, 0xFF, 0xFF, 255), out.at(q.left, q.top));  // raised outline of the hovered key
    EXPECT_EQ(pixel(0x53, 0x53, 0x53, 255), out.at(q.right - 1, q.bottom - 1));
    // The character α in dark red at the key's bottom right.
    EXPECT_EQ(pixel(0, 0, 30, 255), out.at(q.right - 7, q.bottom - 8));
}

TEST(Menus, MainMenuFollowsTheEngineState) {
    MenuContext c;
    c.modes = ModeFullWidth;
    c.imeA = ImeSettings::A_MainTable | ImeSettings::A_SecondaryWhenEmpty | ImeSettings::A_Traditional;
    c.mainName = u"五笔";
    c.auxiliaryName = u"拼音";
    c.secondaryName = u"生僻字";
    c.softKeyboardLayout = 2;
    c.traditionalOpen = true;
    std::vector<MenuItem> m = buildMainMenu(c);
    auto find = [&](std::u16string_view text) -> const MenuItem* {
        for (const MenuItem& i : m)
            if (i.text == text) return &i;
        return nullptr;
    };
    ASSERT_TRUE(find(u"输入方案(&P)"));
    const auto& scheme = find(u"输入方案(&P)")->items;
    EXPECT_EQ(u"五笔+拼音", scheme[0].text);
    EXPECT_TRUE(scheme[1].checked);
    EXPECT_EQ((MenuAction{MenuActionKind::Command, CommandInputScheme, 2, 0}), scheme[2].action);
    const auto& search = find(u"码表检索(&R)")->items;
    EXPECT_EQ(u"候选为空时检索 生僻字", search[2].text);
    EXPECT_TRUE(search[2].checked);
    const auto& output = find(u"上屏选项(&O)")->items;
    EXPECT_TRUE(output[0].checked);   // 全角
    EXPECT_TRUE(output[3].checked);   // 中文标点
    EXPECT_EQ(u"繁体输出(&F)", output.back().text);
    EXPECT_TRUE(output.back().checked);
    const auto& soft = find(u"软键盘(&K)")->items;
    ASSERT_EQ(14u, soft.size());
    EXPECT_EQ(u"&2 希腊字母", soft[1].text);
    EXPECT_TRUE(soft[1].checked);
    EXPECT_EQ((MenuAction{MenuActionKind::Command, CommandSoftKeyboard, 0, 0}), soft[13].action);
    EXPECT_FALSE(find(u"皮肤(&K)"));
    EXPECT_FALSE(find(u"嵌入状态栏(&R)"));
    EXPECT_EQ(u"取消(&C)", m.back().text);
    // Without the names and functions their items go.
    MenuContext bare;
    bare.userWords = false;
    bare.textService = true;
    m = buildMainMenu(bare);
    EXPECT_FALSE(find(u"输入方案(&P)"));
    EXPECT_FALSE(find(u"码表检索(&R)"));
    EXPECT_FALSE(find(u"添加用户词(&M)"));
    EXPECT_TRUE(find(u"嵌入状态栏(&R)"));
    EXPECT_EQ(5u, find(u"上屏选项(&O)")->items.size());
}

TEST(Menus, CandidateSoftKeyboardAndModeMenus) {
    CandidateItem item{u"字", u"", CandidateKind::Table, true, true, true};
    std::vector<MenuItem> m = buildCandidateMenu(3, item, u"生僻字");
    ASSERT_EQ(7u, m.size());
    EXPECT_EQ(u"归入生僻字(&S)", m[6].text);
    EXPECT_TRUE(m[6].checked);
    EXPECT_TRUE(m[4].checked);
    EXPECT_EQ((MenuAction{MenuActionKind::Command, CommandCandidateOperation, 3, 7}), m[5].action);
    m = buildSoftKeyboardMenu(13);
    EXPECT_TRUE(m[12].checked);
    EXPECT_EQ(u"&E 取消", m.back().text);
    m = buildModeMenu(ModeEnglish | ModeEnglishWords);
    EXPECT_FALSE(m[0].checked);
    EXPECT_TRUE(m[1].checked);
    EXPECT_EQ(u"键盘输入关闭", m.back().text);
    EXPECT_EQ(u"键盘输入开启", buildModeMenu(0).back().text);
}

// A menu command carries only the item id back, so within one menu no two
// actions may share an id, and each id has to lead back to its own item.
TEST(Menus, ItemIdsAreDistinctAndLeadBackToTheirItems) {
    SkinList skins;
    skins.entries.resize(MaxSkinFiles);
    MenuContext c;
    c.mainName = u"五笔";
    c.auxiliaryName = u"拼音";
    c.secondaryName = u"生僻字";
    c.traditionalOpen = c.simplifiedOpen = true;
    c.textService = true;
    c.skins = &skins;
    CandidateItem candidate{u"字", u"", CandidateKind::Table, true, true, true};
    const std::vector<std::vector<MenuItem>> menus = {
        buildMainMenu(c), buildCandidateMenu(9, candidate, u"生僻字"), buildSoftKeyboardMenu(0), buildModeMenu(0)};
    for (const auto& menu : menus) {
        std::vector<uint32_t> seen;
        std::vector<const MenuItem*> stack;
        for (const MenuItem& i : menu) stack.push_back(&i);
        while (!stack.empty()) {
            const MenuItem* i = stack.back();
            stack.pop_back();
            for (const MenuItem& sub : i->items) stack.push_back(&sub);
            if (!i->items.empty() || i->separator() || i->action.kind == MenuActionKind::None) continue;
            const uint32_t id = menuItemId(i->action);
            EXPECT_GT(id, 0u) << utf16ToUtf8(i->text);
            EXPECT_LE(id, 0xFFFFu) << utf16ToUtf8(i->text);
            EXPECT_EQ(std::count(seen.begin(), seen.end(), id), 0) << utf16ToUtf8(i->text);
            seen.push_back(id);
            EXPECT_EQ(i, findMenuItem(menu, id)) << utf16ToUtf8(i->text);
        }
    }
    EXPECT_EQ(nullptr, findMenuItem(menus[0], 0));  // dismissed, or 取消
    // A command without an argument is its own id.
    EXPECT_EQ(0x2003u, menuItemId({MenuActionKind::Command, CommandEnglishPunctuationOn, 0, 0}));
    EXPECT_EQ(8u, menuItemId({MenuActionKind::Program, ProgramAddUserWord, 0, 0}));
}

TEST(Tips, TimerAndModeIndicator) {
    test::FixedFontRenderer fonts;
    TipState tip;
    showTip(tip, fonts, 10, 20, 1, std::u16string(200, u'x'));
    EXPECT_EQ(MaxTipText, tip.text.size());
    EXPECT_EQ(-14, fonts.made.back().height);
    EXPECT_EQ(u"宋体", fonts.made.back().face);
    EXPECT_EQ(127 * 7 + 20, tip.width);
    EXPECT_EQ(14 + 10, tip.height);
    tip.hovering = true;
    EXPECT_FALSE(tipTick(tip));
    tip.hovering = false;
    for (int i = 1; i < TipTicks; ++i) EXPECT_FALSE(tipTick(tip));
    EXPECT_TRUE(tipTick(tip));
    EXPECT_FALSE(tip.visible);

    EXPECT_EQ(ModeTip::Disabled, modeTipFor(0, true, true, true));
    EXPECT_EQ(ModeTip::Closed, modeTipFor(0, false, false, true));
    EXPECT_EQ(ModeTip::CapsLock, modeTipFor(ModeEnglishWords, false, true, true));
    EXPECT_EQ(ModeTip::EnglishWords, modeTipFor(ModeEnglishWords, false, true, false));
    EXPECT_EQ(ModeKeyboardDisabled | ModeEnglish, syncModesWithKeyboard(0, true, false));
    EXPECT_EQ(ModeFullWidth, syncModesWithKeyboard(ModeFullWidth | ModeEnglish, false, true));
    const Rect area{0, 0, 1920, 1040};
    EXPECT_EQ((Point{110, 232}), modeTipPosition({100, 200}, area));
    EXPECT_EQ((Point{1846, 956}), modeTipPosition({1900, 990}, area));
    // Dragging keeps the tip on the work area and stores it as the status-bar position.
    std::vector<uint8_t> store = newConfigStore();
    SkinSettings settings = findBlocks(store.data(), static_cast<uint32_t>(store.size())).skin;
    MouseEvent e;
    e.kind = MouseEvent::LeftDown;
    e.at = {5, 5};
    tipMouse(tip, e, settings);
    e.kind = MouseEvent::Move;
    e.leftHeld = true;
    e.screen = {3000, 300};
    e.workArea = area;
    EXPECT_EQ((Point{1920 - tip.width, 295}), tipMouse(tip, e, settings).moveTo.value());
    EXPECT_EQ(295, settings.i32(SkinSettings::StatusPos + 4));
    e.kind = MouseEvent::RightDown;
    EXPECT_EQ(MouseRequest::ModeMenu, tipMouse(tip, e, settings).request);
    ModeTipTracker shown;
    EXPECT_EQ(u"中", shown.next(ModeTip::Chinese).value());
    EXPECT_FALSE(shown.next(ModeTip::Chinese));
    EXPECT_EQ(u"关", shown.next(ModeTip::Closed).value());
}

}  // namespace
}  // namespace zv::ui
