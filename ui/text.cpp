#include "ui/text.h"

#include <algorithm>

namespace zv::ui {

uint32_t textPixel(Colour c) {
    auto u = static_cast<uint32_t>(c);
    return pixel(static_cast<uint8_t>(u >> 16), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u), 0);
}

void fillTextBox(Canvas& canvas, int32_t x, int32_t y, int32_t width, int32_t height, Colour colour) {
    const int32_t x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int32_t x1 = static_cast<int32_t>(std::min<int64_t>(int64_t(x) + width, canvas.width));
    const int32_t y1 = static_cast<int32_t>(std::min<int64_t>(int64_t(y) + height, canvas.height));
    const uint32_t p = textPixel(colour);
    for (int32_t row = y0; row < y1; ++row)
        for (int32_t col = x0; col < x1; ++col) canvas.at(col, row) = p;
}

void blendTextPixel(Canvas& canvas, int32_t x, int32_t y, uint32_t coverage, Colour colour) {
    if (coverage == 0 || x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return;
    uint32_t& dst = canvas.at(x, y);
    const uint32_t src = textPixel(colour);
    const uint32_t inv = 255 - coverage;
    auto mix = [&](uint8_t s, uint8_t d) { return static_cast<uint8_t>((s * coverage + d * inv + 127) / 255); };
    dst = pixel(mix(blueOf(src), blueOf(dst)), mix(greenOf(src), greenOf(dst)), mix(redOf(src), redOf(dst)), 0);
}

}  // namespace zv::ui
