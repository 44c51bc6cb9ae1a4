#pragma once
// Images of skins and the pixel buffers windows are painted into: 32-bit
// pixels, rows top to bottom, each pixel the bytes blue, green, red, alpha.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zv::ui {

// A decoded skin image (straight alpha) or, when used as a canvas, a window
// picture being painted (premultiplied alpha).
struct SkinImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // B | G << 8 | R << 16 | A << 24

    bool empty() const { return width <= 0 || height <= 0 || pixels.empty(); }
    uint32_t at(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]; }
    uint32_t& at(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]; }
};
using Canvas = SkinImage;

constexpr uint32_t pixel(uint8_t b, uint8_t g, uint8_t r, uint8_t a) {
    return uint32_t(b) | uint32_t(g) << 8 | uint32_t(r) << 16 | uint32_t(a) << 24;
}
constexpr uint8_t blueOf(uint32_t p) { return static_cast<uint8_t>(p); }
constexpr uint8_t greenOf(uint32_t p) { return static_cast<uint8_t>(p >> 8); }
constexpr uint8_t redOf(uint32_t p) { return static_cast<uint8_t>(p >> 16); }
constexpr uint8_t alphaOf(uint32_t p) { return static_cast<uint8_t>(p >> 24); }

// Images larger than this on either side are refused: no skin needs them and
// a declared size is the cheapest way to make a decoder allocate gigabytes.
inline constexpr int32_t MaxImageSide = 2048;

// Decodes a PNG held in memory. RGB images come out with alpha 0 and gray
// images as g, g, g; palettes, gray below 8 bits and transparency chunks are
// expanded; 16-bit images and anything malformed give an empty image.
SkinImage decodePng(std::span<const uint8_t> bytes);
// Encodes straight-alpha pixels as an 8-bit RGBA PNG; empty on failure.
std::vector<uint8_t> encodePng(const SkinImage& image);

// Nine-part stretch: corners and edges stay, the middle ranges x1..x2 and
// y1..y2 (inclusive, source pixels) repeat to fill newWidth x newHeight.
// Ranges outside the image are pulled into it.
SkinImage stretchImage(const SkinImage& source, int32_t newWidth, int32_t newHeight, int32_t x1, int32_t x2,
                       int32_t y1, int32_t y2);

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The window shape: one rectangle one pixel high per run of pixels whose
// alpha is not 0, row by row.
std::vector<Rect> regionFromAlpha(const SkinImage& image);

// A painted canvas (premultiplied) scaled for a monitor of more than 96
// dots per inch: percent of its size (100 gives it back unchanged), each
// pixel interpolated from its four nearest, which keeps premultiplied
// pixels premultiplied. The percent is held to MaxScalePercent (a 384-dpi
// monitor), the size to MaxScaledSide on each side.
inline constexpr int MaxScalePercent = 400;
inline constexpr int32_t MaxScaledSide = 16384;
Canvas scaleCanvas(const Canvas& canvas, int percent);

// A painted canvas (premultiplied) turned back into straight alpha, for
// saving as PNG.
SkinImage unpremultiply(const Canvas& canvas);

}  // namespace zv::ui
