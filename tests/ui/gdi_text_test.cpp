// The windows' GDI text as the painter relies on it: widths that add up,
// every drawn pixel left with alpha 0 and nothing drawn outside the text's
// box, a vertical font's column left of its point.

#include "ui/draw.h"
#include "ui/win32/gdi_text.h"

#include <gtest/gtest.h>

namespace zv::ui {
namespace {

struct Drawn {
    int32_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
    int count = 0;
};

Drawn drawnPixels(const Canvas& c) {
    Drawn d;
    for (int32_t y = 0; y < c.height; ++y)
        for (int32_t x = 0; x < c.width; ++x)
            if (alphaOf(c.at(x, y)) == 0) {
                ++d.count;
                d.left = std::min(d.left, x), d.right = std::max(d.right, x);
                d.top = std::min(d.top, y), d.bottom = std::max(d.bottom, y);
            }
    return d;
}

TEST(GdiText, MeasuresAndDrawsWithAlphaZeroInsideItsBox) {
    win32::GdiTextRenderer renderer;
    FontSpec spec;
    spec.face = u"宋体";
    spec.height = -16;
    auto font = renderer.createFont(spec);
    ASSERT_NE(nullptr, font);
    const TextSize one = font->measure(u"你"), two = font->measure(u"你好");
    EXPECT_GT(one.width, 8) << "a Han character has a real width (no missing-glyph box)";
    EXPECT_EQ(2 * one.width, two.width);
    EXPECT_GT(one.height, 0);

    Canvas c = blankImage(100, 60, rgb(0xFFFFFF));
    font->draw(c, 20, 10, u"你好", 0x000000, -1);
    const Drawn d = drawnPixels(c);
    ASSERT_GT(d.count, 20);
    EXPECT_GE(d.left, 20);
    EXPECT_LT(d.right, 20 + two.width);
    EXPECT_GE(d.top, 10);
    EXPECT_LT(d.bottom, 10 + two.height);

    // Text that runs off the canvas is cut at its edge.
    Canvas edge = blankImage(30, 30, rgb(0xFFFFFF));
    font->draw(edge, 20, 20, u"你好你好", 0x000000, -1);
    font->draw(edge, -100, -100, u"你好", 0x000000, -1);
    EXPECT_GT(drawnPixels(edge).count, 0);
}

TEST(GdiText, AVerticalFontRunsDownALeftColumn) {
    win32::GdiTextRenderer renderer;
    FontSpec spec;
    spec.face = u"宋体";
    spec.height = -16;
    spec.vertical = true;
    EXPECT_EQ(u'@', win32::logFontOf(spec).lfFaceName[0]);
    EXPECT_EQ(2700, win32::logFontOf(spec).lfEscapement);
    auto font = renderer.createFont(spec);
    ASSERT_NE(nullptr, font);
    const TextSize size = font->measure(u"你好");
    Canvas c = blankImage(80, 100, rgb(0xFFFFFF));
    font->draw(c, 50, 10, u"你好", 0x000000, -1);
    const Drawn d = drawnPixels(c);
    ASSERT_GT(d.count, 20);
    EXPECT_GE(d.left, 50 - size.height);
    EXPECT_LE(d.right, 50);
    EXPECT_GT(d.bottom - d.top, d.right - d.left) << "taller than wide: the text runs down";
}

}  // namespace
}  // namespace zv::ui
