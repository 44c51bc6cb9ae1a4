#include "config/key_editor.h"

#include "engine/key_functions.h"
#include "engine/key_table.h"
#include "engine/settings_text.h"

#include <gtest/gtest.h>

#include <set>

namespace zv::config {
namespace {

class KeyEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        store = newConfigStore();
        blocks = findBlocks(store.data(), static_cast<uint32_t>(store.size()));
        ASSERT_TRUE(blocks.complete());
    }
    // A menu choice on a key, as the editor makes it.
    KeyEdit choose(uint32_t code, std::u16string_view function) {
        return setKeyFunctions(blocks.dme, code, toggleFunction(boundFunctions(blocks.dme, code), function));
    }
    std::vector<uint8_t> store;
    SettingsBlocks blocks;
};

TEST_F(KeyEditorTest, CtrlF5IsBoundAsACombinationAndTheSettingsTextShowsIt) {
    const uint32_t ctrlF5 = editorKeyCode(0x74, {.ctrl = true});
    EXPECT_EQ(KeyEdit::Changed, choose(ctrlF5, u"第2候选上屏"));
    EXPECT_EQ(1, blocks.dme.comboCount());
    EXPECT_TRUE(hasFunction(boundFunctions(blocks.dme, ctrlF5), u"第2候选上屏"));
    EXPECT_FALSE(hasFunction(boundFunctions(blocks.dme, ctrlF5), u"第3候选上屏"));
    EXPECT_EQ(0u, boundFunctions(blocks.dme, 0x74));  // plain F5 stays free
    EXPECT_NE(std::u16string::npos, writeSettingsText(blocks).find(u"键F5+键Ctrl=第2候选上屏"));

    // Choosing the marked function again clears it; the empty combination leaves the list.
    EXPECT_EQ(KeyEdit::Changed, choose(ctrlF5, u"第2候选上屏"));
    EXPECT_EQ(0u, boundFunctions(blocks.dme, ctrlF5));
    EXPECT_EQ(0, blocks.dme.comboCount());
}

TEST_F(KeyEditorTest, SingleKeysGoToTheirTableAndShiftHasItsOwnEntry) {
    EXPECT_EQ(KeyEdit::Changed, choose(editorKeyCode(0xBB, {}), u"后翻页"));
    EXPECT_EQ(KeyEdit::Changed, choose(editorKeyCode(0xBB, {.shift = true}), u"前翻页"));
    EXPECT_EQ(0, blocks.dme.comboCount());
    EXPECT_EQ(keyfn::PageNext, lookupKey(blocks.dme, 0xBB, false, false));
    EXPECT_EQ(keyfn::PagePrevious, lookupKey(blocks.dme, 0xBB, true, false));
    // The left Shift key on its own, as the default scheme binds it.
    EXPECT_EQ(KeyEdit::Changed, choose(editorKeyCode(0xA0, {}), u"输入法开关"));
    EXPECT_TRUE(hasFunction(boundFunctions(blocks.dme, 0xA0), u"输入法开关"));
}

TEST_F(KeyEditorTest, AFunctionReplacesTheOnesItCannotBeBoundWith) {
    const uint32_t key = editorKeyCode(0x20, {});
    choose(key, u"首选上屏");
    choose(key, u"前翻页");  // independent: both stay
    uint64_t m = boundFunctions(blocks.dme, key);
    EXPECT_TRUE(hasFunction(m, u"首选上屏"));
    EXPECT_TRUE(hasFunction(m, u"前翻页"));
    // The candidate functions share one index: a key holds one of them.
    choose(key, u"第3候选调频");
    m = boundFunctions(blocks.dme, key);
    EXPECT_FALSE(hasFunction(m, u"首选上屏"));
    EXPECT_TRUE(hasFunction(m, u"第3候选调频"));
    EXPECT_TRUE(hasFunction(m, u"前翻页"));
    // The two conversion directions exclude each other.
    choose(key, u"上屏转换 - 简体");
    choose(key, u"上屏转换 - 繁体");
    m = boundFunctions(blocks.dme, key);
    EXPECT_TRUE(hasFunction(m, u"上屏转换 - 繁体"));
    EXPECT_FALSE(hasFunction(m, u"上屏转换 - 简体"));
    // "倒数第1" is not "第1".
    choose(key, u"倒数第1候选上屏");
    m = boundFunctions(blocks.dme, key);
    EXPECT_TRUE(hasFunction(m, u"倒数第1候选上屏"));
    EXPECT_FALSE(hasFunction(m, u"第1候选上屏"));
}

TEST_F(KeyEditorTest, AFullCombinationListRefusesANewOneAndChangesNothing) {
    for (int i = 0; i < 32; ++i)
        ASSERT_EQ(KeyEdit::Changed, choose(editorKeyCode(static_cast<uint8_t>(0x41 + i % 26), {.ctrl = true, .alt = i >= 26}),
                                           u"清除输入"));
    EXPECT_EQ(32, blocks.dme.comboCount());
    const std::vector<uint8_t> before = store;
    EXPECT_EQ(KeyEdit::ListFull, choose(editorKeyCode(0x74, {.ctrl = true}), u"清除输入"));
    EXPECT_EQ(before, store);
    // An existing one can still change.
    EXPECT_EQ(KeyEdit::Changed, choose(editorKeyCode(0x41, {.ctrl = true}), u"撤销输入"));

    choose(editorKeyCode(0x20, {}), u"首选上屏");
    clearCombinations(blocks.dme);
    EXPECT_EQ(0, blocks.dme.comboCount());
    EXPECT_EQ(0u, boundFunctions(blocks.dme, editorKeyCode(0x41, {.ctrl = true})));
    EXPECT_NE(0u, boundFunctions(blocks.dme, 0x20));  // single keys stay
    EXPECT_EQ(KeyEdit::Changed, choose(editorKeyCode(0x74, {.ctrl = true}), u"清除输入"));
}

TEST(KeyEditorMenus, EveryItemNamesAFunctionOfTheKeyTable) {
    size_t items = 0;
    for (const FunctionMenu& menu : functionMenus())
        for (const MenuFunction& item : menu.items) {
            EXPECT_NE(0u, parseFunctionText(item.function)) << "no function for a menu item";
            EXPECT_TRUE(hasFunction(toggleFunction(0, item.function), item.function));
            EXPECT_EQ(0u, toggleFunction(toggleFunction(0, item.function), item.function));
            ++items;
        }
    EXPECT_EQ(9u + 11 + 6 + 6 + 13 + 10 + 10, items);
}

TEST(KeyEditorKeyboard, EveryKeyHasItsOwnPlaceAndAKeyCode) {
    std::set<std::pair<int, int>> places;
    std::set<uint8_t> keys;
    for (const KeyboardKey& k : keyboardKeys()) {
        EXPECT_TRUE(places.insert({k.row, k.x}).second) << "two keys in one place";
        EXPECT_TRUE(keys.insert(k.virtualKey).second) << "a key twice";
        EXPECT_GT(k.width, 0);
    }
    EXPECT_EQ(99u, keyboardKeys().size());  // the keys of a PC keyboard the editor offers
    EXPECT_TRUE(isModifierKey(0xA0));
    EXPECT_TRUE(isModifierKey(0xA5));
    EXPECT_FALSE(isModifierKey(0x10));
}

}  // namespace
}  // namespace zv::config
