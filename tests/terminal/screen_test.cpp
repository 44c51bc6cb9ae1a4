// The interactive screen built from a view of the engine: what each row
// shows, how wide it is, where the cursor stands, and what a redraw writes.

#include "frontends/terminal/interactive.h"
#include "frontends/terminal/screen.h"
#include "platform/utf.h"

#include <gtest/gtest.h>

namespace zv::term {
namespace {

// A row as the terminal shows it: the colour sequences taken out.
std::string shown(const std::string& line) {
    std::string out;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\x1b' && i + 1 < line.size() && line[i + 1] == '[') {
            i += 2;
            while (i < line.size() && !(line[i] >= 0x40 && line[i] <= 0x7E)) ++i;
            continue;
        }
        out += line[i];
    }
    return out;
}

int columnsOf(const std::string& line) { return textWidth(utf8ToUtf16(shown(line))); }

ui::CandidateItem item(std::u16string text, std::u16string hint = {}) {
    ui::CandidateItem i;
    i.text = std::move(text);
    i.hint = std::move(hint);
    return i;
}

ScreenInput composing(std::u16string_view text) {
    ScreenInput in;
    in.text = text;
    in.view.display = u"wqvb";
    in.view.cursor = 4;
    in.view.items = {item(u"你好"), item(u"您好")};
    in.help = helpItems(0);
    return in;
}

void expectWithin(const Screen& s, int columns, int rows, const std::string& what) {
    ASSERT_EQ(static_cast<size_t>(rows), s.lines.size()) << what;
    for (const std::string& line : s.lines) EXPECT_LE(columnsOf(line), columns) << what << ": " << shown(line);
    EXPECT_GE(s.cursorRow, 0) << what;
    EXPECT_LT(s.cursorRow, rows) << what;
    EXPECT_GE(s.cursorColumn, 0) << what;
    EXPECT_LT(s.cursorColumn, columns) << what;
}

TEST(Screen, WidthsOfWhatChineseTypingShows) {
    EXPECT_EQ(1, cellWidth(U'a'));
    EXPECT_EQ(2, cellWidth(U'你'));
    EXPECT_EQ(2, cellWidth(U'，'));   // full-width punctuation
    EXPECT_EQ(2, cellWidth(U'　'));   // ideographic space
    EXPECT_EQ(2, cellWidth(U'㈠'));
    EXPECT_EQ(1, cellWidth(U'“'));   // ambiguous: narrow, as terminals show it
    EXPECT_EQ(1, cellWidth(U'α'));
    EXPECT_EQ(1, cellWidth(U'䷀'));   // Yijing hexagrams sit between two wide blocks
    EXPECT_EQ(0, cellWidth(0x0301));
    EXPECT_EQ(2, cellWidth(0x20000));
    EXPECT_EQ(2, cellWidth(0x1F600));
    EXPECT_EQ(6, textWidth(u"你好ab"));
    EXPECT_EQ(2, textWidth(u"\U00020000"));  // a surrogate pair is one character
    EXPECT_EQ(2, textWidth(u"a\u202E\u200Bb"));  // formatting characters are not shown
}

TEST(Screen, TypingInEightyByTwentyFour) {
    Screen s = layoutScreen(composing(u"你好"), 80, 24);
    expectWithin(s, 80, 24, "80x24");
    EXPECT_NE(std::string::npos, shown(s.lines[0]).find("[中文] [半角] [中文标点] [简体]"));
    // The composition is typed into the text, the caret at its cursor.
    EXPECT_EQ("你好wqvb", shown(s.lines[1]));
    EXPECT_EQ(1, s.cursorRow);
    EXPECT_EQ(8, s.cursorColumn);
    // The page below it, starting under the composition.
    EXPECT_EQ("    1.你好  2.您好", shown(s.lines[2]));
    EXPECT_NE(std::string::npos, shown(s.lines[23]).find("^Space 中/英"));
    EXPECT_NE(std::string::npos, shown(s.lines[23]).find("^Q 退出"));

    // The highlight, hints and index labels follow the view and the options.
    ScreenInput in = composing(u"");
    in.view.items[1].hint = u"a";
    in.view.highlight = 1;
    in.showIndex = false;
    s = layoutScreen(in, 80, 24);
    EXPECT_EQ("你好  您好a", shown(s.lines[2]));
    EXPECT_NE(std::string::npos, s.lines[2].find("\x1b[0;30;43m您好"));
    in.showHints = false;
    EXPECT_EQ("你好  您好", shown(layoutScreen(in, 80, 24).lines[2]));

    // The modes and the soft keyboard's layout.
    in.view.modes = ModeEnglish | ModeFullWidth | ModeEnglishPunct | ModeSoftKeyboard;
    in.view.softKeyboardLayout = 2;
    in.traditional = true;
    s = layoutScreen(in, 80, 24);
    EXPECT_NE(std::string::npos, shown(s.lines[0]).find("[英文] [全角] [英文标点] [繁体] [软键盘:希腊字母]"));
    // Short words where the long ones do not fit.
    EXPECT_EQ(0u, shown(layoutScreen(in, 40, 24).lines[0]).find(" 五笔 英文 全角 ,. 繁体 希腊字母 "));
}

TEST(Screen, PageArrowsAndNarrowScreens) {
    ScreenInput in = composing(u"");
    in.view.items = {item(u"工", u"aaa"), item(u"式", u"a"), item(u"节"), item(u"藏", u"nt")};
    in.view.lastPage = false;
    Screen s = layoutScreen(in, 80, 24);
    EXPECT_EQ("1.工aaa  2.式a  3.节  4.藏nt < >", shown(s.lines[2]));
    EXPECT_NE(std::string::npos, s.lines[2].find("\x1b[0;2m<"));  // no page before the first
    EXPECT_NE(std::string::npos, s.lines[2].find("\x1b[0;1m>"));

    // Too narrow for the page: whole items are left out, the arrows stay.
    s = layoutScreen(in, 20, 24);
    expectWithin(s, 20, 24, "20 columns");
    EXPECT_EQ("1.工aaa  2.式a < >", shown(s.lines[2]));

    // A long composition near the right edge: the page moves left to fit.
    const std::u16string longText(36, u'字');
    in.text = longText;
    s = layoutScreen(in, 80, 24);
    expectWithin(s, 80, 24, "long text");
    EXPECT_EQ(48u, shown(s.lines[2]).find_first_not_of(' '));
    EXPECT_EQ(80, columnsOf(s.lines[2]));
}

TEST(Screen, LongTextWrapsAndScrollsToTheCaret) {
    // Wide characters never split across rows.
    std::u16string text(5, u'你');
    ScreenInput in;
    in.text = text;
    Screen s = layoutScreen(in, 9, 10);
    expectWithin(s, 9, 10, "9 columns");
    EXPECT_EQ("你你你你", shown(s.lines[1]));
    EXPECT_EQ("你", shown(s.lines[2]));
    EXPECT_EQ(2, s.cursorRow);
    EXPECT_EQ(2, s.cursorColumn);

    // Lines, tabs and a full last row: the caret's row and one free row for
    // the candidates stay on the screen.
    std::u16string many;
    for (int i = 0; i < 40; ++i) many += u"line " + utf8ToUtf16(std::to_string(i)) + u"\n";
    many += u"a\tb";
    in.text = many;
    s = layoutScreen(in, 80, 24);
    expectWithin(s, 80, 24, "many lines");
    EXPECT_EQ("a       b", shown(s.lines[21]));
    EXPECT_EQ("line 39", shown(s.lines[20]));
    EXPECT_EQ("", shown(s.lines[22]));
    EXPECT_EQ(21, s.cursorRow);
    EXPECT_EQ(9, s.cursorColumn);

    const std::u16string fullRow(10, u'x');
    in.text = fullRow;
    s = layoutScreen(in, 10, 6);
    EXPECT_EQ(2, s.cursorRow);  // the caret after a full row starts the next one
    EXPECT_EQ(0, s.cursorColumn);
}

TEST(Screen, TextFromTablesCannotCommandTheTerminal) {
    ScreenInput in = composing(u"a\x1b]0;title\x07\x1b[2Jb\u202Ec\x9b");
    in.view.items = {item(u"\x1b[31mred", u"\x1b[H")};
    Screen s = layoutScreen(in, 80, 24);
    const std::string row = s.lines[1] + s.lines[2];
    EXPECT_EQ(std::string::npos, row.find("\x1b]"));
    EXPECT_EQ(std::string::npos, row.find("\x1b[2J"));
    EXPECT_EQ(std::string::npos, row.find("\x1b[31m"));
    EXPECT_EQ(std::string::npos, row.find("\x1b[H"));
    EXPECT_EQ(std::string::npos, row.find("\xc2\x9b"));
    EXPECT_EQ(u"a\uFFFD]0;title\uFFFD\uFFFD[2Jbc\uFFFDwqvb", utf8ToUtf16(shown(s.lines[1])));
}

TEST(Screen, SoftKeyboardShowsTheLayoutsKeys) {
    ScreenInput in;
    in.view.modes = ModeSoftKeyboard;
    in.view.softKeyboardLayout = 2;  // 希腊字母
    in.help = helpItems(ModeSoftKeyboard);
    Screen s = layoutScreen(in, 80, 24);
    expectWithin(s, 80, 24, "keyboard");
    // Four rows above the help line; q types α, Shift+q Α.
    EXPECT_EQ(0u, shown(s.lines[19]).find("`"));
    EXPECT_NE(std::string::npos, shown(s.lines[19]).find("1"));
    EXPECT_NE(std::string::npos, shown(s.lines[20]).find("qα Α"));
    EXPECT_NE(std::string::npos, shown(s.lines[23]).find("^K 下一布局"));
    EXPECT_NE(std::string::npos, shown(s.lines[23]).find("Esc 关软键盘"));
    // Narrower: only the unshifted characters; too low: no keyboard at all.
    s = layoutScreen(in, 60, 24);
    expectWithin(s, 60, 24, "60 columns");
    EXPECT_NE(std::string::npos, shown(s.lines[20]).find("qα  w"));
    s = layoutScreen(in, 80, 8);
    for (const std::string& line : s.lines) EXPECT_EQ(std::string::npos, shown(line).find("qα"));
}

TEST(Screen, TinyScreensStayInside) {
    ScreenInput in = composing(u"你好\n世界");
    in.view.modes = ModeSoftKeyboard;
    in.view.softKeyboardLayout = 6;
    in.view.lastPage = false;
    for (int rows = 1; rows <= 8; ++rows)
        for (int columns = 1; columns <= 12; ++columns)
            expectWithin(layoutScreen(in, columns, rows), columns, rows,
                         std::to_string(columns) + "x" + std::to_string(rows));
    EXPECT_TRUE(layoutScreen(in, 80, 0).lines.empty());
}

TEST(Screen, RedrawWritesOnlyTheChangedRows) {
    Screen a = layoutScreen(composing(u"你好"), 80, 24);
    const std::string first = screenUpdate(nullptr, a);
    EXPECT_NE(std::string::npos, first.find("\x1b[2J"));
    EXPECT_EQ("", screenUpdate(&a, a));

    ScreenInput in = composing(u"你好");
    in.view.highlight = 1;
    Screen b = layoutScreen(in, 80, 24);
    const std::string update = screenUpdate(&a, b);
    EXPECT_NE(std::string::npos, update.find("\x1b[3;1H"));  // the page's row
    EXPECT_EQ(std::string::npos, update.find("\x1b[2;1H"));  // the text did not change
    EXPECT_EQ(std::string::npos, update.find("\x1b[1;1H"));
    EXPECT_EQ(std::string::npos, update.find("\x1b[2J"));
    // The cursor hides while rows are written and comes back at the caret.
    EXPECT_EQ(0u, update.find("\x1b[?25l"));
    EXPECT_NE(std::string::npos, update.rfind("\x1b[2;9H\x1b[?25h"));

    // A different size clears and draws everything.
    Screen c = layoutScreen(in, 80, 30);
    EXPECT_NE(std::string::npos, screenUpdate(&b, c).find("\x1b[2J"));
}

}  // namespace
}  // namespace zv::term
