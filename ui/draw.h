#pragma once
// Small anti-aliased shapes on straight-alpha images: what our own pictures
// (the soft keyboard, the default skin's artwork) are drawn with.

#include "ui/image.h"

#include <cstdint>

namespace zv::ui {

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 255;
};

constexpr Rgba rgb(uint32_t hex, uint8_t alpha = 255) {
    return {static_cast<uint8_t>(hex >> 16), static_cast<uint8_t>(hex >> 8), static_cast<uint8_t>(hex), alpha};
}

inline constexpr Rgba Transparent{0, 0, 0, 0};

SkinImage blankImage(int32_t width, int32_t height, Rgba fill = Transparent);

// Composites a colour over one pixel with a coverage of 0..1.
void blendOver(SkinImage& image, int32_t x, int32_t y, Rgba colour, float coverage);

void fillRoundedRect(SkinImage& image, float left, float top, float right, float bottom, float radius, Rgba colour);
// An outline of the given width inside the rectangle's edge.
void strokeRoundedRect(SkinImage& image, float left, float top, float right, float bottom, float radius, float width,
                       Rgba colour);
void fillCircle(SkinImage& image, float cx, float cy, float radius, Rgba colour);
void strokeCircle(SkinImage& image, float cx, float cy, float radius, float width, Rgba colour);
// A line with round ends.
void strokeLine(SkinImage& image, float x0, float y0, float x1, float y1, float width, Rgba colour);

}  // namespace zv::ui
