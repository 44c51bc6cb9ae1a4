#include "ui/draw.h"

#include <algorithm>
#include <cmath>

namespace zv::ui {

namespace {

// Coverage of each pixel from 4 x 4 samples of a signed distance (negative
// inside), within the shape's bounding box.
template <typename Distance>
void fillShape(SkinImage& image, float left, float top, float right, float bottom, Rgba colour, Distance inside) {
    const int32_t x0 = std::max(0, static_cast<int32_t>(std::floor(left)) - 1);
    const int32_t y0 = std::max(0, static_cast<int32_t>(std::floor(top)) - 1);
    const int32_t x1 = std::min(image.width, static_cast<int32_t>(std::ceil(right)) + 1);
    const int32_t y1 = std::min(image.height, static_cast<int32_t>(std::ceil(bottom)) + 1);
    for (int32_t y = y0; y < y1; ++y) {
        for (int32_t x = x0; x < x1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    if (inside(x + (sx + 0.5f) / 4, y + (sy + 0.5f) / 4)) ++hits;
            if (hits) blendOver(image, x, y, colour, hits / 16.0f);
        }
    }
}

// Signed distance to a rounded rectangle: negative inside.
float roundedRectDistance(float px, float py, float l, float t, float r, float b, float radius) {
    const float qx = std::abs(px - (l + r) / 2) - ((r - l) / 2 - radius);
    const float qy = std::abs(py - (t + b) / 2) - ((b - t) / 2 - radius);
    return std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - radius;
}

}  // namespace

SkinImage blankImage(int32_t width, int32_t height, Rgba fill) {
    SkinImage img;
    img.width = width;
    img.height = height;
    img.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), pixel(fill.b, fill.g, fill.r, fill.a));
    return img;
}

void blendOver(SkinImage& image, int32_t x, int32_t y, Rgba c, float coverage) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height || coverage <= 0) return;
    uint32_t& d = image.at(x, y);
    const float sa = c.a / 255.0f * std::min(coverage, 1.0f);
    const float da = alphaOf(d) / 255.0f;
    const float oa = sa + da * (1 - sa);
    if (oa <= 0) return;
    auto mix = [&](uint8_t s, uint8_t dc) {
        return static_cast<uint8_t>(std::lround(std::clamp((s * sa + dc * da * (1 - sa)) / oa, 0.0f, 255.0f)));
    };
    d = pixel(mix(c.b, blueOf(d)), mix(c.g, greenOf(d)), mix(c.r, redOf(d)),
              static_cast<uint8_t>(std::lround(oa * 255)));
}

void fillRoundedRect(SkinImage& image, float l, float t, float r, float b, float radius, Rgba colour) {
    radius = std::min({radius, (r - l) / 2, (b - t) / 2});
    fillShape(image, l, t, r, b, colour,
              [=](float x, float y) { return roundedRectDistance(x, y, l, t, r, b, radius) <= 0; });
}

void strokeRoundedRect(SkinImage& image, float l, float t, float r, float b, float radius, float width, Rgba colour) {
    radius = std::min({radius, (r - l) / 2, (b - t) / 2});
    fillShape(image, l, t, r, b, colour, [=](float x, float y) {
        float d = roundedRectDistance(x, y, l, t, r, b, radius);
        return d <= 0 && d > -width;
    });
}

void fillCircle(SkinImage& image, float cx, float cy, float radius, Rgba colour) {
    fillShape(image, cx - radius, cy - radius, cx + radius, cy + radius, colour,
              [=](float x, float y) { return std::hypot(x - cx, y - cy) <= radius; });
}

void strokeCircle(SkinImage& image, float cx, float cy, float radius, float width, Rgba colour) {
    fillShape(image, cx - radius, cy - radius, cx + radius, cy + radius, colour, [=](float x, float y) {
        float d = std::hypot(x - cx, y - cy);
        return d <= radius && d > radius - width;
    });
}

void strokeLine(SkinImage& image, float x0, float y0, float x1, float y1, float width, Rgba colour) {
    const float h = width / 2;
    const float dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    fillShape(image, std::min(x0, x1) - h, std::min(y0, y1) - h, std::max(x0, x1) + h, std::max(y0, y1) + h, colour,
              [=](float x, float y) {
                  float t = len2 > 0 ? std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.0f, 1.0f) : 0.0f;
                  return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= h;
              });
}

}  // namespace zv::ui
