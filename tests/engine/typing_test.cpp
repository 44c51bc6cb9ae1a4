// Scenarios: key scripts typed into an engine on a small table, with the
// shipped settings unless a test changes them.

#include "engine/candidates.h"
#include "engine/default_store.h"
#include "engine/input.h"
#include "engine/set_command.h"
#include "frontends/terminal/key_script.h"
#include "frontends/terminal/session.h"
#include "platform/utf.h"
#include "tests/support/data_fixture.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

using test::DataFixture;

// The shipped settings over a small Wubi-like table.
class Typing : public ::testing::Test {
protected:
    void SetUp() override {
        fx.config = shippedConfigStore();
        fx.registerInstance(fx.dir.folder());
        fx.writeMain({
            {"a", u"工", attr::make(16383, 1)},
            {"aa", u"式", attr::make(16383, 16)},
            {"aaaa", u"工", attr::make(16000, 18)},
            {"aaad", u"工期", attr::make(16000, 20)},
            {"ggll", u"一", attr::make(16000, 18)},
            {"ggl", u"一", attr::make(16001, 17)},
            {"wqvb", u"你好", attr::make(16382, 20)},
            {"wqvb", u"您好", attr::make(16381, 20)},
            {"khlg", u"中国", attr::make(16383, 20)},
            {"kh", u"中", attr::make(16383, 16)},
            {"sf", u"极", attr::make(16383, 16)},
            {"sfgh", u"支", attr::make(16383, 18)},
            {"sfgj", u"汗", attr::make(16382, 18)},
        });
    }

    // Opens the engine, applies the set commands and starts the context.
    void open(std::vector<std::u16string> sets = {}) {
        // The engine before is closed first: Windows keeps a mapped
        // config.dsc from being written afresh.
        session.reset();
        ctx.reset();
        ctx = fx.open();
        ASSERT_TRUE(ctx);
        for (auto& s : sets) {
            InstallerLaunch launch{&fx.services, ctx->installDir, ctx->imeName};
            ASSERT_TRUE(runSetCommand(ctx->blocks, s, launch).valid) << utf16ToUtf8(s);
        }
        session = std::make_unique<term::Session>(*ctx, fx.clock);
        session->activate();
    }

    // Plays a script; returns the application's text.
    std::u16string type(std::string_view script) {
        auto strokes = term::parseKeyScript(script);
        EXPECT_TRUE(strokes) << script;
        if (strokes && session)
            for (auto& k : *strokes) session->play(k);
        return session ? session->typed() : u"";
    }

    std::vector<std::u16string> pageTexts() {
        std::vector<std::u16string> out;
        for (int i = 0; i < ctx->page.count; ++i) out.push_back(ctx->page.items[i].display);
        return out;
    }

    DataFixture fx;
    std::unique_ptr<EngineContext> ctx;
    std::unique_ptr<term::Session> session;
};

TEST_F(Typing, UniqueFourKeyCodeCommitsAtOnce) {
    open();
    EXPECT_EQ(u"一", type("ggll"));
    EXPECT_TRUE(ctx->input.code.empty());
    EXPECT_EQ(u"一你好", type("wqvb{Space}"));
    EXPECT_EQ(u"一你好您好", type("wqvb2"));
}

TEST_F(Typing, ShorterUniqueCodeNeedsATerminator) {
    open({u"set([-DME设置-],编码截止键=;)"});
    // "ggl" is unique but shorter than four keys: it waits.
    type("ggl");
    EXPECT_EQ(u"ggl", ctx->input.code);
    EXPECT_EQ(u"", session->typed());
}

TEST_F(Typing, DeadCodesClearAtFourKeysNotThree) {
    open({u"set([-DME设置-],智能动态上屏码长=0)"});
    type("xyw");  // ("z" is the query key)
    EXPECT_EQ(u"xyw", ctx->input.code);
    type("x");
    EXPECT_EQ(u"", ctx->input.code);
    EXPECT_EQ(u"", session->typed());
}

TEST_F(Typing, SmartDynamicCommitAtTheFifthKey) {
    open({u"set([-DME设置-],候选唯一自动上屏码长=0)"});
    type("aaaa");
    EXPECT_EQ(u"aaaa", ctx->input.code);
    // "aaaak" is dead: 工 goes out and k starts the next code.
    type("k");
    EXPECT_EQ(u"工", session->typed());
    EXPECT_EQ(u"k", ctx->input.code);
    type("hlg");
    EXPECT_EQ(u"khlg", ctx->input.code);
    EXPECT_EQ(u"中国", pageTexts().at(0));
}

TEST_F(Typing, SpaceOnADeadCodeFollowsTheSpaceOption) {
    const struct {
        const char16_t* value;
        const char16_t* typed;
        const char16_t* code;
    } cases[] = {{u"上屏英文", u"xy", u""}, {u"清屏", u"", u""}, {u"上屏英文+空格", u"xy ", u""}};
    for (auto& c : cases) {
        SetUp();
        open({std::u16string(u"set([-IME设置-],英文状态时空格行为=") + c.value + u")"});
        EXPECT_EQ(std::u16string(c.typed), type("xy{Space}")) << utf16ToUtf8(c.value);
        EXPECT_EQ(std::u16string(c.code), ctx->input.code);
    }
}

TEST_F(Typing, CodeStopsAt128Units) {
    open({u"set([-DME设置-],空码自动清除码长=0)", u"set([-DME设置-],智能动态上屏码长=0)"});
    type(std::string(130, 'x'));
    EXPECT_EQ(128u, ctx->input.code.size());
}

TEST_F(Typing, DigitThenEnglishPunctuationAfterDigit) {
    open();
    // The digit goes straight through; the full stop after it stays ASCII.
    EXPECT_EQ(u"5.", type("5."));
    EXPECT_EQ(u"5.。", type("."));
}

TEST_F(Typing, UndoSendsOneBackspacePerUnit) {
    open({u"set([-按键功能-],键F2=撤销输入)"});
    EXPECT_EQ(u"工你好", type("a{Space}wqvb{Space}"));
    EXPECT_EQ(u"工", type("{F2}"));
}

TEST_F(Typing, TemporaryEnglishLeadTypedTwiceCommitsTheText) {
    open();
    EXPECT_EQ(u"hi", type("'hi'"));
}

TEST_F(Typing, ModifierTapsWithinHalfASecond) {
    open();
    auto tap = [&](uint64_t heldMs, bool keyBetween) {
        session->keyEvent(0x10, 0x2A, false, false);
        if (keyBetween) {
            session->keyEvent(0x74, 0x3F, false, false);  // F5, bound to nothing
            session->keyEvent(0x74, 0x3F, false, true);
        }
        fx.clock.advance(heldMs);
        session->keyEvent(0x10, 0x2A, false, true);
    };
    tap(499, false);
    EXPECT_TRUE(ctx->modeFlags & ModeEnglish);
    tap(499, false);
    EXPECT_FALSE(ctx->modeFlags & ModeEnglish);
    tap(500, false);
    EXPECT_FALSE(ctx->modeFlags & ModeEnglish);
    tap(10, true);
    EXPECT_FALSE(ctx->modeFlags & ModeEnglish);
    // In English mode keys go to the application.
    EXPECT_EQ(u"abc", type("{LShift}abc"));
}

TEST_F(Typing, CtrlOrAltHeldPassesKeysThrough) {
    open();
    type("{Ctrl+a}{Alt+b}");
    EXPECT_TRUE(ctx->input.code.empty());
    EXPECT_EQ(u"", session->typed());
}

TEST_F(Typing, PagesPagingAndHighlight) {
    std::vector<TableEntry> entries;
    for (int i = 0; i < 12; ++i)
        entries.push_back({"ab", std::u16string(1, static_cast<char16_t>(0x4E00 + i)), attr::make(static_cast<uint16_t>(9000 - i), 1)});
    fx.writeMain(entries);
    open({u"set([-IME设置-],候选列表显示个数=5)"});
    type("ab");
    EXPECT_EQ(5, ctx->page.count);
    EXPECT_EQ(3, pageCount(*ctx));
    type("-");  // previous page on the first page: nothing
    EXPECT_EQ(0, ctx->page.number);
    type("==");
    EXPECT_EQ(2, ctx->page.count);
    type("=");  // next page on the last page: nothing
    EXPECT_EQ(2, ctx->page.number);
    type("-");
    EXPECT_EQ(5, ctx->page.count);
    EXPECT_EQ(u"丅", ctx->page.items[0].display);
    // The highlight leaves the page at either end.
    type("{Down}{Down}{Down}{Down}");
    EXPECT_EQ(4, ctx->page.highlight);
    type("{Down}");
    EXPECT_EQ(2, ctx->page.number);
    EXPECT_EQ(0, ctx->page.highlight);
    type("{Up}");
    EXPECT_EQ(1, ctx->page.number);
    EXPECT_EQ(4, ctx->page.highlight);
    EXPECT_EQ(u"三", type("{Space}"));
}

TEST_F(Typing, EqualTextsFromDifferentCodesShownOnce) {
    open({u"set([-DME设置-],候选唯一自动上屏码长=0)"});
    type("a");  // 工 of "a" and of "aaaa" under progressive hints
    auto texts = pageTexts();
    EXPECT_EQ(1, std::count(texts.begin(), texts.end(), u"工"));
    EXPECT_EQ(u"工", texts.at(0));
}

TEST_F(Typing, DeletingTheOnlyCandidateClearsTheInput) {
    open({u"set([-按键功能-],键F3=第1候选删除)", u"set([-DME设置-],候选唯一自动上屏码长=0)"});
    type("ggll");
    ASSERT_EQ(1, ctx->page.count);
    type("{F3}");
    EXPECT_TRUE(ctx->input.code.empty());
    EXPECT_EQ(0, ctx->page.count);
    type("ggll");
    EXPECT_EQ(0, ctx->page.count);  // deleted for good
}

// ---------------------------------------------------------------------------
// Keys the engine sends, punctuation after a code, hot keys

TEST_F(Typing, BoundCapsLockRunsOnceAndIsPutBack) {
    open({u"set([-按键功能-],键CapsLock=输入法开关)"});
    // The engine's replay (release and press) comes back through the
    // keyboard: it is let through, not taken for another press.
    type("{CapsLock}");
    EXPECT_TRUE(ctx->modeFlags & ModeEnglish);
    EXPECT_FALSE(session->keyboard().capsLock);
    type("{CapsLock}");
    EXPECT_FALSE(ctx->modeFlags & ModeEnglish);
    EXPECT_FALSE(session->keyboard().capsLock);

    // Unbound, Caps Lock is the application's.
    open();
    type("{CapsLock}");
    EXPECT_TRUE(session->keyboard().capsLock);
    EXPECT_FALSE(ctx->modeFlags & ModeEnglish);
}

// Forwards the engine's keys to the session and counts the sends; past a
// limit it stops forwarding, so that a loop fails the test instead of
// hanging it.
struct CountingKeys : platform::KeySender {
    term::Session* session = nullptr;
    int sends = 0;
    void send(const std::vector<platform::KeyEvent>& events) override {
        if (++sends <= 100) session->send(events);
    }
};

TEST_F(Typing, KeysTheEngineSendsNeverSendMore) {
    fx.writeMain({
        {"kkkk", u"$zvcmd(keyboard(<75><75><75><75>),又一遍)", attr::make(16000, 18)},  // types its own code
        {"cccc", u"$zvcmd(keyboard(<20>),大写)", attr::make(16000, 18)},               // presses a bound Caps Lock
        {"ffff", u"$zvcmd(你keyboard(<113.3>),撤销)", attr::make(16000, 18)},          // F2: undo, which sends keys
        {"wqvb", u"你好", attr::make(16382, 20)},
    });
    open({u"set([-IME设置-],是否开启命令直通车=是)", u"set([-按键功能-],键CapsLock=首选上屏,输入法开关)",
          u"set([-按键功能-],键F2=撤销输入)", u"set([-按键功能-],键F3=重复输入)",
          u"set([-按键功能-],键Backspace=编码前删,撤销输入)"});
    CountingKeys keys;
    keys.session = session.get();
    ctx->platform.keys = &keys;

    // The macro's keys type its code again and commit it again, but what a
    // key from the engine commits sends nothing.
    type("kkkk");
    EXPECT_EQ(1, keys.sends);
    EXPECT_TRUE(ctx->input.code.empty());

    // Any order of the keys that make the engine send: each key the user
    // presses sets off at most two sends (a command and a Caps Lock replay).
    const int pool[] = {'K', 'C', 'F', 'W', 'Q', 'V', 'B', 0x14, 0x71, 0x72, 0x08, 0x20, 0x0D, 0x1B};
    uint32_t seed = 20261209;
    for (int i = 0; i < 3000; ++i) {
        seed = seed * 1103515245 + 12345;
        const int vk = pool[(seed >> 16) % (sizeof pool / sizeof pool[0])];
        keys.sends = 0;
        session->keyEvent(vk, term::scanCodeOf(vk), false, false);
        session->keyEvent(vk, term::scanCodeOf(vk), false, true);
        ASSERT_LE(keys.sends, 2) << "key " << vk << " at " << i;
    }
}

TEST_F(Typing, DroppedCodeStillConvertsTheKey) {
    // 英文状态时空格行为=清屏 (shipped): a dead code is dropped and the key
    // goes out alone, through the punctuation table as every key does.
    open();
    EXPECT_EQ(u"，", type("xy,"));
    EXPECT_EQ(u"，。", type("xy."));
    EXPECT_TRUE(ctx->input.code.empty());
}

TEST_F(Typing, PunctuationAfterACommittedCandidateIsChinese) {
    open();
    // The digit goes straight through, but the full stop commits 工 first:
    // what it follows is 工, not the digit.
    EXPECT_EQ(u"1工。", type("1a."));
    EXPECT_EQ(u"1工。2.", type("2."));
}

TEST_F(Typing, CombinationsFireAsHotKeys) {
    const std::u16string bind = u"set([-按键功能-],键F2+键Ctrl=第2候选上屏)";
    open({u"set([-IME设置-],禁用组合快捷键=否)", bind, u"set([-按键功能-],键F3+键右Ctrl=第2候选上屏)",
          u"set([-按键功能-],键左Ctrl=输入法开关)"});
    EXPECT_EQ(u"您好", type("wqvb{Ctrl+F2}"));
    EXPECT_TRUE(ctx->input.code.empty());
    // The Ctrl released after the chord is no tap.
    EXPECT_FALSE(ctx->modeFlags & ModeEnglish);
    // Other modifiers, or the other Ctrl, are other chords: F3 waits for the
    // right Ctrl, and the left one leaves the key to the application.
    EXPECT_EQ(u"您好", type("wqvb{Alt+F2}{Ctrl+F3}{Shift+F2}"));
    EXPECT_EQ(u"wqvb", ctx->input.code);

    // With 禁用组合快捷键 on (shipped) nothing is registered.
    open({bind});
    EXPECT_EQ(u"", type("wqvb{Ctrl+F2}"));
    EXPECT_EQ(u"wqvb", ctx->input.code);
}

}  // namespace
}  // namespace zv
