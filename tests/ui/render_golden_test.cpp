// Renders of the default skin with real fonts (FreeType), compared with
// pictures kept in tests/data/golden. Run with ZV_UPDATE_GOLDEN=1 to write
// them anew after a deliberate change, and look at them before committing.

#include "platform/mapped_file.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/ui_fixture.h"
#include "ui/ft/ft_text.h"
#include "ui/preview.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace zv::ui {
namespace {

// FreeType versions hint and smooth glyph edges a little differently; a
// render matches when every channel is within this distance, save for a few
// edge pixels.
constexpr int Tolerance = 48;
constexpr double OutlierShare = 0.005;

void expectLooksLike(const SkinImage& render, const std::string& name) {
    const std::u16string path = test::sourcePath("tests/data/golden/" + name);
    if (std::getenv("ZV_UPDATE_GOLDEN")) {
        std::vector<uint8_t> png = encodePng(render);
        ASSERT_TRUE(platform::writeWholeFile(path, png.data(), png.size()));
        return;
    }
    std::string bytes;
    ASSERT_TRUE(platform::readWholeFile(path, bytes)) << name;
    SkinImage golden = decodePng({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
    ASSERT_EQ(golden.width, render.width) << name;
    ASSERT_EQ(golden.height, render.height) << name;
    size_t outliers = 0;
    for (size_t i = 0; i < golden.pixels.size(); ++i) {
        const uint32_t a = golden.pixels[i], b = render.pixels[i];
        for (int shift = 0; shift < 32; shift += 8) {
            if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > Tolerance) {
                ++outliers;
                break;
            }
        }
    }
    EXPECT_LE(outliers, static_cast<size_t>(OutlierShare * static_cast<double>(golden.pixels.size()))) << name;
}

struct Golden : ::testing::Test {
    LoadedSkin skin;
    std::unique_ptr<TextRenderer> renderer = makeFreeTypeRenderer();
    UiView page;

    void SetUp() override {
        ASSERT_TRUE(renderer);
        test::TempDir dir;
        ASSERT_TRUE(test::writeShippedPackage("default", dir.file("skin.col")));
        ASSERT_TRUE(loadSkinPackage(dir.file("skin.col"), skin.info, skin.images));
        page.display = u"wq";
        page.cursor = 2;
        const char16_t* texts[] = {u"你", u"你们", u"你好", u"您", u"你的"};
        const char16_t* hints[] = {u"iy", u"wu", u"vb", u"iu", u"rq"};
        for (int i = 0; i < 5; ++i) page.items.push_back({texts[i], hints[i]});
        page.lastPage = false;
        page.candidateCount = 12;
    }
};

constexpr uint32_t Shown = SkinSettings::ShowIndex | SkinSettings::ShowHints | SkinSettings::ShowButtons;

TEST_F(Golden, MergedHorizontalWithMouseOver) {
    UiOptions o;
    o.skin = Shown | SkinSettings::LayoutMerged | SkinSettings::LayoutHorizontal;
    expectLooksLike(previewCandidateWindows(skin, *renderer, page, o, rgb(0xF3F4F6), IdFirstCandidate + 2),
                    "merged-horizontal.png");
}

TEST_F(Golden, SeparateVerticalOnDark) {
    UiOptions o;
    o.skin = Shown | SkinSettings::LayoutRight | SkinSettings::CaretBar;
    page.highlight = 1;
    page.firstPage = false;
    expectLooksLike(previewCandidateWindows(skin, *renderer, page, o, rgb(0x1E1F22)), "separate-vertical.png");
}

TEST_F(Golden, StatusBarEnglishFullWidth) {
    UiView v;
    v.modes = ModeEnglish | ModeFullWidth | ModeSoftKeyboard;
    expectLooksLike(previewStatusBar(skin, v, IdMenu, StateHover, rgb(0xF3F4F6)), "status-bar.png");
}

}  // namespace
}  // namespace zv::ui
