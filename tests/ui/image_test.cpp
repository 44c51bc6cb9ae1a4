#include "tests/ui/ui_fixture.h"
#include "ui/image.h"

#include <csetjmp>
#include <gtest/gtest.h>
#include <png.h>

namespace zv::ui {
namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
void noFlush(png_structp) {}

bool writeRows(png_structp png, png_infop info, std::vector<uint8_t>* out, uint32_t w, uint32_t h, int depth,
               int type, png_bytepp rows, const png_color* palette, const png_byte* trns) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, out, appendBytes, noFlush);
    png_set_IHDR(png, info, w, h, depth, type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (palette) png_set_PLTE(png, info, palette, 2);
    if (trns) png_set_tRNS(png, info, trns, 2, nullptr);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

// A PNG of any colour type from raw rows (every row the same bytes).
std::vector<uint8_t> makePng(uint32_t w, uint32_t h, int depth, int type, std::vector<uint8_t> row,
                             const png_color* palette = nullptr, const png_byte* trns = nullptr) {
    std::vector<uint8_t> out;
    std::vector<png_bytep> rows(h, row.data());
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    EXPECT_TRUE(writeRows(png, info, &out, w, h, depth, type, rows.data(), palette, trns));
    png_destroy_write_struct(&png, &info);
    return out;
}

TEST(DecodePng, ColourTypesBecomeBgraWithStraightAlpha) {
    // RGB has no alpha: it comes out fully transparent, as skins rely on.
    SkinImage rgb = decodePng(makePng(2, 1, 8, PNG_COLOR_TYPE_RGB, {10, 20, 30, 40, 50, 60}));
    ASSERT_EQ(2, rgb.width);
    EXPECT_EQ(pixel(30, 20, 10, 0), rgb.at(0, 0));
    EXPECT_EQ(pixel(60, 50, 40, 0), rgb.at(1, 0));
    SkinImage rgba = decodePng(makePng(1, 2, 8, PNG_COLOR_TYPE_RGB_ALPHA, {1, 2, 3, 4}));
    ASSERT_EQ(2, rgba.height);
    EXPECT_EQ(pixel(3, 2, 1, 4), rgba.at(0, 1));
    EXPECT_EQ(pixel(7, 7, 7, 0), decodePng(makePng(1, 1, 8, PNG_COLOR_TYPE_GRAY, {7})).at(0, 0));
    EXPECT_EQ(pixel(7, 7, 7, 9), decodePng(makePng(1, 1, 8, PNG_COLOR_TYPE_GRAY_ALPHA, {7, 9})).at(0, 0));
    // Gray below 8 bits is widened; a palette with a transparency chunk gets alpha.
    EXPECT_EQ(pixel(255, 255, 255, 0), decodePng(makePng(8, 1, 1, PNG_COLOR_TYPE_GRAY, {0x80})).at(0, 0));
    const png_color palette[2] = {{255, 0, 0}, {0, 0, 255}};
    const png_byte trns[2] = {255, 128};
    SkinImage pal = decodePng(makePng(2, 1, 8, PNG_COLOR_TYPE_PALETTE, {0, 1}, palette, trns));
    EXPECT_EQ(pixel(0, 0, 255, 255), pal.at(0, 0));
    EXPECT_EQ(pixel(255, 0, 0, 128), pal.at(1, 0));
    // Round trip through our own encoder.
    SkinImage img = test::solidImage(3, 2, pixel(1, 2, 3, 4));
    EXPECT_EQ(img.pixels, decodePng(encodePng(img)).pixels);
}

TEST(DecodePng, UnsupportedAndDamagedImagesGiveNothing) {
    EXPECT_TRUE(decodePng(makePng(1, 1, 16, PNG_COLOR_TYPE_RGB_ALPHA, std::vector<uint8_t>(8, 1))).empty());
    std::vector<uint8_t> good = encodePng(test::solidImage(40, 40, 0xFF00FF00));
    for (size_t cut : {size_t{0}, size_t{7}, size_t{30}, good.size() / 2, good.size() - 13})
        EXPECT_TRUE(decodePng({good.data(), cut}).empty()) << cut;
    std::vector<uint8_t> flipped = good;
    flipped[flipped.size() / 2] ^= 0x55;
    EXPECT_TRUE(decodePng(flipped).empty());
    // A header that declares a huge picture is refused before anything is allocated.
    std::vector<uint8_t> huge = test::hugePng();
    EXPECT_TRUE(decodePng(huge).empty());
}

TEST(StretchImage, CornersStayAndTheMiddleRepeats) {
    // A background 40 pixels wide with stretch range 5..25, stretched to 60.
    SkinImage src;
    src.width = 40;
    src.height = 3;
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 40; ++x) src.pixels.push_back(static_cast<uint32_t>(y * 100 + x));
    SkinImage out = stretchImage(src, 60, 5, 5, 25, 1, 1);
    ASSERT_EQ(60, out.width);
    ASSERT_EQ(5, out.height);
    for (int32_t j = 0; j < 5; ++j) EXPECT_EQ(uint32_t(j), out.at(j, 0));
    for (int32_t j = 46; j < 60; ++j) EXPECT_EQ(uint32_t(j - 20), out.at(j, 0));
    for (int32_t j = 5; j <= 45; ++j) EXPECT_EQ(uint32_t(5 + (j - 5) % 21), out.at(j, 0));
    // Rows: row 0 stays, row 1 repeats three times, the last row is the source's last.
    for (int32_t i : {1, 2, 3}) EXPECT_EQ(100u, out.at(0, i));
    EXPECT_EQ(200u, out.at(0, 4));
    // Shrinking keeps both edges.
    SkinImage small = stretchImage(src, 10, 3, 5, 25, 1, 1);
    EXPECT_EQ(0u, small.at(0, 0));
    EXPECT_EQ(39u, small.at(9, 0));
}

TEST(StretchImage, RangesFromASkinAreKeptInsideTheImage) {
    SkinImage src = test::solidImage(8, 8, 7);
    for (auto [x1, x2] : {std::pair{0, 0}, {5, 2}, {-10, 100}, {9, 20}, {-5, -1}}) {
        SkinImage out = stretchImage(src, 30, 30, x1, x2, x2, x1);
        ASSERT_EQ(900u, out.pixels.size());
        EXPECT_EQ(7u, out.at(29, 29));
    }
    EXPECT_TRUE(stretchImage(src, 0, 10, 1, 2, 1, 2).empty());
    EXPECT_TRUE(stretchImage(SkinImage{}, 10, 10, 1, 2, 1, 2).empty());
}

TEST(RegionFromAlpha, OneRectanglePerRunOfVisiblePixels) {
    SkinImage img = test::solidImage(6, 2, 0);
    img.at(1, 0) = img.at(2, 0) = img.at(5, 0) = 0x01000000;
    img.at(0, 1) = 0xFF000000;
    std::vector<Rect> runs = regionFromAlpha(img);
    ASSERT_EQ(3u, runs.size());
    EXPECT_EQ((Rect{1, 0, 3, 1}), runs[0]);
    EXPECT_EQ((Rect{5, 0, 6, 1}), runs[1]);
    EXPECT_EQ((Rect{0, 1, 1, 2}), runs[2]);
}

}  // namespace
}  // namespace zv::ui

namespace zv::ui {
namespace {

// A window picture scaled for a high-DPI monitor keeps its colours where
// they are flat, stays premultiplied at every edge, and keeps its size
// within bounds.
TEST(ScaleCanvas, KeepsFlatColoursAndPremultipliedEdges) {
    Canvas c;
    c.width = 4;
    c.height = 2;
    c.pixels = {pixel(10, 20, 30, 255), pixel(10, 20, 30, 255), pixel(0, 0, 0, 0), pixel(0, 0, 0, 0),
                pixel(10, 20, 30, 255), pixel(10, 20, 30, 255), pixel(0, 0, 0, 0), pixel(0, 0, 0, 0)};
    EXPECT_EQ(c.pixels, scaleCanvas(c, 100).pixels);
    const Canvas big = scaleCanvas(c, 150);
    ASSERT_EQ(6, big.width);
    ASSERT_EQ(3, big.height);
    EXPECT_EQ(pixel(10, 20, 30, 255), big.at(0, 0));
    EXPECT_EQ(pixel(0, 0, 0, 0), big.at(5, 2));
    for (uint32_t p : big.pixels) {
        EXPECT_LE(blueOf(p), alphaOf(p));
        EXPECT_LE(redOf(p), alphaOf(p));
    }
    const Canvas double_ = scaleCanvas(c, 200);
    EXPECT_EQ(8, double_.width);
    EXPECT_EQ(4, double_.height);
    EXPECT_TRUE(scaleCanvas(Canvas{}, 200).empty());
    EXPECT_EQ(16, scaleCanvas(c, 1000000).width) << "held to the largest scale";
}

}  // namespace
}  // namespace zv::ui
