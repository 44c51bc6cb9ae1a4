#include "ui/paint.h"

#include "ui/text.h"

#include <algorithm>

namespace zv::ui {

namespace {

// c * a / 255, rounded, without a division.
uint32_t scale(uint32_t c, uint32_t a) {
    const uint32_t x = c * a + 128;
    return (x + (x >> 8)) >> 8;
}

}  // namespace

SkinImage premultiplied(SkinImage image) {
    for (uint32_t& p : image.pixels) {
        const uint32_t a = alphaOf(p);
        p = scale(p & 0xFF, a) | scale(p >> 8 & 0xFF, a) << 8 | scale(p >> 16 & 0xFF, a) << 16 | a << 24;
    }
    return image;
}

void beginPaint(Canvas& canvas, const SkinImage& background) {
    canvas.width = background.width;
    canvas.height = background.height;
    canvas.pixels.resize(background.pixels.size());
    const uint32_t* bg = background.pixels.data();
    uint32_t* out = canvas.pixels.data();
    for (size_t i = 0, n = background.pixels.size(); i < n; ++i) out[i] = bg[i] | 0xFF000000u;
}

void restoreAlpha(Canvas& canvas, const SkinImage& background) {
    const uint32_t* bg = background.pixels.data();
    uint32_t* out = canvas.pixels.data();
    for (size_t i = 0, n = canvas.pixels.size(); i < n; ++i) {
        const uint32_t p = out[i];
        const uint32_t a = p >> 24;
        const uint32_t bgA = bg[i] >> 24;
        // Text left alpha 0 and becomes opaque; untouched pixels get the background back.
        out[i] = a == 0 ? p | 0xFF000000u : (a == 255 || a < bgA) ? bg[i] : p;
    }
}

void blendButton(Canvas& canvas, const SkinImage& image, int32_t x, int32_t y) {
    if (image.empty() || x < 0 || y < 0 || int64_t(x) + image.width > canvas.width ||
        int64_t(y) + image.height > canvas.height)
        return;
    for (int32_t row = 0; row < image.height; ++row) {
        for (int32_t col = 0; col < image.width; ++col) {
            const uint32_t src = image.at(col, row);
            const uint32_t a = alphaOf(src);
            if (a == 0) continue;
            uint32_t& dst = canvas.at(x + col, y + row);
            const uint32_t inv = 255 - a;
            auto mix = [&](uint8_t s, uint8_t d) {
                return static_cast<uint8_t>(std::min<uint32_t>(255, (s * a + d * inv + 127) / 255));
            };
            dst = pixel(mix(blueOf(src), blueOf(dst)), mix(greenOf(src), greenOf(dst)), mix(redOf(src), redOf(dst)),
                        static_cast<uint8_t>(a == 255 ? 254 : a));
        }
    }
}

void finishPaint(Canvas& canvas, const SkinImage& background) {
    const uint32_t* bg = background.pixels.data();
    uint32_t* out = canvas.pixels.data();
    for (size_t i = 0, n = canvas.pixels.size(); i < n; ++i) {
        const uint32_t p = out[i];
        uint32_t a = p >> 24;
        const uint32_t bgA = bg[i] >> 24;
        if (a == 0) a = 255;
        if (a == 255 || a < bgA) a = bgA;
        // Colours never exceed alpha, so the picture stays valid premultiplied
        // even where text was drawn over a translucent background.
        const uint32_t b = std::min(p & 0xFF, a), g = std::min(p >> 8 & 0xFF, a), r = std::min(p >> 16 & 0xFF, a);
        out[i] = b | g << 8 | r << 16 | a << 24;
    }
}

void drawPart(Canvas& canvas, const DisplayPart& part, const Font* font) {
    if (!font || !part.visible() || part.text.empty() || part.state < 0 || part.state > 3) return;
    const auto s = static_cast<size_t>(part.state);
    const Colour colour = part.colour[s];
    Colour background = part.background[s];
    if (isNone(background) || background == colour) background = -1;
    font->draw(canvas, part.x + part.xOffset, part.y, part.text, colour, background);
}

void paintCandidateWindow(const CandidateWindowState& w, const SkinImages& images, const UiFonts& fonts, Canvas& out) {
    if (!w.showable()) {
        out = Canvas{};
        return;
    }
    beginPaint(out, w.background);
    drawPart(out, w.composition, fonts.composition.get());
    for (const CandidateSlot& s : w.slots) {
        drawPart(out, s.label, fonts.label.get());
        drawPart(out, s.text, fonts.candidate.get());
        drawPart(out, s.tip, fonts.tip.get());
    }
    restoreAlpha(out, w.background);
    // Paging first, then the mode and extension buttons.
    constexpr CandidateButton order[] = {CandidateButton::NextPage, CandidateButton::PreviousPage,
                                         CandidateButton::Width, CandidateButton::Punctuation,
                                         CandidateButton::Extension1, CandidateButton::Extension2};
    for (CandidateButton which : order) {
        const WindowButton& b = w.button(which);
        if (!b.shown()) continue;
        if (const SkinImage* img = buttonImage(images.button(b.image), b.state, b.rule)) blendButton(out, *img, b.x, b.y);
    }
    finishPaint(out, w.background);
}

void paintCompositionWindow(const CompositionWindowState& w, const UiFonts& fonts, Canvas& out) {
    if (!w.showable()) {
        out = Canvas{};
        return;
    }
    beginPaint(out, w.background);
    if (const Font* font = fonts.composition.get()) {
        const std::u16string_view text = w.text;
        const auto split = static_cast<size_t>(std::clamp(w.caretIndex, 0, static_cast<int>(text.size())));
        const int32_t x = w.textOrigin.x, y = w.textOrigin.y, th = w.textSize.height;
        const int32_t caretX = x + w.caretOffset;
        font->draw(out, x, y, text.substr(0, split), w.colour, -1);
        if (w.caret == CaretStyle::Bar) fillTextBox(out, caretX, y, w.caretWidth, th, w.caretColour);
        else if (w.caret == CaretStyle::Line) fillTextBox(out, caretX, y + th - 4, w.caretWidth, 2, w.caretColour);
        font->draw(out, caretX + w.caretWidth, y, text.substr(split), w.colour, -1);
    }
    restoreAlpha(out, w.background);
    finishPaint(out, w.background);
}

}  // namespace zv::ui
