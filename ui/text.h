#pragma once
// Text measuring and drawing for the windows: one small interface that the
// platform's text output implements (GDI on Windows, FreeType elsewhere).
// Text is drawn the way the platform's text output draws into a 32-bit
// bitmap: every pixel it touches is left with alpha 0, which is how the
// painter tells text from background afterwards.

#include "ui/image.h"
#include "ui/skin.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace zv::ui {

struct FontSpec {
    std::u16string face;
    int32_t height = 0;   // negative: character height in pixels; positive: cell height; 0: the default
    int32_t weight = 0;   // 100..900; 0: normal
    bool italic = false, underline = false, strikeOut = false;
    // Text running top to bottom (escapement 2700).
    bool vertical = false;
};

struct TextSize {
    int32_t width = 0, height = 0;
    friend bool operator==(const TextSize&, const TextSize&) = default;
};

class Font {
public:
    virtual ~Font() = default;
    // The extent of a line of text as it runs horizontally, also for a
    // vertical font (the caller swaps the sides).
    virtual TextSize measure(std::u16string_view text) const = 0;
    // Draws one line with its cell's top-left at (x, y); a vertical font's
    // column lies left of x, from x - height to x. A background that is not
    // none fills the text's box first. Touched pixels get alpha 0.
    virtual void draw(Canvas& canvas, int32_t x, int32_t y, std::u16string_view text, Colour colour,
                      Colour background) const = 0;
};

class TextRenderer {
public:
    virtual ~TextRenderer() = default;
    virtual std::unique_ptr<Font> createFont(const FontSpec& spec) = 0;
    // Whether a face of exactly that name is installed.
    virtual bool hasFace(std::u16string_view face) = 0;
};

// Helpers for renderers: a colour as a canvas pixel with alpha 0, a solid box
// and one glyph pixel of coverage 0..255, both clipped to the canvas.
uint32_t textPixel(Colour colour);
void fillTextBox(Canvas& canvas, int32_t x, int32_t y, int32_t width, int32_t height, Colour colour);
void blendTextPixel(Canvas& canvas, int32_t x, int32_t y, uint32_t coverage, Colour colour);

}  // namespace zv::ui
