#include "engine/key_table.h"

#include <gtest/gtest.h>

#include <string>

namespace zv {
namespace {

struct Store {
    std::vector<uint8_t> bytes = newConfigStore();
    SettingsBlocks blocks = findBlocks(bytes.data(), static_cast<uint32_t>(bytes.size()));
    DmeSettings& dme = blocks.dme;
};

uint32_t key(std::u16string_view text) { return parseKeyText(text).value_or(0xDEADBEEF); }

TEST(KeyText, CharactersGiveTheKeyThatTypesThem) {
    EXPECT_EQ(0x20u, key(u" "));
    EXPECT_EQ(0x09u, key(u"\t"));
    EXPECT_EQ(0x41u, key(u"a"));
    EXPECT_EQ(0x141u, key(u"A"));
    EXPECT_EQ(0x30u, key(u"0"));
    EXPECT_EQ(0x131u, key(u"!"));
    EXPECT_EQ(0x130u, key(u")"));
    EXPECT_EQ(0xBAu, key(u";"));
    EXPECT_EQ(0x1BAu, key(u":"));
    EXPECT_EQ(0x1BBu, key(u"+"));
    EXPECT_EQ(0x1DEu, key(u"\""));
    EXPECT_EQ(0xDCu, key(u"\\"));
    EXPECT_EQ(0x1C0u, key(u"~"));
    // Keypad keys, by "小" or by their full-width character.
    EXPECT_EQ(0x65u, key(u"小5"));
    EXPECT_EQ(0x6Au, key(u"小*"));
    EXPECT_EQ(0x6Fu, key(u"小/"));
    EXPECT_EQ(0x60u, key(u"０"));
    EXPECT_EQ(0x6Du, key(u"－"));
    EXPECT_EQ(0x6Eu, key(u"．"));
}

TEST(KeyText, NamedKeysAndModifierWords) {
    EXPECT_EQ(0x70u, key(u"键F1"));
    EXPECT_EQ(0x79u, key(u"键F10"));  // not F1 followed by "0"
    EXPECT_EQ(0x7Bu, key(u"键F12"));
    EXPECT_EQ(0xA0u, key(u"键左Shift"));
    EXPECT_EQ(0x25u, key(u"键左箭头"));
    EXPECT_EQ(0x474u, key(u"键F5+键Ctrl"));
    EXPECT_EQ(0x674u, key(u"键F5+键Alt+键Ctrl"));
    EXPECT_EQ(0x4441u, key(u"a+键左Ctrl"));
    EXPECT_EQ(0x10141u, key(u"a+键右Shift"));
    EXPECT_EQ(0x541u, key(u"A+键Ctrl"));
    // Any other "键" text gives the modifiers alone.
    EXPECT_EQ(0x200u, key(u"键Foo+键Alt"));
    for (auto bad : {u"", u"é", u"小x", u"小", u"中", u"键Foo"})
        EXPECT_FALSE(parseKeyText(bad));
}

TEST(FunctionText, ExclusionGroupsTakeTheFirstNameListed) {
    const uint64_t commitLast = keyfn::withIndex(keyfn::Commit, keyfn::IndexLast);
    EXPECT_EQ(commitLast, parseFunctionText(u"倒数第1候选上屏"));
    EXPECT_EQ(keyfn::withIndex(keyfn::Commit, 1), parseFunctionText(u"第1候选上屏"));
    EXPECT_EQ(keyfn::withIndex(keyfn::Commit, 10), parseFunctionText(u"第10候选上屏"));
    EXPECT_EQ(keyfn::withIndex(keyfn::Commit, 0), parseFunctionText(u"首选上屏"));
    EXPECT_EQ(keyfn::withIndex(keyfn::Commit, 11), parseFunctionText(u"英文上屏"));
    // Order of listing, not order in the text.
    EXPECT_EQ(keyfn::withIndex(keyfn::Commit, 2), parseFunctionText(u"第3候选上屏,第2候选上屏"));
    EXPECT_EQ(keyfn::CursorLeft, parseFunctionText(u"编码后删 光标右移 光标左移"));
    EXPECT_EQ(keyfn::ConfigHome, parseFunctionText(u"配置 - 剪贴板反查配置 - 主页"));
    EXPECT_EQ(keyfn::AddWord, parseFunctionText(u"在线删词在线加词"));
    // Groups and free functions combine.
    EXPECT_EQ(keyfn::ToggleIme | keyfn::PageNext | keyfn::ToSimplified | keyfn::ToggleCandidates,
              parseFunctionText(u"输入法开关+后翻页+上屏转换 - 简体+显示|关闭候选窗口"));
    EXPECT_EQ(0u, parseFunctionText(u"没有功能"));
}

TEST(FunctionText, IndexFieldIsSharedAndTheLaterGroupWins) {
    EXPECT_EQ(keyfn::withIndex(keyfn::Commit | keyfn::AdjustFrequency, 2),
              parseFunctionText(u"第1候选上屏,第2候选调频"));
    EXPECT_EQ(keyfn::withIndex(keyfn::Commit | keyfn::AdjustFrequency | keyfn::DeleteCandidate, 7),
              parseFunctionText(u"首选上屏第4候选调频第7候选删除"));
}

TEST(KeyBinding, SingleKeysCombinationsAndTheFullList) {
    Store s;
    EXPECT_EQ(BindResult::Single, bindKeyText(s.dme, u"A", u"前翻页"));
    EXPECT_EQ(keyfn::PagePrevious, s.dme.keyMask(256 + 0x41));
    EXPECT_EQ(0u, s.dme.keyMask(0x41));
    EXPECT_EQ(BindResult::Single, bindKeyText(s.dme, u"键Enter+键Shift", u"英文上屏"));
    EXPECT_NE(0u, s.dme.keyMask(256 + 0x0D));
    // Shift with a key that has no shifted slot is a combination.
    EXPECT_EQ(BindResult::Combination, bindKeyText(s.dme, u"键F1+键Shift", u"前翻页"));

    EXPECT_EQ(BindResult::Combination, bindKeyText(s.dme, u"键F5+键Ctrl", u"配置 - 帮助"));
    EXPECT_EQ(2, s.dme.comboCount());
    EXPECT_EQ(0x474u, s.dme.comboKey(1));
    EXPECT_EQ(keyfn::ConfigHelp, s.dme.comboMask(1));
    // The same key code overwrites its entry.
    EXPECT_EQ(BindResult::Combination, bindKeyText(s.dme, u"键F5+键Ctrl", u"配置 - 关于"));
    EXPECT_EQ(2, s.dme.comboCount());
    EXPECT_EQ(keyfn::ConfigAbout, s.dme.comboMask(1));

    for (int i = 0; i < 30; ++i)
        ASSERT_EQ(BindResult::Combination, bindKey(s.dme, 0x400 | (0x41 + i % 26) | (i >= 26 ? 0x200 : 0), keyfn::ToggleIme));
    EXPECT_EQ(32, s.dme.comboCount());
    EXPECT_EQ(BindResult::ListFull, bindKeyText(s.dme, u"键F6+键Ctrl", u"输入法开关"));
    EXPECT_EQ(32, s.dme.comboCount());
    EXPECT_EQ(BindResult::InvalidKey, bindKeyText(s.dme, u"中", u"输入法开关"));
}

TEST(KeyBinding, AnEmptyFunctionTextUnbinds) {
    Store s;
    bindKeyText(s.dme, u"键Enter", u"英文上屏");
    EXPECT_EQ(BindResult::Single, bindKeyText(s.dme, u"键Enter", u""));
    EXPECT_EQ(0u, s.dme.keyMask(0x0D));
    // A text that names nothing is a mistake and changes nothing.
    bindKeyText(s.dme, u"键Esc", u"清除输入");
    EXPECT_EQ(BindResult::NoFunction, bindKeyText(s.dme, u"键Esc", u"清楚输入"));
    EXPECT_EQ(keyfn::ClearInput, s.dme.keyMask(0x1B));

    // An unbound combination leaves the list and the later ones move up.
    bindKeyText(s.dme, u"键F5+键Ctrl", u"配置 - 帮助");
    bindKeyText(s.dme, u"键F6+键Ctrl", u"配置 - 关于");
    bindKeyText(s.dme, u"键F7+键Ctrl", u"输入法开关");
    EXPECT_EQ(BindResult::Combination, bindKeyText(s.dme, u"键F6+键Ctrl", u" "));
    ASSERT_EQ(2, s.dme.comboCount());
    EXPECT_EQ(0x474u, s.dme.comboKey(0));
    EXPECT_EQ(0x476u, s.dme.comboKey(1));
    EXPECT_EQ(keyfn::ToggleIme, s.dme.comboMask(1));
    EXPECT_EQ(0u, s.dme.comboKey(2));
    // Unbinding one that is not there changes nothing.
    EXPECT_EQ(BindResult::Combination, bindKeyText(s.dme, u"键F8+键Ctrl", u""));
    EXPECT_EQ(2, s.dme.comboCount());
}

TEST(KeyBinding, LookupFollowsShiftAndCapsLock) {
    Store s;
    bindKeyText(s.dme, u"A", u"前翻页");
    bindKeyText(s.dme, u"a", u"后翻页");
    bindKeyText(s.dme, u"!", u"清除输入");
    bindKeyText(s.dme, u"键左Shift", u"输入法开关");
    EXPECT_EQ(keyfn::PageNext, lookupKey(s.dme, 0x41, false, false));
    EXPECT_EQ(keyfn::PagePrevious, lookupKey(s.dme, 0x41, true, false));
    EXPECT_EQ(keyfn::PagePrevious, lookupKey(s.dme, 0x41, false, true));
    EXPECT_EQ(keyfn::PageNext, lookupKey(s.dme, 0x41, true, true));
    // Caps Lock does not shift digits.
    EXPECT_EQ(0u, lookupKey(s.dme, 0x31, false, true));
    EXPECT_EQ(keyfn::ClearInput, lookupKey(s.dme, 0x31, true, true));
    // The generic modifiers are looked up only as taps, elsewhere.
    s.dme.setKeyMask(0x10, keyfn::ToggleIme);
    EXPECT_EQ(0u, lookupKey(s.dme, 0x10, false, false));
    EXPECT_EQ(-1, keyTimeSlot(0x12, false, false));
    EXPECT_EQ(keyfn::ToggleIme, lookupKey(s.dme, 0xA0, false, false));
}

TEST(KeyBinding, HotKeysForCombinations) {
    Store s;
    bindKeyText(s.dme, u"键F5+键Ctrl", u"配置 - 帮助");
    bindKeyText(s.dme, u"a+键左Ctrl+键右Shift+键Alt", u"输入法开关");
    auto keys = hotKeys(s.blocks.ime, s.dme);
    ASSERT_EQ(2u, keys.size());
    EXPECT_EQ(123, keys[0].id);
    EXPECT_EQ(0x74, keys[0].virtualKey);
    EXPECT_EQ(0x2u, keys[0].modifiers);
    EXPECT_EQ(124, keys[1].id);
    EXPECT_EQ(0x41, keys[1].virtualKey);
    EXPECT_EQ(0x80u | 0x20u | 0x1u, keys[1].modifiers);
    EXPECT_EQ(0x40u | 0x8u, hotKeyModifiers(keycode::Alt | keycode::LeftAlt | keycode::RightAlt));
    s.blocks.ime.setBit(ImeSettings::OptionA, ImeSettings::A_NoHotKeys, true);
    EXPECT_TRUE(hotKeys(s.blocks.ime, s.dme).empty());
}

TEST(KeyBinding, AChordFiresTheHotKeyWithExactlyItsModifiers) {
    const std::vector<HotKey> keys = {{123, 0x74, hotkeyflag::Ctrl},
                                      {124, 0x41, hotkeyflag::LeftCtrl | hotkeyflag::RightShift | hotkeyflag::Alt}};
    HeldModifiers ctrl;
    ctrl.rightCtrl = true;
    ASSERT_NE(nullptr, matchHotKey(keys, 0x74, ctrl));  // either Ctrl
    EXPECT_EQ(123, matchHotKey(keys, 0x74, ctrl)->id);
    EXPECT_EQ(nullptr, matchHotKey(keys, 0x75, ctrl));
    HeldModifiers more = ctrl;
    more.leftShift = true;
    EXPECT_EQ(nullptr, matchHotKey(keys, 0x74, more));  // one modifier too many
    EXPECT_EQ(nullptr, matchHotKey(keys, 0x74, {}));

    HeldModifiers sides;
    sides.leftCtrl = sides.rightShift = sides.rightAlt = true;
    ASSERT_NE(nullptr, matchHotKey(keys, 0x41, sides));
    EXPECT_EQ(124, matchHotKey(keys, 0x41, sides)->id);
    sides.rightShift = false;
    sides.leftShift = true;  // the other Shift
    EXPECT_EQ(nullptr, matchHotKey(keys, 0x41, sides));
}

TEST(KeyBinding, EveryNamedSlotAndFunctionReadsBackFromItsText) {
    // The writer and the parser share no table of key names; a slot whose
    // text parses to another slot would move its binding on every export.
    int named = 0;
    for (uint32_t slot = 0; slot < 512; ++slot) {
        uint32_t code = (slot & 0xFF) | (slot >= 256 ? keycode::Shift : 0);
        if (singleKeySlot(code) != static_cast<int>(slot)) continue;
        std::u16string text = keyText(code);
        ASSERT_FALSE(text.empty()) << slot;
        auto back = parseKeyText(text);
        ASSERT_TRUE(back) << slot;
        EXPECT_EQ(static_cast<int>(slot), singleKeySlot(*back)) << slot;
        ++named;
    }
    EXPECT_GT(named, 150);
    for (uint32_t code : {0x474u, 0x4441u, 0x10141u, 0x2741u, 0x660u, 0x420u, 0x400u}) {
        auto back = parseKeyText(keyText(code));
        ASSERT_TRUE(back) << code;
        EXPECT_EQ(code, *back);
    }
    for (std::u16string_view name :
         {u"输入法开关", u"英文联想输入开关", u"清除输入", u"重复输入", u"撤销输入", u"前翻页", u"后翻页",
          u"首选上屏", u"第3候选上屏", u"第10候选上屏", u"英文上屏", u"倒数第1候选上屏", u"光标左移", u"光标右移",
          u"光标至头", u"光标至尾", u"编码前删", u"编码后删", u"首选前移", u"首选后移", u"第10候选调频",
          u"第5候选删除", u"输入方案主/混切换", u"输入方案主/辅切换", u"检索范围主/混切换", u"检索范围主/次切换",
          u"配置 - 主页", u"配置 - 帮助", u"配置 - 关于", u"配置 - 按键设置", u"配置 - 输出反查", u"在线加词",
          u"配置 - 剪贴板反查", u"显示|关闭界面", u"显示|关闭候选窗口", u"上屏转换 - 简体", u"上屏转换 - 繁体",
          u"在线删词", u"软键盘切换"}) {
        uint64_t mask = parseFunctionText(name);
        ASSERT_NE(0u, mask);
        EXPECT_EQ(name, functionText(mask));
    }
}

TEST(KeyBinding, DefaultSchemeReplacesEverything) {
    Store s;
    bindKeyText(s.dme, u"键F5+键Ctrl", u"配置 - 帮助");
    bindKeyText(s.dme, u"z", u"清除输入");
    loadDefaultKeyScheme(s.dme);
    EXPECT_EQ(0, s.dme.comboCount());
    EXPECT_EQ(0u, s.dme.keyMask(0x5A));
    EXPECT_EQ(keyfn::ClearInput, s.dme.keyMask(0x1B));
    EXPECT_EQ(keyfn::withIndex(keyfn::Commit, 10), s.dme.keyMask(0x30));
    EXPECT_EQ(keyfn::withIndex(keyfn::Commit, 9), s.dme.keyMask(0x39));
    EXPECT_EQ(keyfn::withIndex(keyfn::Commit, keyfn::IndexEnglish), s.dme.keyMask(0x0D));
    EXPECT_EQ(keyfn::ToggleIme, s.dme.keyMask(0xA0));
    EXPECT_EQ(0u, s.dme.keyMask(0xA1));
    EXPECT_EQ(keyfn::PagePrevious, s.dme.keyMask(0xBD));
    EXPECT_EQ(keyfn::PageNext, s.dme.keyMask(0xBB));
}

}  // namespace
}  // namespace zv
