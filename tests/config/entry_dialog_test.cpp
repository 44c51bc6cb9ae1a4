#include "config/entry_editor.h"

#include "engine/user_words.h"

#include <gtest/gtest.h>

namespace zv::config {
namespace {

TEST(EntryDialogText, CharactersCountSurrogatePairsOnce) {
    EXPECT_EQ(3, characterCount(u"你好\U00020000"));
    EXPECT_EQ(u"好\U00020000", lastCharacters(u"你好\U00020000", 2));
    EXPECT_EQ(u"你好", lastCharacters(u"你好", 5));
    EXPECT_EQ(u"", lastCharacters(u"你好", 0));
    EXPECT_EQ(u"\xDC00", lastCharacters(u"a\xDC00", 1));  // a lone half is one character
}

TEST(EntryDialogText, OnlineAddTakesTheNewestOutputWithinSixteenCharacters) {
    std::vector<uint8_t> store = newConfigStore();
    SettingsBlocks blocks = findBlocks(store.data(), static_cast<uint32_t>(store.size()));
    ASSERT_TRUE(blocks.complete());
    EXPECT_EQ(u"", recentOutputText(blocks.ime));
    for (std::u16string_view word : {u"一二三四五六七八九十", u"中华人民", u"共和国", u"你好"})
        ASSERT_TRUE(recordCommit(blocks.ime, blocks.dme, word, "abcd"));
    ASSERT_EQ(4, historyCount(blocks.ime));
    // 你好 + 共和国 + 中华人民 = 9; the ten before them would pass 16.
    EXPECT_EQ(u"中华人民共和国你好", recentOutputText(blocks.ime));
}

}  // namespace
}  // namespace zv::config
