// The windows' view of a real engine typing on a small table.

#include "engine/default_store.h"
#include "engine/input.h"
#include "frontends/terminal/key_script.h"
#include "frontends/terminal/session.h"
#include "tests/support/data_fixture.h"
#include "ui/engine_view.h"

#include <gtest/gtest.h>

namespace zv::ui {
namespace {

class EngineView : public ::testing::Test {
protected:
    void SetUp() override {
        fx.config = shippedConfigStore();
        fx.registerInstance(fx.dir.folder());
        fx.writeMain({
            {"sf", u"极", attr::make(16383, 16)},
            {"sfgh", u"支", attr::make(16383, 18, true)},
            {"sfgj", u"汗", attr::make(16382, CategorySecondary)},
            {"sfgk", u"甲", attr::make(16381, CategoryUser)},
            {"wqvb", u"你好", attr::make(16382, 20)},
            {"wqvb", u"您好", attr::make(16381, 20)},
        });
        ctx = fx.open();
        ASSERT_TRUE(ctx);
        session = std::make_unique<term::Session>(*ctx, fx.clock);
        startInputContext(*ctx);
    }
    void type(std::string_view script) {
        auto strokes = term::parseKeyScript(script);
        ASSERT_TRUE(strokes);
        for (auto& k : *strokes) session->play(k);
    }

    test::DataFixture fx;
    std::unique_ptr<EngineContext> ctx;
    std::unique_ptr<term::Session> session;
};

TEST_F(EngineView, PageCompositionAndKinds) {
    ctx->blocks.ime.setBit(ImeSettings::OptionA, ImeSettings::A_SearchSecondary, true);
    type("sf");
    UiView v = viewOf(*ctx, true);
    EXPECT_EQ(u"sf", v.display);
    EXPECT_EQ(2, v.cursor);
    EXPECT_TRUE(v.capsLock);
    ASSERT_GE(v.items.size(), 3u);
    EXPECT_EQ(u"极", v.items[0].text);
    EXPECT_EQ(u"", v.items[0].hint);  // an exact match
    EXPECT_EQ(2, v.candidateCount);  // counted as far as the window needs
    EXPECT_TRUE(v.firstPage);
    EXPECT_TRUE(v.lastPage);
    int seen = 0;
    for (const CandidateItem& item : v.items) {
        EXPECT_TRUE(item.fromTable);
        if (item.text == u"支") {
            EXPECT_EQ(u"gh", item.hint);
            EXPECT_TRUE(item.pinned);
            ++seen;
        } else if (item.text == u"甲") {
            EXPECT_EQ(CandidateKind::UserWord, item.kind);
            ++seen;
        } else if (item.text == u"汗") {
            EXPECT_TRUE(item.secondary);
            ++seen;
        }
    }
    EXPECT_EQ(3, seen);
    type("{Esc}wqvb");
    v = viewOf(*ctx, false);
    ASSERT_EQ(2u, v.items.size());
    EXPECT_EQ(u"你好", v.items[0].text);
    EXPECT_EQ(0, v.highlight);
}

TEST_F(EngineView, MenuContextFromTheSettings) {
    MenuContext c = menuContextOf(*ctx, true, nullptr);
    EXPECT_EQ(u"五笔", c.mainName);
    EXPECT_EQ(u"拼音", c.auxiliaryName);
    EXPECT_EQ(u"生僻字", c.secondaryName);
    EXPECT_TRUE(c.userWords);
    EXPECT_FALSE(c.traditionalOpen);
    EXPECT_EQ(u"skin.col", c.currentSkin);
    ctx->modeFlags |= ModeSoftKeyboard;
    ctx->shared->softKeyboardLayout = 4;
    EXPECT_EQ(4, menuContextOf(*ctx, true, nullptr).softKeyboardLayout);
    EXPECT_EQ(4, viewOf(*ctx, false).softKeyboardLayout);
}

}  // namespace
}  // namespace zv::ui
