#include "config/shell/command_line.h"
#include "config/shell/embed_style.h"
#include "config/shell/targets.h"
#include "config/shell/url_text.h"

#include "platform/services.h"

#include <gtest/gtest.h>

namespace zv::config {
namespace {

TEST(ProgramCommandLine, ReadsEveryOptionWhereverItStands) {
    ProgramCommand c = parseProgramCommand(
        u"\"C:\\Program Files\\Zorvan\\config.exe\" /do 按键设置 /n '{6F3A8E21-5C4B}' /showurlCX 600 /showurlCY 500");
    EXPECT_TRUE(c.hasInstance);
    EXPECT_EQ(u"{6F3A8E21-5C4B}", c.instance);
    EXPECT_EQ(u"按键设置", c.target);
    EXPECT_FALSE(c.hasUrl);  // "/showurlCX " is not "/showurl "
    EXPECT_EQ(600, c.urlWidth);
    EXPECT_EQ(500, c.urlHeight);

    // The engine's own form: name and target unquoted.
    c = parseProgramCommand(u"config.exe /n {GUID} /do about");
    EXPECT_EQ(u"{GUID}", c.instance);
    EXPECT_EQ(u"about", c.target);
}

TEST(ProgramCommandLine, QuotedValuesKeepTheirBlanks) {
    ProgramCommand c = parseProgramCommand(u"/n \"name with blanks\" /do \"高级 设置\" x");
    EXPECT_EQ(u"name with blanks", c.instance);
    EXPECT_EQ(u"高级 设置", c.target);
    c = parseProgramCommand(u"/n x /showurl 'mk:@MSITStore:C:\\Z\\main.chm::/keyboardmap.html' /showurlCX 600");
    EXPECT_TRUE(c.hasUrl);
    EXPECT_EQ(u"mk:@MSITStore:C:\\Z\\main.chm::/keyboardmap.html", c.url);
    // An unterminated quote runs to the end of the line.
    EXPECT_EQ(u"open to the end", parseProgramCommand(u"/do 'open to the end").target);
}

TEST(ProgramCommandLine, MissingOrDamagedValues) {
    ProgramCommand c = parseProgramCommand(u"config.exe /do 码表");
    EXPECT_FALSE(c.hasInstance);  // the program refuses to start
    EXPECT_EQ(-1, c.urlWidth);
    EXPECT_EQ(-1, c.urlHeight);
    EXPECT_FALSE(parseProgramCommand(u"config.exe x/n name").hasInstance);  // not an option inside a word
    EXPECT_FALSE(parseProgramCommand(u"/n").hasInstance);                  // the blank is part of the option
    EXPECT_EQ(-1, parseProgramCommand(u"/showurlCX abc /showurlCY 99999999999").urlWidth);
    EXPECT_EQ(1000000, parseProgramCommand(u"/showurlCY 99999999999").urlHeight);
    EXPECT_EQ(-5, parseProgramCommand(u"/showurlCX -5").urlWidth);
    // Values longer than their limit are cut.
    EXPECT_EQ(MaxInstanceUnits, parseProgramCommand(u"/n " + std::u16string(100, u'a')).instance.size());
    EXPECT_EQ(MaxTargetUnits, parseProgramCommand(u"/do '" + std::u16string(300, u'码') + u"'").target.size());
}

TEST(ProgramTargets, ToolsAndTheirSingleInstanceTitles) {
    EXPECT_EQ(Tool::KeyEditor, toolForTarget(u"按键设置"));
    EXPECT_EQ(Tool::KeyEditor, toolForTarget(u"anjianshezhi"));
    EXPECT_EQ(Tool::MainDialog, toolForTarget(u"AnJianSheZhi"));  // tools are compared exactly
    EXPECT_EQ(Tool::OnlineAddWord, toolForTarget(u"剪贴板加词"));
    EXPECT_EQ(Tool::Help, toolForTarget(u"帮助首页"));
    EXPECT_EQ(Tool::MainDialog, toolForTarget(u""));
    EXPECT_EQ(u"按键功能定义 - 佐文五笔", toolWindowTitle(Tool::KeyEditor, u"佐文五笔", u"Zorvan"));
    EXPECT_EQ(u"高级设置模式 - 佐文五笔", toolWindowTitle(Tool::AdvancedEditor, u"佐文五笔", u"Zorvan"));
    EXPECT_EQ(u"码表浏览 - Zorvan", toolWindowTitle(Tool::ClipboardLookup, u"佐文五笔", u"Zorvan"));
    EXPECT_EQ(u"", toolWindowTitle(Tool::AddUserWord, u"佐文五笔", u"Zorvan"));
    EXPECT_EQ(u"使用设置 - 佐文五笔", toolWindowTitle(Tool::MainDialog, u"佐文五笔", u"Zorvan"));
    EXPECT_EQ(u"使用设置 - *****", mainDialogTitle(u""));
    EXPECT_EQ(u"按键功能定义 - *****", toolWindowTitle(Tool::KeyEditor, u"", u"Zorvan"));
}

TEST(ProgramPages, NamesIgnoreCaseAndTheMaskMapsTheRequestedPage) {
    EXPECT_EQ(Page::CodeTable, pageForTarget(u"MaBiao"));
    EXPECT_EQ(Page::CodeTable, pageForTarget(u"码表"));
    EXPECT_EQ(Page::Appearance, pageForTarget(u"JIEMIAN"));
    EXPECT_EQ(Page::About, pageForTarget(u"关于"));
    EXPECT_EQ(Page::General, pageForTarget(u"nothing"));

    // All five in tab order; 0 reads as all.
    std::vector<Page> all{Page::General, Page::Appearance, Page::CodeTable, Page::Advanced, Page::About};
    EXPECT_EQ(all, visiblePages(0));
    EXPECT_EQ(all, visiblePages(0xFFFF));
    EXPECT_EQ(all, visiblePages(0x20));  // shows none: all rather than an empty dialog
    EXPECT_EQ(2, tabForPage(0, Page::CodeTable));

    // 界面 hidden (bit 4): the tab at its position is 码表's; a shown page keeps its own tab.
    const uint32_t no界面 = 0xFFFF & ~pageMaskBit(Page::Appearance);
    EXPECT_EQ((std::vector<Page>{Page::General, Page::CodeTable, Page::Advanced, Page::About}), visiblePages(no界面));
    EXPECT_EQ(1, tabForPage(no界面, Page::Appearance));
    EXPECT_EQ(1, tabForPage(no界面, Page::CodeTable));
    EXPECT_EQ(3, tabForPage(no界面, Page::About));
    // Only 常用 and 高级 shown: 关于 clamps to the last tab.
    const uint32_t two = pageMaskBit(Page::General) | pageMaskBit(Page::Advanced);
    EXPECT_EQ((std::vector<Page>{Page::General, Page::Advanced}), visiblePages(two));
    EXPECT_EQ(1, tabForPage(two, Page::About));
    EXPECT_EQ(0, tabForPage(two, Page::General));
}

TEST(ProgramUrl, ChineseIsPercentEncodedAsUtf8) {
    EXPECT_EQ(u"https://example.org/%E4%BA%94%E7%AC%94?q=a b", escapeUrl(u"https://example.org/五笔?q=a b"));
    EXPECT_EQ(u"x%C3%BFy", escapeUrl(u"x\u00FFy"));  // U+00FF is the first encoded
    EXPECT_EQ(u"\u00FE", escapeUrl(u"\u00FE"));
    EXPECT_EQ(u"%F0%9F%98%80", escapeUrl(u"\U0001F600"));   // a pair is one character
    EXPECT_EQ(u"a%EF%BF%BDb", escapeUrl(u"a\xD800" u"b"));  // a lone half is replaced
    // Help pages go as they are.
    EXPECT_EQ(u"mk:@MSITStore:C:\\中\\main.chm::/About.html", escapeUrl(u"mk:@MSITStore:C:\\中\\main.chm::/About.html"));
    // Long addresses stop at the limit, never inside an escape.
    std::u16string longUrl = escapeUrl(std::u16string(200, u'五'));
    EXPECT_EQ(504u, longUrl.size());  // 56 characters of nine units; a 57th would pass 511
    EXPECT_EQ(u'%', longUrl[longUrl.size() - 9]);
    EXPECT_EQ(MaxEscapedUrlUnits, escapeUrl(std::u16string(600, u'a')).size());
}

TEST(ProgramUrl, HelpFilePagesGoToTheHelpViewer) {
    auto page = helpFilePage(u"mk:@MSITStore:C:\\Zorvan\\main.chm::/keyboardmap.html");
    ASSERT_TRUE(page);
    EXPECT_EQ(u"C:\\Zorvan\\main.chm", page->file);
    EXPECT_EQ(u"keyboardmap.html", page->page);
    EXPECT_FALSE(helpFilePage(u"https://example.org/a::/b"));
    EXPECT_FALSE(helpFilePage(u"mk:@MSITStore:::/page.html"));  // no file
    EXPECT_FALSE(helpFilePage(u"mk:@MSITStore:C:\\main.chm"));  // no page

    EXPECT_TRUE(isWebAddress(u"HTTPS://example.org/五笔"));
    EXPECT_TRUE(isWebAddress(u"http://example.org"));
    EXPECT_FALSE(isWebAddress(u"C:\\Windows\\system32\\calc.exe"));
    EXPECT_FALSE(isWebAddress(u"file:///C:/x.exe"));
    EXPECT_FALSE(isWebAddress(u"http:"));
}

struct RecordingShell : platform::NullServices {
    std::vector<std::pair<std::u16string, std::u16string>> runs;
    bool hiddenRuns = true;
    bool run(std::u16string_view program, std::u16string_view arguments, bool hidden) override {
        runs.emplace_back(program, arguments);
        hiddenRuns = hiddenRuns && hidden;
        return true;
    }
};

class EmbedStyleTest : public ::testing::Test {
protected:
    void SetUp() override {
        store = newConfigStore();
        blocks = findBlocks(store.data(), static_cast<uint32_t>(store.size()));
        ASSERT_TRUE(blocks.complete());
        blocks.ime.setBit(ImeSettings::OptionC, ImeSettings::C_Framework, true);
        launch = {&shell, u"C:\\Zorvan\\", u"{6F3A8E21}"};
    }
    std::vector<uint8_t> store;
    SettingsBlocks blocks;
    RecordingShell shell;
    InstallerLaunch launch;
};

TEST_F(EmbedStyleTest, CrossingToAFrameworkStyleStartsTheInstaller) {
    EXPECT_EQ(EmbedStyle::Traditional, currentEmbedChoice(blocks.ime).style);
    EmbedApplied r = applyEmbedChoice(blocks.ime, {EmbedStyle::EmbedCode, true, false}, launch);
    EXPECT_TRUE(r.written);
    EXPECT_TRUE(r.installerStarted);
    ASSERT_EQ(1u, shell.runs.size());
    EXPECT_EQ(u"C:\\Zorvan\\installer.exe", shell.runs[0].first);
    EXPECT_EQ(u"/EMMODE=1 /GUID={6F3A8E21}", shell.runs[0].second);
    EXPECT_TRUE(shell.hiddenRuns);
    EmbedChoice now = currentEmbedChoice(blocks.ime);
    EXPECT_EQ(EmbedStyle::EmbedCode, now.style);
    EXPECT_TRUE(now.onlyWhenAmbiguous);
    EXPECT_EQ(ImeSettings::A_StyleEmbedCode, blocks.ime.a() & ImeSettings::A_StyleMask);

    // Between two framework styles nothing starts.
    r = applyEmbedChoice(blocks.ime, {EmbedStyle::EmbedFirst, true, true}, launch);
    EXPECT_TRUE(r.written);
    EXPECT_FALSE(r.installerStarted);
    EXPECT_EQ(1u, shell.runs.size());
    EXPECT_TRUE(currentEmbedChoice(blocks.ime).hideEmbeddedFirst);

    // Back to the traditional style: the text service is removed.
    r = applyEmbedChoice(blocks.ime, {EmbedStyle::Traditional, false, false}, launch);
    EXPECT_TRUE(r.installerStarted);
    ASSERT_EQ(2u, shell.runs.size());
    EXPECT_EQ(u"/EMMODE=0 /GUID={6F3A8E21}", shell.runs[1].second);
    EXPECT_EQ(0u, blocks.ime.a() & ImeSettings::A_StyleMask);
}

TEST_F(EmbedStyleTest, WithoutTheFrameworkNothingChanges) {
    blocks.ime.setBit(ImeSettings::OptionC, ImeSettings::C_Framework, false);
    const uint32_t a = blocks.ime.a(), c = blocks.ime.c();
    EmbedApplied r = applyEmbedChoice(blocks.ime, {EmbedStyle::EmbedCode, true, true}, launch);
    EXPECT_FALSE(r.written);
    EXPECT_FALSE(r.installerStarted);
    EXPECT_TRUE(shell.runs.empty());
    EXPECT_EQ(a, blocks.ime.a());
    EXPECT_EQ(c, blocks.ime.c());
}

TEST(EmbedStyleControls, OptionsFollowTheStyle) {
    EXPECT_FALSE(embedOptionsEnabled(EmbedStyle::Traditional).onlyWhenAmbiguous);
    EXPECT_FALSE(embedOptionsEnabled(EmbedStyle::Traditional).hideEmbeddedFirst);
    EXPECT_TRUE(embedOptionsEnabled(EmbedStyle::TsfClassic).onlyWhenAmbiguous);
    EXPECT_FALSE(embedOptionsEnabled(EmbedStyle::TsfClassic).hideEmbeddedFirst);
    EXPECT_TRUE(embedOptionsEnabled(EmbedStyle::EmbedFirst).hideEmbeddedFirst);
    EXPECT_EQ(u"传统样式(&I)  ", embedStyleCaption(EmbedStyle::Traditional, 6, 1));
    EXPECT_EQ(u"传统样式(&I)  ※不可用于Metro模式", embedStyleCaption(EmbedStyle::Traditional, 6, 2));
    EXPECT_EQ(u"传统样式(&I)  ※不可用于Metro模式", embedStyleCaption(EmbedStyle::Traditional, 10, 0));
}

}  // namespace
}  // namespace zv::config
