#include "tests/ui/ui_fixture.h"
#include "ui/paint.h"
#include "ui/status_bar.h"

#include <gtest/gtest.h>

namespace zv::ui {
namespace {

TEST(Paint, AlphaPassesKeepBackgroundTextAndButtonsApart) {
    // One row of four pixels: opaque, half transparent, transparent, opaque.
    SkinImage bg = test::solidImage(4, 1, 0);
    bg.at(0, 0) = pixel(200, 100, 50, 255);
    bg.at(1, 0) = pixel(200, 100, 50, 128);
    bg.at(2, 0) = pixel(200, 100, 50, 0);
    bg.at(3, 0) = pixel(10, 20, 30, 255);
    bg = premultiplied(bg);
    Canvas c;
    beginPaint(c, bg);
    EXPECT_EQ(pixel(100, 50, 25, 255), c.at(1, 0));  // premultiplied, marked "not drawn on"
    // Text on pixel 0 (the platform leaves alpha 0).
    fillTextBox(c, 0, 0, 1, 1, 0x0000FF);
    restoreAlpha(c, bg);
    EXPECT_EQ(pixel(0, 0, 255, 255), c.at(0, 0));
    EXPECT_EQ(pixel(100, 50, 25, 128), c.at(1, 0));
    EXPECT_EQ(0u, c.at(2, 0));
    // A button over pixels 2 and 3: opaque pixels are marked 254, clear ones leave the canvas alone.
    SkinImage button = test::solidImage(2, 1, pixel(0, 255, 0, 255));
    button.at(1, 0) = 0;
    blendButton(c, button, 2, 0);
    EXPECT_EQ(pixel(0, 255, 0, 254), c.at(2, 0));
    EXPECT_EQ(pixel(10, 20, 30, 255), c.at(3, 0));
    blendButton(c, button, 3, 0);  // not wholly inside: not drawn
    EXPECT_EQ(pixel(10, 20, 30, 255), c.at(3, 0));
    finishPaint(c, bg);
    EXPECT_EQ(pixel(0, 0, 255, 255), c.at(0, 0));
    EXPECT_EQ(pixel(100, 50, 25, 128), c.at(1, 0));
    EXPECT_EQ(pixel(0, 254, 0, 254), c.at(2, 0));  // a button over a clear background keeps its own alpha
    EXPECT_EQ(pixel(10, 20, 30, 255), c.at(3, 0));
}

TEST(Paint, TextOverATranslucentBackgroundStaysValidPremultiplied) {
    SkinImage bg = premultiplied(test::solidImage(2, 1, pixel(255, 255, 255, 100)));
    Canvas c;
    beginPaint(c, bg);
    fillTextBox(c, 0, 0, 1, 1, 0xFFFFFF);
    restoreAlpha(c, bg);
    finishPaint(c, bg);
    for (uint32_t p : c.pixels) {
        EXPECT_EQ(100, alphaOf(p));
        EXPECT_LE(redOf(p), alphaOf(p));
    }
}

struct PaintWindow : ::testing::Test {
    test::LayoutRig rig;
    CandidateWindowState w;
    Canvas out;
    PaintWindow() { layoutCandidateWindow(w, rig.input()); }
    void paint() { paintCandidateWindow(w, rig.skin.images, rig.fonts, out); }
};

// Button images of the fixture: normal blue, "_1" green, "_2" red; over an
// opaque background the final pass makes them opaque again.
constexpr uint32_t Blue = pixel(255, 0, 0, 255), Green = pixel(0, 255, 0, 255), Red = pixel(0, 0, 255, 255);

TEST_F(PaintWindow, ButtonsDrawTheImageOfTheirState) {
    paint();
    ASSERT_EQ(150, out.width);
    EXPECT_EQ(Red, out.at(140, 6));      // previous page, disabled on the first page: "_2"
    EXPECT_EQ(Blue, out.at(3, 3));        // next page
    w.button(CandidateButton::NextPage).state = StateHover;
    w.button(CandidateButton::Punctuation).state = StatePressed;
    paint();
    EXPECT_EQ(Green, out.at(3, 3));
    EXPECT_EQ(Red, out.at(5, 40));         // a pressed mode button: "_2"
    w.button(CandidateButton::NextPage).state = StatePressed;
    paint();
    EXPECT_EQ(Green, out.at(3, 3));       // a pressed paging button: "_1"
    // Without its own state image a button falls back to the normal one.
    rig.skin.images.buttons[static_cast<size_t>(ButtonKind::NextPage)].first = SkinImage{};
    paint();
    EXPECT_EQ(Blue, out.at(3, 3));
}

TEST_F(PaintWindow, TextsInTheColoursOfTheirState) {
    paint();
    const DisplayPart& first = w.slots[0].text;
    // The highlighted candidate: its text colour on its background.
    EXPECT_EQ(pixel(0, 0, 255, 255), out.at(first.x + 4, first.y + 8));
    EXPECT_EQ(pixel(0, 255, 255, 255), out.at(first.x, first.y));
    const DisplayPart& second = w.slots[1].text;
    EXPECT_EQ(pixel(0x11, 0x11, 0x11, 255), out.at(second.x + 4, second.y + 8));
    EXPECT_EQ(pixel(255, 255, 255, 255), out.at(second.x, second.y));
    w.slots[1].text.state = StateHover;
    paint();
    EXPECT_EQ(pixel(0x12, 0x34, 0x56, 255), out.at(second.x + 4, second.y + 8));
    EXPECT_EQ(pixel(0x65, 0x43, 0x21, 255), out.at(second.x, second.y));
    // Nothing to show: no picture.
    w.background = SkinImage{};
    paint();
    EXPECT_TRUE(out.empty());
}

TEST_F(PaintWindow, CompositionBoxWithCaret) {
    rig.options.skin = SkinSettings::CaretBar | SkinSettings::LayoutHorizontal;
    CompositionWindowState box;
    layoutCompositionWindow(box, rig.input());
    paintCompositionWindow(box, rig.fonts, out);
    ASSERT_EQ(box.width, out.width);
    const uint32_t caret = pixel(0x33, 0x33, 0x33, 255), text = pixel(0x22, 0x22, 0x22, 255);
    EXPECT_EQ(text, out.at(5 + 3, 4 + 7));
    EXPECT_EQ(caret, out.at(5 + 28, 4));
    EXPECT_EQ(caret, out.at(5 + 29, 4 + 13));
    EXPECT_EQ(pixel(255, 255, 255, 255), out.at(5 + 30, 4 + 7));
}

TEST(PaintStatusBar, LogoShowsOnlyItsMouseOverImage) {
    LoadedSkin skin = test::fixtureSkin();
    skin.images.backgrounds[static_cast<size_t>(Background::StatusBar)] = test::solidImage(40, 20, 0xFFFFFFFF);
    for (Point& p : skin.info.statusBar.positions) p = {-1, -1};
    skin.info.statusBar.positions[static_cast<size_t>(StatusElement::Logo)] = {2, 2};
    skin.info.statusBar.positions[static_cast<size_t>(StatusElement::Menu)] = {20, 2};
    StatusBarState bar;
    const Rect area{0, 0, 800, 600};
    layoutStatusBar(bar, skin.info, skin.images, UiView{}, SkinSettings{}, area, area);
    bar.button(StatusButton::Logo).state = StatePressed;
    bar.button(StatusButton::Menu).state = StatePressed;
    Canvas out;
    paintStatusBar(bar, skin.images, out);
    EXPECT_EQ(Blue, out.at(5, 5));
    EXPECT_EQ(Red, out.at(25, 5));
    bar.button(StatusButton::Logo).state = StateHover;
    paintStatusBar(bar, skin.images, out);
    EXPECT_EQ(Green, out.at(5, 5));
}

}  // namespace
}  // namespace zv::ui
