#include "engine/commands.h"

#include "engine/engine_context.h"
#include "tests/support/data_fixture.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

constexpr std::u16string_view kInstall = u"C:\\Zorvan\\";

PreparedCommand prepare(std::u16string_view output, bool on = true, int position = 1, uint8_t source = SourceMain) {
    return prepareCommand(CommandItem{output, position, source}, on, kInstall);
}

TEST(PrepareCommand, RunOpensOnlyWithCommandsOn) {
    PreparedCommand c = prepare(u"run(notepad.exe)");
    EXPECT_EQ(ResultCommand | CommandOpen, c.kind);
    EXPECT_EQ(u"", c.text);
    EXPECT_EQ(u"notepad.exe", c.argument);

    c = prepare(u"run(notepad.exe)", false);
    EXPECT_EQ(ResultText, c.kind);
    EXPECT_EQ(u"run(notepad.exe)", c.text);
    // Beyond the tenth place commands are text too.
    EXPECT_EQ(u"run(notepad.exe)", prepare(u"run(notepad.exe)", true, 11).text);
    EXPECT_EQ(ResultCommand | CommandOpen, prepare(u"run(notepad.exe)", true, 10).kind);
}

TEST(PrepareCommand, ArgumentQuotesAndInstallFolder) {
    EXPECT_EQ(u"C:\\Zorvan\\tools\\a b.exe", prepare(u"run(\"%apppath%\\tools\\a b.exe\")").argument);
    EXPECT_EQ(u"C:\\Zorvan\\x.exe", prepare(u"run(%apppath%x.exe)").argument);
    // Only one pair of quotes, and only around the whole argument.
    EXPECT_EQ(u"\"a\"", prepare(u"run(\"\"a\"\")").argument);
    EXPECT_EQ(u"a\"b", prepare(u"run(a\"b)").argument);
    // The argument runs to the last ")"; without one, to the end.
    EXPECT_EQ(u"f(x)", prepare(u"run(f(x))").argument);
    EXPECT_EQ(u"notepad", prepare(u"run(notepad").argument);
}

TEST(PrepareCommand, KindsOfEachCommand) {
    EXPECT_EQ(ResultCommand | CommandHelp, prepare(u"help(a.html,600,500)").kind);
    EXPECT_EQ(ResultCommand | CommandConfig, prepare(u"config(/do 关于)").kind);
    EXPECT_EQ(u"/do 关于", prepare(u"config(/do 关于)").argument);
    EXPECT_EQ(ResultCommand | CommandSoftKeyboard, prepare(u"skbd(1)").kind);

    PreparedCommand c = prepare(u"set(\"[-IME设置-]\",词频调整=一次到顶)");
    EXPECT_EQ(ResultCommand | CommandSettings, c.kind);
    EXPECT_EQ(u"set(\"[-IME设置-]\",词频调整=一次到顶)", c.argument);

    c = prepare(u"convert(全半角,全角)");
    EXPECT_EQ(ResultCommand | CommandConvert, c.kind);
    EXPECT_EQ(u"全半角,全角", c.argument);
    // English words that merely begin like a command stay text.
    EXPECT_EQ(u"convey", prepare(u"convey", true, 1, SourceWordList).text);
    EXPECT_EQ(u"skbdx", prepare(u"skbdx").text);

    c = prepare(u"你好keyboard(<13>)");
    EXPECT_EQ(ResultText | ResultCommand | CommandKeys, c.kind);
    EXPECT_EQ(u"你好", c.text);
    EXPECT_EQ(u"<13>", c.argument);
    c = prepare(u"keyboard(<13>)");
    EXPECT_EQ(ResultCommand | CommandKeys, c.kind);
    EXPECT_EQ(u"", c.text);
    // Text before the command may hold parentheses of its own.
    EXPECT_EQ(u"<9>", prepare(u"f(x) keyboard(<9>)").argument);

    c = prepare(u"前面newkey(zzbd)");
    EXPECT_EQ(ResultReplaceCode, c.kind);
    EXPECT_EQ(u"", c.text);
    EXPECT_EQ(u"zzbd", c.argument);
}

TEST(PrepareCommand, PlainTextKindFollowsTheSource) {
    EXPECT_EQ(ResultText, prepare(u"中国").kind);
    EXPECT_EQ(ResultText | ResultWordBit, prepare(u"二〇二六", true, 1, SourceGenerated).kind);
    EXPECT_EQ(ResultText | ResultWordBit, prepare(u"hello", false, 1, SourceWordList).kind);
    EXPECT_EQ(ResultText | ResultPlainBit, prepare(u"x", true, 1, SourcePlainBit).kind);
}

TEST(PrepareCommand, WebAddressesAreEscaped) {
    EXPECT_EQ(u"http://example.com/s?q=%E4%B8%AD%E6%96%87&x=\u00e9",
              prepare(u"run(http://example.com/s?q=中文&x=\u00e9)").argument);
    EXPECT_EQ(u"http://a/%C3%BF%F0%A0%80%80%EF%BF%BD", escapeWebAddress(u"http://a/\u00ff𠀀\xDC00"));
    // Other arguments keep their characters.
    EXPECT_EQ(u"D:\\文档\\a.txt", prepare(u"run(D:\\文档\\a.txt)").argument);

    std::u16string longAddress = u"http://" + std::u16string(200, u'中');
    std::u16string escaped = prepare(u"run(" + longAddress + u")").argument;
    EXPECT_EQ(7u + 55 * 9, escaped.size());  // whole escapes only, within 510
    EXPECT_EQ(u"%E4%B8%AD", escaped.substr(escaped.size() - 9));
}

TEST(KeyboardCommand, GroupsBecomeExtendedKeyEvents) {
    using platform::KeyEvent;
    auto events = keyboardEvents(u"<65.2+Ctrl+Shift>x<13+Win+Alt><300><9");
    std::vector<std::pair<int, bool>> got;
    for (const KeyEvent& e : events) {
        got.emplace_back(e.virtualKey, e.up);
        EXPECT_TRUE(e.extended);
    }
    std::vector<std::pair<int, bool>> want = {
        {0x11, false}, {0x10, false}, {65, false}, {65, true}, {65, false}, {65, true}, {0x11, true}, {0x10, true},
        {0x5B, false}, {0x12, false}, {13, false}, {13, true}, {0x12, true}, {0x5B, true},
    };
    EXPECT_EQ(want, got);

    // The scan stops at the first ")" or ","; repeats are kept within 1..256.
    EXPECT_EQ(2u, keyboardEvents(u"<13>,<14>").size());
    EXPECT_EQ(2u, keyboardEvents(u"<13>)<14>").size());
    EXPECT_EQ(2u, keyboardEvents(u"<13.0>").size());
    EXPECT_EQ(512u, keyboardEvents(u"<13.99999>").size());
    EXPECT_TRUE(keyboardEvents(u"<+Ctrl>< >").empty());
}

class RunCommand : public ::testing::Test {
protected:
    RunCommand() {
        ctx->platform.shell = &services;
        ctx->platform.keys = &services;
        ctx->imeName = u"{NAME}";
        ctx->installDir = kInstall;
        ctx->blocks = findBlocks(store.data(), static_cast<uint32_t>(store.size()));
        ctx->blocks.ime.setBit(ImeSettings::OptionC, ImeSettings::C_CommandDirect, true);
    }
    CommandOutcome run(std::u16string_view output) { return runResultCommand(*ctx, prepareCommand(*ctx, {output})); }

    std::vector<uint8_t> store = newConfigStore();
    std::unique_ptr<EngineContext> ctx = std::make_unique<EngineContext>();
    test::RecordingServices services;
};

TEST_F(RunCommand, ShellConfigurationProgramAndHelp) {
    EXPECT_TRUE(run(u"run(notepad.exe)").ran);
    EXPECT_EQ(std::vector<std::u16string>{u"notepad.exe"}, services.opened);

    run(u"config(/do 关于)");
    run(u"help(keyboardmap.html,600,500)");
    ASSERT_EQ(2u, services.runs.size());
    EXPECT_EQ(u"C:\\Zorvan\\config.exe", services.runs[0].program);
    EXPECT_EQ(u"/n {NAME} /do 关于", services.runs[0].arguments);
    EXPECT_FALSE(services.runs[0].hidden);
    EXPECT_EQ(u"/n {NAME} /showurl 'mk:@MSITStore:C:\\Zorvan\\main.chm::/keyboardmap.html' /showurlCX 600 "
              u"/showurlCY 500",
              services.runs[1].arguments);

    // Without a size the help viewer shows the page; without a page the
    // help file itself opens.
    run(u"help(index.html)");
    run(u"help(index.html,0,500)");
    run(u"help()");
    EXPECT_EQ((std::vector<std::u16string>{u"C:\\Zorvan\\main.chm::/index.html", u"C:\\Zorvan\\main.chm::/index.html"}),
              services.helpPages);
    EXPECT_EQ(u"C:\\Zorvan\\main.chm", services.opened.at(1));
}

TEST_F(RunCommand, KeysModesAndSoftKeyboard) {
    run(u"前keyboard(<13.2>)");
    EXPECT_EQ(4u, services.keys.size());

    ctx->blocks.ime.setBit(ImeSettings::OptionA, ImeSettings::A_Traditional, true);
    CommandOutcome o = run(u"convert(全半角,全角)");
    EXPECT_TRUE(o.modesChanged);
    EXPECT_EQ(ModeFullWidth, ctx->modeFlags);
    EXPECT_FALSE(ctx->blocks.ime.bit(ImeSettings::OptionA, ImeSettings::A_Traditional));
    EXPECT_FALSE(run(u"convert(全半角)").modesChanged);

    EXPECT_TRUE(run(u"skbd(0)").hideSoftKeyboard);

    // Plain text and code replacement are not commands to run.
    EXPECT_FALSE(run(u"中文").ran);
    EXPECT_FALSE(run(u"newkey(zzbd)").ran);
    ctx->blocks.ime.setBit(ImeSettings::OptionC, ImeSettings::C_CommandDirect, false);
    EXPECT_FALSE(run(u"run(calc.exe)").ran);
    EXPECT_TRUE(services.opened.empty());
}

TEST_F(RunCommand, SettingsCommandAppliesOneOption) {
    EXPECT_TRUE(run(u"set([-IME设置-],词频调整=一次到顶)").settingsChanged);
    EXPECT_EQ(1u, ctx->blocks.ime.b() & ImeSettings::B_FreqMask);
    EXPECT_FALSE(run(u"set([-IME设置-],输入法框架=是)").settingsChanged);
    EXPECT_FALSE(run(u"set([-IME设置-],词频调整)").settingsChanged);
    // Leaving the text-service styles has the installer remove the service.
    ctx->blocks.ime.setBit(ImeSettings::OptionC, ImeSettings::C_Framework, true);
    ctx->blocks.ime.setBit(ImeSettings::OptionA, ImeSettings::A_StyleEmbedCode, true);
    EXPECT_TRUE(run(u"set([-IME设置-],编码窗口样式=IME-传统样式)").settingsChanged);
    ASSERT_EQ(1u, services.runs.size());
    EXPECT_EQ(u"C:\\Zorvan\\installer.exe", services.runs[0].program);
    EXPECT_EQ(u"/EMMODE=0 /GUID={NAME}", services.runs[0].arguments);
}

TEST(ConfigProgram, FolderGetsItsSeparator) {
    test::RecordingServices services;
    startConfigProgram(services, u"C:\\Program Files\\Zorvan", u"{N}", u"");
    startConfigProgram(services, u"/opt/zorvan", u"{N}", u"/do 帮助首页");
    ASSERT_EQ(2u, services.runs.size());
    EXPECT_EQ(u"C:\\Program Files\\Zorvan\\config.exe", services.runs[0].program);
    EXPECT_EQ(u"/n {N} ", services.runs[0].arguments);
    EXPECT_EQ(u"/opt/zorvan/config.exe", services.runs[1].program);
}

}  // namespace
}  // namespace zv
