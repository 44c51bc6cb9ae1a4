// 100,000 random key events with random settings: the engine never crashes,
// never lets the code outgrow its buffer, and keeps its page consistent.

#include "engine/candidates.h"
#include "engine/default_store.h"
#include "engine/input.h"
#include "engine/set_command.h"
#include "engine/pair_table.h"
#include "engine/table_update.h"
#include "frontends/terminal/session.h"
#include "tests/support/data_fixture.h"

#include <gtest/gtest.h>

#include <random>

namespace zv {
namespace {

TEST(RandomKeys, NoKeySequenceBreaksTheEngine) {
    std::mt19937 rng(20261208);
    test::DataFixture fx;
    fx.config = shippedConfigStore();
    std::vector<TableEntry> entries;
    for (int i = 0; i < 3000; ++i) {
        TableEntry e;
        int len = 1 + static_cast<int>(rng() % 4);
        for (int k = 0; k < len; ++k) e.code.push_back(static_cast<char>('a' + rng() % 26));
        int w = 1 + static_cast<int>(rng() % 3);
        for (int k = 0; k < w; ++k) e.word.push_back(static_cast<char16_t>(0x4E00 + rng() % 3000));
        if (i % 97 == 0) e.word = u"$zvcmd(<date.yyyy>年<time.M>,[日期])";
        if (i % 131 == 0) e.word = u"$zvcmd(newkey(zzbd),bd)";
        e.attributes = attr::make(static_cast<uint16_t>(rng()), 1 + static_cast<int>(rng() % 4), rng() % 9 == 0);
        entries.push_back(e);
    }
    entries.push_back({"zzbd", u"，", 0});
    fx.writeMain(entries);
    fx.writeTemp();
    fx.writeFile("engl.dmg", buildWordListImage({{"", u"hello", 1}, {"", u"help", 2}, {"", u"world", 3}}));
    fx.writeFile("sysl.dmg", buildWordListImage({{"", u"中国人", 1}, {"", u"一个", 2}}));
    fx.writeFile("traditional.dms", buildPairTable({{u"个", u"個"}, {u"国", u"國"}, {u"板", u"板"}, {u"板", u"闆"}}));
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    term::Session session(*ctx, fx.clock);
    startInputContext(*ctx);

    const std::vector<std::u16string> settings = {
        u"set([-IME设置-],词频调整=一次到顶)",        u"set([-IME设置-],词频调整=累加上屏数)",
        u"set([-IME设置-],临时词功能开启=是)",         u"set([-IME设置-],是否在上屏时开启词语联想=是)",
        u"set([-IME设置-],候选列表排序依据=单字先见)", u"set([-IME设置-],编码窗口样式=TSF-嵌入首选)",
        u"set([-IME设置-],英文状态时空格行为=上屏英文)", u"set([-IME设置-],候选列表显示个数=2)",
        u"set([-DME设置-],是否启用编码逐渐提示=切换)", u"set([-DME设置-],开启首键查询=是)",
        u"set([-DME设置-],编码截止键=;)",              u"set([-IME设置-],检索次显码表=切换)",
        u"set([-按键功能-],键F2=撤销输入)",            u"set([-按键功能-],键F3=重复输入)",
        u"set([-按键功能-],键F4=第2候选删除)",         u"set([-按键功能-],键F6=软键盘切换)",
        u"set([-按键功能-],键F7=上屏转换 - 繁体)",     u"set([-按键功能-],键F8=第3候选调频)",
        u"set([-DME设置-],显示码表词语码长=3)",        u"set([-IME设置-],输入方案=辅)",
    };
    const int keys[] = {'A', 'B', 'C', 'D', 'E', 'G', 'K', 'L', 'Q', 'W', 'X', 'Y', 'Z', '0', '1', '2', '5', '9',
                        0x20, 0x0D, 0x08, 0x1B, 0x09, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x2E, 0xBA,
                        0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xDB, 0xDC, 0xDD, 0xDE, 0x60, 0x6A, 0x6E, 0x71, 0x72,
                        0x73, 0x75, 0x76, 0x77, 0x14, 0x10, 0x11, 0x12};
    int composing = 0, shown = 0;
    for (int i = 0; i < 100000; ++i) {
        if (i % 5000 == 0) {
            InstallerLaunch launch{&fx.services, ctx->installDir, ctx->imeName};
            runSetCommand(ctx->blocks, settings[rng() % settings.size()], launch);
        }
        const int vk = keys[rng() % (sizeof keys / sizeof keys[0])];
        const bool up = rng() % 4 == 0;
        if (rng() % 50 == 0) fx.clock.advance(rng() % 1000);
        session.keyEvent(vk, rng() % 0x60, rng() % 8 == 0, up);
        if (!up && rng() % 3) session.keyEvent(vk, rng() % 0x60, false, true);
        composing += ctx->input.code.empty() ? 0 : 1;
        shown += ctx->page.count > 0 ? 1 : 0;
        ASSERT_LE(ctx->input.code.size(), 128u);
        ASSERT_LE(ctx->input.cursor, static_cast<int>(ctx->input.code.size()));
        ASSERT_LE(ctx->page.count, ctx->page.size);
        ASSERT_LT(ctx->page.highlight, std::max(1, ctx->page.count));
    }
    // The keys reached the engine, not only the application.
    EXPECT_GT(composing, 10000);
    EXPECT_GT(shown, 5000);
    EXPECT_GT(session.typed().size(), 1000u);
}

}  // namespace
}  // namespace zv
