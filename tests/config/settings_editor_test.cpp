#include "config/shell/settings_editor.h"

#include <gtest/gtest.h>

namespace zv::config {
namespace {

TEST(SettingsEditor, CommentsAndValuesAreColouredLineByLine) {
    const std::u16string text = u"//注释\r\n[-IME设置-]\r\n候选列表显示个数=5\r\n无等号\r\n空值=\r\n";
    std::vector<ColourSpan> spans = settingsColours(text);
    ASSERT_EQ(2u, spans.size());
    EXPECT_EQ(TextColour::Comment, spans[0].colour);
    EXPECT_EQ(u"//注释", text.substr(spans[0].start, spans[0].length));
    EXPECT_EQ(TextColour::Value, spans[1].colour);
    EXPECT_EQ(u"5", text.substr(spans[1].start, spans[1].length));
    // As a rich-edit control holds it, with CR alone at each line's end.
    const std::u16string held = u"//a\r[-X-]\rk=v=w";
    spans = settingsColours(held);
    ASSERT_EQ(2u, spans.size());
    EXPECT_EQ(u"v=w", held.substr(spans[1].start, spans[1].length));
}

TEST(SettingsEditor, SearchWrapsToTheTopOnce) {
    const std::u16string_view text = u"词频调整=一次到顶\r\n词频";
    EXPECT_EQ(0u, findText(text, u"词频", 0));
    EXPECT_EQ(11u, findText(text, u"词频", 1));
    EXPECT_EQ(0u, findText(text, u"词频", 12));  // past the last one: from the top
    EXPECT_FALSE(findText(text, u"按键", 3));
    EXPECT_FALSE(findText(text, u"", 0));
    EXPECT_EQ(0u, findText(text, u"词频", 999));
}

TEST(SettingsEditor, BackupsAreNamedDotZvconfigDotTxt) {
    EXPECT_EQ(u"C:\\Docs\\mine.zvconfig.txt", backupFileName(u"C:\\Docs\\Mine.TXT"));
    EXPECT_EQ(u"C:\\Docs\\mine.zvconfig.txt", backupFileName(u"C:\\Docs\\mine"));
    EXPECT_EQ(u"C:\\Docs\\mine.zvconfig.txt", backupFileName(u"C:\\Docs\\mine.zvconfig.txt"));
    EXPECT_EQ(u"C:\\Docs\\.txt.zvconfig.txt", backupFileName(u"C:\\Docs\\.txt"));  // no name before it
    EXPECT_EQ(u"D:\\设置\\五笔.zvconfig.txt", backupFileName(u"D:\\设置\\五笔.txt"));
}

}  // namespace
}  // namespace zv::config
