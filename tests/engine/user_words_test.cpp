// Learning from commits: the commit history, temporary words formed by the
// word-formation rules, promotion to user words, and the word operations.

#include "engine/candidates.h"
#include "engine/data_files.h"
#include "engine/default_store.h"
#include "engine/host.h"
#include "engine/input.h"
#include "engine/lookup.h"
#include "engine/rules.h"
#include "engine/set_command.h"
#include "engine/user_words.h"
#include "frontends/terminal/key_script.h"
#include "frontends/terminal/session.h"
#include "platform/utf.h"
#include "tests/support/data_fixture.h"

#include <gtest/gtest.h>


namespace zv {
namespace {

class Learning : public ::testing::Test {
protected:
    void SetUp() override {
        fx.config = shippedConfigStore();
        fx.registerInstance(fx.dir.folder());
        fx.writeTemp();
        fx.writeMain({
            {"ggll", u"一", attr::make(16000, 18)},
            {"wqiy", u"你", attr::make(16000, 18)},
            {"vbg", u"好", attr::make(16000, 17)},
            {"khk", u"中", attr::make(16000, 17)},
            {"lgyi", u"国", attr::make(16000, 18)},
            {"wqvb", u"你好", attr::make(16000, 20)},
            {"rqk", u"人", attr::make(16000, 17)},
            {"kf", u"民", attr::make(16000, 16)},
            {"abcd", u"甲乙", attr::make(16000, 20)},
        });
        open();
    }

    void open() {
        session.reset();
        ctx = fx.open();
        ASSERT_TRUE(ctx);
        InstallerLaunch launch{&fx.services, ctx->installDir, ctx->imeName};
        ASSERT_TRUE(runSetCommand(ctx->blocks, u"set([-IME设置-],临时词功能开启=是)", launch).valid);
        session = std::make_unique<term::Session>(*ctx, fx.clock);
        startInputContext(*ctx);
    }

    std::u16string type(std::string_view script) {
        auto strokes = term::parseKeyScript(script);
        EXPECT_TRUE(strokes);
        if (strokes)
            for (auto& k : *strokes) session->play(k);
        return session->typed();
    }

    std::vector<std::pair<std::string, std::u16string>> tempWords() {
        std::vector<std::pair<std::string, std::u16string>> out;
        CodeTable t = tableView(*ctx, SlotTemp);
        for (uint32_t i = 0; i < t.count(); ++i)
            out.emplace_back(std::string(t.entry(i).codeBytes()), t.entry(i).wordText());
        return out;
    }

    test::DataFixture fx;
    std::unique_ptr<EngineContext> ctx;
    std::unique_ptr<term::Session> session;
};

TEST_F(Learning, ThreeSingleCharactersFormTheWordOfTheLastTwo) {
    type("ggll");      // 一 commits at once (unique)
    type("wqiyvbg{Space}");  // 你 is unique at four keys
    EXPECT_EQ(u"一你好", session->typed());
    EXPECT_EQ(3, historyCount(ctx->blocks.ime));
    HistoryEntry h = historyEntry(ctx->blocks.ime, 2);
    EXPECT_EQ(u"好", h.text);
    ASSERT_EQ(1u, h.codes.size());
    EXPECT_EQ(u"vbg", h.codes[0]);
    // Only the last two: the oldest entry never starts a word. "你好" is in
    // the main table already, so nothing new is stored.
    EXPECT_TRUE(tempWords().empty());
    type("khk{Space}");  // 一你好中: 好中 (vbkh) and 你好中 (wvkh)
    auto words = tempWords();
    ASSERT_EQ(2u, words.size());
    EXPECT_EQ((std::pair<std::string, std::u16string>{"vbkh", u"好中"}), words[0]);
    EXPECT_EQ((std::pair<std::string, std::u16string>{"wvkh", u"你好中"}), words[1]);
}

TEST_F(Learning, WordThenCharacterFormsAThreeCharacterWord) {
    type("ggll");
    type("abcd{Space}khk{Space}");
    // 甲乙 hands its code out as "ab" and "cd"; with 中 the rule for three
    // characters takes a, c, k and h.
    HistoryEntry h = historyEntry(ctx->blocks.ime, 1);
    EXPECT_EQ(u"甲乙", h.text);
    EXPECT_EQ((std::vector<std::u16string>{u"ab", u"cd"}), h.codes);
    auto words = tempWords();
    ASSERT_EQ(1u, words.size());
    EXPECT_EQ((std::pair<std::string, std::u16string>{"ackh", u"甲乙中"}), words[0]);
}

TEST_F(Learning, TemporaryWordCommittedAgainBecomesAUserWord) {
    type("ggllkhk{Space}lgyi");  // forms 中国 (khlg)
    ASSERT_EQ(1u, tempWords().size());
    type("khlg");
    ASSERT_EQ(1, ctx->page.count);
    EXPECT_EQ(u"中国", ctx->page.items[0].display);
    type("{Space}");
    EXPECT_EQ(u"一中国中国", session->typed());
    // 中国 left the temporary words (the commit formed others from it).
    for (auto& w : tempWords()) EXPECT_NE(u"中国", w.second);
    CodeTable main = tableView(*ctx, SlotMain);
    bool found = false;
    for (uint32_t i = 0; i < main.count(); ++i)
        if (main.entry(i).wordText() == u"中国") {
            found = true;
            EXPECT_EQ(attr::make(1024, CategoryUser), main.entry(i).attributes);
        }
    EXPECT_TRUE(found);
}

TEST_F(Learning, HistoryAndTemporaryWordsSurviveARestart) {
    type("ggllkhk{Space}lgyi");
    fx.config.assign(ctx->file(SlotConfig)->data(), ctx->file(SlotConfig)->data() + fx.config.size());
    open();
    EXPECT_EQ(3, historyCount(ctx->blocks.ime));
    EXPECT_EQ(u"国", newestHistoryText(ctx->blocks.ime));
    EXPECT_EQ(1u, tempWords().size());
}

TEST_F(Learning, HistoryKeepsTheLastSixteenAndSkipsWhatItShould) {
    ImeSettings& ime = ctx->blocks.ime;
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(recordCommit(ime, ctx->blocks.dme, std::u16string(1, static_cast<char16_t>(0x4E00 + i)), "abcd"));
    EXPECT_EQ(16, historyCount(ime));
    EXPECT_EQ(std::u16string(1, char16_t(0x4E04)), historyEntry(ime, 0).text);
    EXPECT_FALSE(recordCommit(ime, ctx->blocks.dme, std::u16string(16, u'字'), "abcd"));
    EXPECT_FALSE(recordCommit(ime, ctx->blocks.dme, u"$zvcmd(x,y)", "abcd"));
    EXPECT_FALSE(recordCommit(ime, ctx->blocks.dme, u"字", ""));
    // A single character keeps at most eight code units.
    ASSERT_TRUE(recordCommit(ime, ctx->blocks.dme, u"字", "abcdefghij"));
    EXPECT_EQ(u"abcdefgh", historyEntry(ime, 15).codes[0]);
}

TEST_F(Learning, RightCountedAndFElementsInTheRules) {
    DmeSettings& dme = ctx->blocks.dme;
    ASSERT_EQ(RuleResult::Applied, parseRule(dme, u"P2=R2B1R1B1L1F2"));
    auto el = ruleElements(dme, 2);
    ASSERT_EQ(3u, el.size());
    EXPECT_EQ(1, rule::character(el[0]));
    EXPECT_EQ(2, rule::character(el[1]));
    EXPECT_TRUE(rule::isF(el[2]));
    // The F element hands nothing out and takes nothing.
    ImeSettings& ime = ctx->blocks.ime;
    ime.setU32(ImeSettings::HistoryCount, 0);
    ASSERT_TRUE(recordCommit(ime, dme, u"甲", "aaaa"));
    ASSERT_TRUE(recordCommit(ime, dme, u"乙", "bbbb"));
    ASSERT_TRUE(recordCommit(ime, dme, u"丙", "cccc"));
    EXPECT_EQ(1, formTemporaryWords(*ctx));
    EXPECT_EQ((std::pair<std::string, std::u16string>{"bc", u"乙丙"}), tempWords().at(0));
}

TEST_F(Learning, WordOperationsMovePinRecategoriseAndDelete) {
    // Windows cannot rewrite a file while the engine has it mapped.
    session.reset();
    ctx.reset();
    fx.writeMain({{"aa", u"甲", attr::make(300, 1)},
                  {"aa", u"乙", attr::make(200, 1)},
                  {"aa", u"丙", attr::make(100, 1)},
                  {"aa", u"丁", attr::make(50, 1, true)}});
    open();
    auto order = [&] {
        ctx->candidates.clear();
        type("{Esc}aa");
        std::u16string s;
        for (int i = 0; i < ctx->page.count; ++i) s += ctx->page.items[i].display;
        return s;
    };
    EXPECT_EQ(u"丁甲乙丙", order());
    EXPECT_TRUE(wordOperation(*ctx, 4, WordMoveUp));
    EXPECT_EQ(u"丁甲丙乙", order());
    EXPECT_FALSE(wordOperation(*ctx, 2, WordMoveUp));  // 丁 is fixed: not the same rank
    EXPECT_TRUE(wordOperation(*ctx, 4, WordMoveToTop));
    EXPECT_EQ(u"丁乙甲丙", order());
    EXPECT_TRUE(wordOperation(*ctx, 2, WordMoveToBottom));
    EXPECT_EQ(u"丁甲丙乙", order());
    EXPECT_TRUE(wordOperation(*ctx, 4, WordPin));
    EXPECT_EQ(u"乙丁甲丙", order());
    EXPECT_TRUE(wordOperation(*ctx, 1, WordRecategorise));  // 乙 becomes secondary display
    EXPECT_EQ(u"丁甲丙", order());
    EXPECT_TRUE(wordOperation(*ctx, 3, WordDelete));
    EXPECT_EQ(u"丁甲", order());
    wordOperation(*ctx, 1, WordInformation);
    ASSERT_EQ(2u, fx.services.messages.size());
    EXPECT_EQ(u"词条信息 - 丁", fx.services.messages[0]);
    EXPECT_EQ(u"当前检索码表: 主码表  (可使用“码表切换键”切换至次显码表)\r\n\r\n\r\n是否固顶词条: 是\r\n分类: 主码表\r\n",
              fx.services.messages[1]);
    wordOperation(*ctx, 2, WordDictionary);
    EXPECT_EQ(u"https://dict.zorvan.org/dic/index.php?c=%E7%94%B2", fx.services.opened.at(0));
}

TEST_F(Learning, AnEngineThatLeavesItsDataUntouchedLearnsOnlyWhileItIsOpen) {
    const auto before = test::folderBytes(fx.dir.path());
    {
        Engine secure = openEngine(test::DataFixture::Name, fx.platform(), DataUse::Untouched);
        ASSERT_TRUE(secure);
        term::Session typing(*secure, fx.clock);
        startInputContext(*secure);
        auto play = [&](std::string_view script) {
            const auto strokes = term::parseKeyScript(script);
            ASSERT_TRUE(strokes);
            for (const auto& k : *strokes) typing.play(k);
        };
        play("ggllkhk{Space}lgyikhlg");
        // It learns as any engine does: the history, and 中国 as a
        // temporary word it offers for khlg.
        EXPECT_EQ(u"一中国", typing.typed());
        EXPECT_GT(historyCount(secure->blocks.ime), 0);
        ASSERT_EQ(1, secure->page.count);
        EXPECT_EQ(u"中国", secure->page.items[0].display);
        play("{Space}");
        // Nothing reached the folder: no file changed and none was added
        // (no journal, no lock), and the folder's other engine sees nothing.
        EXPECT_EQ(before, test::folderBytes(fx.dir.path()));
        EXPECT_TRUE(tempWords().empty());
        EXPECT_EQ(0, historyCount(ctx->blocks.ime));
    }
    EXPECT_EQ(before, test::folderBytes(fx.dir.path()));
    // The same keys in an engine that shares the folder do change it.
    type("ggllkhk{Space}lgyi");
    EXPECT_NE(before, test::folderBytes(fx.dir.path()));
}

}  // namespace
}  // namespace zv
