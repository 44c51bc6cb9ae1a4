// Renders of the default skin with real fonts (FreeType), compared with
// pictures kept in tests/data/golden.

#include "tests/support/golden.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/ui_fixture.h"
#include "ui/ft/ft_text.h"
#include "ui/preview.h"

#include <gtest/gtest.h>

namespace zv::ui {
namespace {

struct Golden : ::testing::Test {
    LoadedSkin skin;
    std::unique_ptr<TextRenderer> renderer = makeFreeTypeRenderer();
    UiView page;

    void SetUp() override {
        ASSERT_TRUE(renderer);
        test::TempDir dir;
        ASSERT_TRUE(test::writeShippedPackage("default", dir.file("skin.col")));
        ASSERT_TRUE(loadSkinPackage(dir.file("skin.col"), skin.info, skin.images));
        page = samplePage();
    }
};

constexpr uint32_t Shown = SkinSettings::ShowIndex | SkinSettings::ShowHints | SkinSettings::ShowButtons;

TEST_F(Golden, MergedHorizontalWithMouseOver) {
    UiOptions o;
    o.skin = Shown | SkinSettings::LayoutMerged | SkinSettings::LayoutHorizontal;
    test::expectLooksLike(previewCandidateWindows(skin, *renderer, page, o, rgb(0xF3F4F6), IdFirstCandidate + 2),
                    "merged-horizontal.png");
}

TEST_F(Golden, SeparateVerticalOnDark) {
    UiOptions o;
    o.skin = Shown | SkinSettings::LayoutRight | SkinSettings::CaretBar;
    page.highlight = 1;
    page.firstPage = false;
    test::expectLooksLike(previewCandidateWindows(skin, *renderer, page, o, rgb(0x1E1F22)), "separate-vertical.png");
}

TEST_F(Golden, StatusBarEnglishFullWidth) {
    UiView v;
    v.modes = ModeEnglish | ModeFullWidth | ModeSoftKeyboard;
    test::expectLooksLike(previewStatusBar(skin, v, IdMenu, StateHover, rgb(0xF3F4F6)), "status-bar.png");
}

}  // namespace
}  // namespace zv::ui
