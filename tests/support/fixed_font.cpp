#include "tests/support/fixed_font.h"

namespace zv::test {

int32_t fixedHeight(int32_t h) { return h < 0 ? -h : h == 0 ? 16 : h; }

namespace {

class FixedFont : public ui::Font {
public:
    explicit FixedFont(const ui::FontSpec& s) : height_(fixedHeight(s.height)), vertical_(s.vertical) {}

    int32_t advance(char16_t c) const { return c < 0x2E80 ? height_ / 2 : height_; }

    ui::TextSize measure(std::u16string_view text) const override {
        int32_t w = 0;
        for (char16_t c : text) w += advance(c);
        return {w, height_};
    }

    void draw(ui::Canvas& canvas, int32_t x, int32_t y, std::u16string_view text, ui::Colour colour,
              ui::Colour background) const override {
        const ui::TextSize size = measure(text);
        if (vertical_) {
            if (!ui::isNone(background)) ui::fillTextBox(canvas, x - height_, y, height_, size.width, background);
            int32_t pen = y;
            for (char16_t c : text) {
                if (c != u' ') ui::fillTextBox(canvas, x - height_ + 2, pen + 1, height_ - 4, advance(c) - 2, colour);
                pen += advance(c);
            }
            return;
        }
        if (!ui::isNone(background)) ui::fillTextBox(canvas, x, y, size.width, height_, background);
        int32_t pen = x;
        for (char16_t c : text) {
            if (c != u' ') ui::fillTextBox(canvas, pen + 1, y + 2, advance(c) - 2, height_ - 4, colour);
            pen += advance(c);
        }
    }

private:
    int32_t height_;
    bool vertical_;
};

}  // namespace

std::unique_ptr<ui::Font> FixedFontRenderer::createFont(const ui::FontSpec& spec) {
    made.push_back(spec);
    return std::make_unique<FixedFont>(spec);
}

}  // namespace zv::test
