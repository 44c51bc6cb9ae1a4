// zvtype's pictures: the windows for the engine's state after a key script,
// on a small data folder with the shipped settings and skin; the render
// options of the program itself.

#include "engine/default_store.h"
#include "engine/input.h"
#include "engine/set_command.h"
#include "frontends/terminal/key_script.h"
#include "frontends/terminal/render.h"
#include "frontends/terminal/session.h"
#include "platform/folders.h"
#include "platform/mapped_file.h"
#include "platform/utf.h"
#include "tests/support/data_fixture.h"
#include "tests/support/golden.h"
#include "tests/ui/ui_fixture.h"
#include "ui/soft_keyboard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace zv::term {
namespace {

std::vector<TableEntry> wqEntries() {
    return {
        {"wq", u"你", attr::make(16383, 16)},
        {"wqiy", u"你", attr::make(16383, 18)},
        {"wqwu", u"你们", attr::make(16383, 20)},
        {"wqvb", u"你好", attr::make(16382, 20)},
        {"wqiu", u"您", attr::make(16381, 18)},
        {"wqrq", u"你的", attr::make(16380, 20)},
        {"wqkm", u"你是", attr::make(16379, 20)},
    };
}

class Render : public ::testing::Test {
protected:
    void SetUp() override {
        fx.config = shippedConfigStore();
        fx.writeMain(wqEntries());
        // The skin goes where mkdata installs it: the installation folder.
        ASSERT_TRUE(platform::makeDirectories(fx.dir.file("install")));
        ASSERT_TRUE(test::writeShippedPackage("default", fx.dir.file("install/skin.col")));
        text = pictureTextRenderer();
        ASSERT_TRUE(text);
    }

    // Opens the engine with zvtype's --set commands, plays the script.
    void type(std::initializer_list<std::u16string_view> sets, std::string_view script) {
        session.reset();
        ctx.reset();
        ctx = fx.open();
        ASSERT_TRUE(ctx);
        for (std::u16string_view s : sets) {
            const SetOutcome o = runSetCommand(ctx->blocks, s, {});
            ASSERT_TRUE(o.valid && o.result == OptionResult::Applied) << utf16ToUtf8(s);
        }
        session = std::make_unique<Session>(*ctx, fx.clock);
        startInputContext(*ctx);
        auto strokes = parseKeyScript(script);
        ASSERT_TRUE(strokes);
        for (const KeyStroke& k : *strokes) session->play(k);
        std::string error;
        ASSERT_TRUE(loadRenderSkin(*ctx, skin, error)) << error;
    }

    ui::SkinImage candidates() { return renderCandidateWindows(*ctx, skin, *text, session->keyboard().capsLock); }

    static constexpr std::u16string_view Classic = u"set([-IME设置-],编码窗口样式=TSF-传统样式)";
    static constexpr std::u16string_view Merged = u"set([-SKIN设置-],窗口布局=合并编码框与候选框)";

    test::DataFixture fx;
    std::unique_ptr<EngineContext> ctx;
    std::unique_ptr<Session> session;
    std::unique_ptr<ui::TextRenderer> text;
    ui::LoadedSkin skin;
};

TEST_F(Render, MergedHorizontalWithHintsAndHighlight) {
    type({Classic, Merged}, "wq");
    test::expectLooksLike(candidates(), "zvtype-merged-horizontal.png");
}

TEST_F(Render, SeparateBelowShowsTheCompositionBoxToo) {
    type({Classic, u"set([-SKIN设置-],光标样式=竖线)"}, "wq{Down}");
    ASSERT_EQ(1, ctx->page.highlight);
    test::expectLooksLike(candidates(), "zvtype-separate-below.png");
}

TEST_F(Render, SeparateRightVerticalOnTheSecondPage) {
    type({Classic, u"set([-SKIN设置-],窗口布局=分离的右侧候选框)", u"set([-SKIN设置-],候选列表排列样式=竖排)"},
         "wq=");
    test::expectLooksLike(candidates(), "zvtype-separate-right-vertical.png");
}

// Full width from the settings, Caps Lock from the keyboard the session keeps.
TEST_F(Render, StatusBarFollowsTheModes) {
    type({u"set([-IME设置-],初始化转换状态=自定义：中文标点+全角+输入法打开)"}, "{CapsLock}");
    ASSERT_EQ(uint32_t(ModeFullWidth), ctx->modeFlags);
    ASSERT_TRUE(session->keyboard().capsLock);
    test::expectLooksLike(renderStatusBar(*ctx, skin, session->keyboard().capsLock), "zvtype-status-bar.png");
}

TEST_F(Render, SoftKeyboardLayout) {
    test::expectLooksLike(renderSoftKeyboard(*text, 8), "zvtype-soft-keyboard-punctuation.png");
}

// Where no window shows, the picture is the desktop alone: nothing typed,
// or the option that hides the candidate window. The embedded style (the
// composition in the document) still shows the candidates.
TEST_F(Render, NothingShownIsAnEmptyDesktop) {
    auto isDesktop = [](const ui::SkinImage& p) {
        return p.width == 2 * RenderMargin && p.height == 2 * RenderMargin &&
               std::ranges::all_of(p.pixels, [](uint32_t px) { return px == ui::pixel(0xF6, 0xF4, 0xF3, 0xFF); });
    };
    type({Classic}, "wq{Space}");
    EXPECT_TRUE(isDesktop(candidates()));
    type({Classic, u"set([-IME设置-],隐藏候选窗口=是)"}, "wq");
    EXPECT_TRUE(isDesktop(candidates()));
    type({}, "wq");
    EXPECT_FALSE(isDesktop(candidates()));
}

// A picture reads the settings and never writes them: not the skin name
// that loading resolves ("切换" picks the next package), not the status-bar
// position that placement beside the bar works out.
TEST_F(Render, LeavesTheSettingsAsTheyWere) {
    type({Classic, u"set([-SKIN设置-],使用皮肤名称=切换)", u"set([-IME设置-],候选窗口位置=跟随状态栏)"}, "wq");
    const SkinSettings s = ctx->blocks.skin;
    const std::vector<uint8_t> before(s.base, s.base + SkinSettings::Size);
    std::string error;
    ASSERT_TRUE(loadRenderSkin(*ctx, skin, error));
    candidates();
    renderStatusBar(*ctx, skin, false);
    EXPECT_EQ(before, std::vector<uint8_t>(s.base, s.base + SkinSettings::Size));
}

TEST(RenderOptions, ValuesAreChecked) {
    auto take = [](std::vector<std::string> args, RenderRequest& r, std::string& error) {
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        int i = 0;
        return takeRenderOption(static_cast<int>(argv.size()), argv.data(), i, r, error) ? i : -1;
    };
    RenderRequest r;
    std::string error;
    EXPECT_EQ(1, take({"--render-status", "b.png"}, r, error));
    EXPECT_EQ(2, take({"--render-softkbd", "13", "c.png"}, r, error));
    EXPECT_EQ(-1, take({"--trace"}, r, error));
    EXPECT_EQ("", error);
    EXPECT_EQ("c.png", r.softKeyboard);
    EXPECT_EQ(13, r.softKeyboardLayout);
    for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{
             {"--render"}, {"--render", ""}, {"--render-softkbd", "2"}, {"--render-softkbd", "0", "x.png"},
             {"--render-softkbd", "14", "x.png"}, {"--render-softkbd", "2x", "x.png"}}) {
        error.clear();
        RenderRequest fresh;
        EXPECT_NE(-1, take(bad, fresh, error));
        EXPECT_NE("", error) << bad.back();
        EXPECT_FALSE(fresh.any());
    }
}

// The program: pictures after the script and the typed text as without
// them; exit status 2 with a message when a picture cannot be made or
// written. The data folder stays as it was.
class ZvtypeRender : public ::testing::Test {
protected:
    void SetUp() override {
        fx.config = shippedConfigStore();
        fx.writeMain(wqEntries());
        fx.writeConfig();
    }
    // The exit status; standard output goes to `out`, standard error to `err`.
    int zvtype(const std::string& args) {
        const std::string command = std::string(ZVTYPE_PATH) + " --data '" + path("") + "' " + args + " >'" +
                                    path("stdout") + "' 2>'" + path("stderr") + "'";
        const int status = std::system(command.c_str());
        const std::vector<uint8_t> o = fx.dir.read("stdout"), e = fx.dir.read("stderr");
        out.assign(o.begin(), o.end());
        err.assign(e.begin(), e.end());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string path(const std::string& name) { return (fx.dir.path() / name).string(); }

    test::DataFixture fx;
    std::string out, err;
};

TEST_F(ZvtypeRender, WritesThePicturesAfterTheScript) {
    ASSERT_TRUE(test::writeShippedPackage("default", fx.dir.file("skin.col")));
    const std::vector<uint8_t> config = fx.dir.read("config.dsc");
    EXPECT_EQ(0, zvtype("--set 'set([-IME设置-],编码窗口样式=TSF-传统样式)' --keys 'wq{Space}wq' --render " +
                        path("c.png") + " --render-status " + path("s.png") + " --render-softkbd 2 " + path("k.png")))
        << err;
    EXPECT_EQ("你\n", out);
    // The composition box with the candidates below it.
    EXPECT_GT(ui::decodePng(fx.dir.read("c.png")).height, 60);
    EXPECT_FALSE(ui::decodePng(fx.dir.read("s.png")).empty());
    EXPECT_EQ(ui::SoftKeyboardWidth, ui::decodePng(fx.dir.read("k.png")).width);
    EXPECT_EQ(config, fx.dir.read("config.dsc"));
}

TEST_F(ZvtypeRender, FailuresExitWithStatus2) {
    EXPECT_EQ(2, zvtype("--keys wq --render " + path("c.png")));
    EXPECT_NE(std::string::npos, err.find("no skin loads")) << err;
    EXPECT_FALSE(std::filesystem::exists(path("c.png")));
    // The soft keyboard needs no skin. A folder where the file should go
    // is not replaced, and nothing is left beside it.
    std::filesystem::create_directory(path("k.png"));
    EXPECT_EQ(2, zvtype("--keys wq --render-softkbd 3 " + path("k.png")));
    EXPECT_NE(std::string::npos, err.find("cannot write")) << err;
    EXPECT_EQ("\n", out);  // the text as typed, still printed
    EXPECT_TRUE(std::filesystem::is_directory(path("k.png")));
    EXPECT_FALSE(std::filesystem::exists(path("k.png.part")));
}

}  // namespace
}  // namespace zv::term
