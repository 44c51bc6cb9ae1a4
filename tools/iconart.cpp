// Draws the engine library's pictures: the icons of the language bar and of
// the configuration program's pages (each .ico holding 16 x 16 and 32 x 32,
// 32-bit with alpha), the soft keyboard's background bitmap, and a contact
// sheet of the icons for the documentation.
//
//   iconart ICONDIR SHEET.png   writes ICONDIR/*.ico, ICONDIR/softkbd.bmp
//                               and the contact sheet
//
// The output is committed under resources/icons/ (and docs/); run this again
// after changing a drawing. Glyphs come from WenQuanYi Micro Hei
// (fonts-wqy-microhei), which scripts/deps installs.

#include "platform/mapped_file.h"
#include "ui/draw.h"
#include "ui/ft/ft_text.h"
#include "ui/image.h"
#include "ui/soft_keyboard.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace zv;
using namespace zv::ui;

namespace {

TextRenderer* g_text = nullptr;

// The product's colours (those of the shipped light skin).
constexpr Rgba Accent = rgb(0x2F6FEB);
constexpr Rgba Slate = rgb(0x3C4350);
constexpr Rgba Green = rgb(0x1E8A5A);
constexpr Rgba Grey = rgb(0x8A919C);
constexpr Rgba Paper = rgb(0xF7F8FA);
constexpr Rgba Rule = rgb(0x8C949F);
constexpr Rgba White = rgb(0xFFFFFF);
constexpr Rgba Warn = rgb(0xD0413A);

// One icon image being drawn. Drawings are given on a 32-unit grid and
// scaled; where 16 pixels need other proportions the drawing asks small().
struct Pen {
    SkinImage img;
    float s;
    explicit Pen(int size) : img(blankImage(size, size)), s(static_cast<float>(size) / 32.0f) {}
    bool small() const { return img.width < 24; }
    // Line widths keep at least 1.25 pixels, so that 16-pixel strokes stay
    // solid instead of fading into half-covered pixels.
    float w(float units) const { return std::max(units * s, 1.25f); }

    void rect(float l, float t, float r, float b, float radius, Rgba c) {
        fillRoundedRect(img, l * s, t * s, r * s, b * s, radius * s, c);
    }
    void frame(float l, float t, float r, float b, float radius, float width, Rgba c) {
        strokeRoundedRect(img, l * s, t * s, r * s, b * s, radius * s, w(width), c);
    }
    void disc(float x, float y, float radius, Rgba c) { fillCircle(img, x * s, y * s, radius * s, c); }
    void ring(float x, float y, float radius, float width, Rgba c) {
        strokeCircle(img, x * s, y * s, radius * s, w(width), c);
    }
    void line(float x0, float y0, float x1, float y1, float width, Rgba c) {
        strokeLine(img, x0 * s, y0 * s, x1 * s, y1 * s, w(width), c);
    }

    // A glyph centred on (cx, cy) by its inked box, at `pixels` character
    // height for this image size.
    void glyph(std::u16string_view text, float cx, float cy, int pixels, Rgba c, bool bold = false) {
        FontSpec spec;
        spec.face = std::u16string(DefaultCjkFace);
        spec.height = -pixels;
        spec.weight = bold ? 700 : 400;
        auto font = g_text->createFont(spec);
        if (!font) {
            std::fprintf(stderr, "iconart: no font for the glyphs (install fonts-wqy-microhei)\n");
            std::exit(1);
        }
        // White on black in a scratch canvas: the red channel is the coverage.
        const int side = pixels * 3;
        Canvas scratch = blankImage(side, side, rgb(0x000000));
        font->draw(scratch, pixels, pixels / 2, text, 0xFFFFFF, -1);
        int x0 = side, y0 = side, x1 = -1, y1 = -1;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                if (redOf(scratch.at(x, y)) > 24) {
                    x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
                }
        if (x1 < 0) return;
        const int dx = static_cast<int>(std::lround(cx * s - (x0 + x1 + 1) / 2.0f));
        const int dy = static_cast<int>(std::lround(cy * s - (y0 + y1 + 1) / 2.0f));
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                if (uint8_t cov = redOf(scratch.at(x, y))) blendOver(img, x + dx, y + dy, c, cov / 255.0f);
    }
};

// The mode icons: a coloured tile with a white character.
void modeTile(Pen& p, Rgba back, std::u16string_view text) {
    p.rect(1, 1, 31, 31, 6, back);
    p.glyph(text, 16, 16, p.small() ? 13 : 23, White, !p.small());
}

// The toggles: a light tile with a thin rule, the picture drawn on it.
void lightTile(Pen& p) {
    p.rect(1, 1, 31, 31, 6, Rule);
    p.rect(2.5f, 2.5f, 29.5f, 29.5f, 4.8f, Paper);
}

void iconHalfWidth(Pen& p) {  // a crescent: half of the moon
    lightTile(p);
    SkinImage moon = blankImage(p.img.width, p.img.height);
    fillCircle(moon, 16 * p.s, 16 * p.s, 10.5f * p.s, Slate);
    // The bite out of the moon: what a second, offset disc covers goes.
    SkinImage bite = blankImage(p.img.width, p.img.height);
    fillCircle(bite, 21.5f * p.s, 12.5f * p.s, 9.5f * p.s, Slate);
    for (int y = 0; y < p.img.height; ++y)
        for (int x = 0; x < p.img.width; ++x) {
            const float keep = alphaOf(moon.at(x, y)) / 255.0f * (1 - alphaOf(bite.at(x, y)) / 255.0f);
            blendOver(p.img, x, y, Slate, keep);
        }
}

void iconFullWidth(Pen& p) {  // the full moon
    lightTile(p);
    p.disc(16, 16, 10.5f, Accent);
}

void iconChinesePunctuation(Pen& p) {  // 。，
    lightTile(p);
    if (p.small()) {  // bigger marks, or 16 pixels leave specks
        p.ring(10, 19.5f, 6, 3, Slate);
        p.disc(22.5f, 17.5f, 4.4f, Slate);
        p.line(25, 19, 20, 27.5f, 3.4f, Slate);
        return;
    }
    p.ring(10, 21, 4.6f, 2.4f, Slate);
    p.disc(22, 19, 3.3f, Slate);
    p.line(24.3f, 20, 20.5f, 26.5f, 2.6f, Slate);
}

void iconEnglishPunctuation(Pen& p) {  // . ,
    lightTile(p);
    if (p.small()) {
        p.disc(10, 20.5f, 4.4f, Accent);
        p.disc(22, 17.5f, 4.4f, Accent);
        p.line(24.5f, 19, 19.5f, 27.5f, 3.4f, Accent);
        return;
    }
    p.disc(11, 21.5f, 3.1f, Accent);
    p.disc(21, 20, 3.1f, Accent);
    p.line(23.2f, 20.8f, 19.5f, 27, 2.6f, Accent);
}

void iconMenu(Pen& p) {
    lightTile(p);
    for (float y : {10.0f, 16.0f, 22.0f}) p.line(9, y, 23, y, 2.6f, Slate);
}

// A keyboard across the icon; keys as dots and a space bar.
void keyboard(Pen& p, Rgba body, Rgba keys) {
    p.rect(1.5f, 7, 30.5f, 25, 3.5f, Slate);
    p.rect(3, 8.5f, 29, 23.5f, 2.2f, body);
    const int cols = p.small() ? 4 : 6;
    const float step = 22.0f / static_cast<float>(cols - 1);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < cols; ++col) {
            const float x = 5 + step * static_cast<float>(col), y = p.small() ? 12 + 4.5f * row : 12 + 4.0f * row;
            if (p.small())
                p.disc(x + 0.5f, y, 1.6f, keys);
            else
                p.rect(x - 1.4f, y - 1.4f, x + 1.6f, y + 1.6f, 0.6f, keys);
        }
    p.line(10, 20.5f, 22, 20.5f, 2.4f, keys);
}

void iconSoftKeyboard(Pen& p) { keyboard(p, White, Slate); }

void iconChinese(Pen& p) { modeTile(p, Accent, u"中"); }
void iconEnglishWords(Pen& p) { modeTile(p, Green, u"英"); }
void iconCapsLock(Pen& p) {
    p.rect(1, 1, 31, 31, 6, Slate);
    if (p.small()) {
        p.glyph(u"A", 16, 12.5f, 10, White, true);
        p.line(9, 26, 23, 26, 2.6f, White);
        return;
    }
    p.glyph(u"A", 16, 14, 21, White, true);
    p.line(9.5f, 26, 22.5f, 26, 2.6f, White);
}
// The same characters as the mode indicator beside the caret.
void iconKeyboardClosed(Pen& p) { modeTile(p, Grey, u"关"); }
void iconKeyboardDisabled(Pen& p) {
    modeTile(p, rgb(0xB3B8C0), u"禁");
    p.line(6, 26, 26, 6, 3, Warn);
}

// The configuration program's pages.
void iconKeyFunctions(Pen& p) {  // a key cap with a gear: what each key does
    // At 16 pixels a gear is a blot: the key cap alone, centred.
    const float o = p.small() ? 3.5f : 0, b = p.small() ? 4 : 0;
    p.rect(3 + o, 5 + b, 25 + o, 27 + b, 4.5f, rgb(0x9AA3AE));
    p.rect(3 + o, 4 + b, 25 + o, 24.5f + b, 4.5f, rgb(0xE9ECF0));
    p.frame(3 + o, 4 + b, 25 + o, 24.5f + b, 4.5f, 1.4f, rgb(0x7E8794));
    p.glyph(u"K", 12.5f + o, 13.5f + b, p.small() ? 9 : 13, Slate, true);
    if (p.small()) return;
    const float cx = 23, cy = 23;
    for (int i = 0; i < 8; ++i) {
        const float a = static_cast<float>(i) * 3.14159265f / 4;
        p.line(cx + 5.2f * std::cos(a), cy + 5.2f * std::sin(a), cx + 7.4f * std::cos(a), cy + 7.4f * std::sin(a),
               3, Accent);
    }
    p.disc(cx, cy, 6, Accent);
    p.disc(cx, cy, 2.4f, White);
}

void iconAppearance(Pen& p) {  // a window with colour swatches: the skin
    p.rect(2, 4, 30, 28, 4, Slate);
    p.rect(3.5f, 10, 28.5f, 26.5f, 2.5f, White);
    p.rect(3.5f, 5.5f, 28.5f, 11, 2.5f, Slate);
    p.disc(9, 18.5f, 3.6f, Accent);
    p.disc(16, 18.5f, 3.6f, Green);
    p.disc(23, 18.5f, 3.6f, rgb(0xE0902A));
}

void iconAbout(Pen& p) {
    p.disc(16, 16, 14.5f, Accent);
    p.disc(16, 9.5f, 2.3f, White);
    p.line(16, 14.5f, 16, 24, 3.6f, White);
}

void iconGeneral(Pen& p) {  // sliders: the everyday options
    lightTile(p);
    const float knobs[3] = {20, 11, 17};
    for (int i = 0; i < 3; ++i) {
        const float y = 9.5f + 6.5f * static_cast<float>(i);
        p.line(7, y, 25, y, 1.8f, Rule);
        p.disc(knobs[i], y, p.small() ? 3.4f : 3.0f, i == 1 ? Accent : Slate);
    }
}

void iconCodeTable(Pen& p) {  // a sheet of rows: codes and their words
    p.rect(4, 2, 28, 30, 3, Rule);
    p.rect(5.3f, 3.3f, 26.7f, 28.7f, 2, White);
    p.rect(5.3f, 3.3f, 26.7f, 9.5f, 2, Accent);
    for (int i = 0; i < 3; ++i) {
        const float y = 14 + 5.2f * static_cast<float>(i);
        p.line(8.5f, y, 12, y, 2.2f, Accent);
        p.line(15, y, 23.5f, y, 2.2f, Slate);
    }
}

struct IconDef {
    int id;
    const char* file;
    void (*draw)(Pen&);
};

const IconDef Icons[] = {
    {102, "102-half-width", iconHalfWidth},
    {103, "103-english-words", iconEnglishWords},
    {104, "104-chinese-punctuation", iconChinesePunctuation},
    {105, "105-english-punctuation", iconEnglishPunctuation},
    {106, "106-chinese", iconChinese},
    {107, "107-menu", iconMenu},
    {108, "108-full-width", iconFullWidth},
    {109, "109-soft-keyboard", iconSoftKeyboard},
    {117, "117-key-functions", iconKeyFunctions},
    {118, "118-appearance", iconAppearance},
    {119, "119-about", iconAbout},
    {120, "120-general", iconGeneral},
    {121, "121-code-table", iconCodeTable},
    {122, "122-caps-lock", iconCapsLock},
    {123, "123-keyboard-closed", iconKeyboardClosed},
    {124, "124-keyboard-disabled", iconKeyboardDisabled},
};

void put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// One icon image as the platform stores it: a BITMAPINFOHEADER of twice the
// height, the 32-bit pixels bottom-up with straight alpha, then the 1-bit
// mask (set where the image is transparent) that older systems draw with.
std::vector<uint8_t> iconImage(const SkinImage& img) {
    std::vector<uint8_t> b;
    put32(b, 40);
    put32(b, static_cast<uint32_t>(img.width));
    put32(b, static_cast<uint32_t>(img.height * 2));
    put16(b, 1);
    put16(b, 32);
    put32(b, 0);
    const uint32_t maskStride = static_cast<uint32_t>((img.width + 31) / 32 * 4);
    put32(b, static_cast<uint32_t>(img.width * img.height * 4) + maskStride * static_cast<uint32_t>(img.height));
    for (int i = 0; i < 4; ++i) put32(b, 0);
    for (int y = img.height - 1; y >= 0; --y)
        for (int x = 0; x < img.width; ++x) put32(b, img.at(x, y));
    for (int y = img.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskStride, 0);
        for (int x = 0; x < img.width; ++x)
            if (alphaOf(img.at(x, y)) == 0) row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

std::vector<uint8_t> icoFile(const std::vector<SkinImage>& images) {
    std::vector<uint8_t> out;
    put16(out, 0);
    put16(out, 1);
    put16(out, static_cast<uint32_t>(images.size()));
    std::vector<std::vector<uint8_t>> data;
    for (const SkinImage& img : images) data.push_back(iconImage(img));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(static_cast<uint8_t>(images[i].width));
        out.push_back(static_cast<uint8_t>(images[i].height));
        out.push_back(0);  // no palette
        out.push_back(0);
        put16(out, 1);   // planes
        put16(out, 32);  // bits per pixel
        put32(out, static_cast<uint32_t>(data[i].size()));
        put32(out, offset);
        offset += static_cast<uint32_t>(data[i].size());
    }
    for (const auto& d : data) out.insert(out.end(), d.begin(), d.end());
    return out;
}

// The soft keyboard's picture as a 24-bit bottom-up BMP file.
std::vector<uint8_t> bmpFile(const SkinImage& img) {
    const uint32_t stride = static_cast<uint32_t>((img.width * 3 + 3) / 4 * 4);
    const uint32_t size = stride * static_cast<uint32_t>(img.height);
    std::vector<uint8_t> b = {'B', 'M'};
    put32(b, 14 + 40 + size);
    put32(b, 0);
    put32(b, 14 + 40);
    put32(b, 40);
    put32(b, static_cast<uint32_t>(img.width));
    put32(b, static_cast<uint32_t>(img.height));
    put16(b, 1);
    put16(b, 24);
    put32(b, 0);
    put32(b, size);
    put32(b, 2835);  // 72 dpi
    put32(b, 2835);
    put32(b, 0);
    put32(b, 0);
    for (int y = img.height - 1; y >= 0; --y) {
        for (int x = 0; x < img.width; ++x) {
            const uint32_t p = img.at(x, y);
            b.push_back(blueOf(p));
            b.push_back(greenOf(p));
            b.push_back(redOf(p));
        }
        for (uint32_t pad = static_cast<uint32_t>(img.width * 3); pad < stride; ++pad) b.push_back(0);
    }
    return b;
}

void write(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    if (bytes.empty() || !platform::writeWholeFile(path.u16string(), bytes.data(), bytes.size())) {
        std::fprintf(stderr, "iconart: cannot write %s\n", path.string().c_str());
        std::exit(1);
    }
}

void copyOver(SkinImage& dst, const SkinImage& src, int x0, int y0) {
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x) {
            const uint32_t p = src.at(x, y);
            blendOver(dst, x0 + x, y0 + y, {redOf(p), greenOf(p), blueOf(p), alphaOf(p)}, 1);
        }
}

// Every icon at 32 and at 16 pixels under its resource number, on a light
// and on a dark band (the taskbar can be either).
SkinImage contactSheet(const std::vector<std::pair<SkinImage, SkinImage>>& drawn) {
    constexpr int Cell = 50, Label = 22, Band = 70;
    const int count = static_cast<int>(drawn.size());
    SkinImage sheet = blankImage(Cell * count + 12, Label + Band * 2, rgb(0xFFFFFF));
    for (int y = Label + Band; y < sheet.height; ++y)
        for (int x = 0; x < sheet.width; ++x) sheet.at(x, y) = pixel(0x2D, 0x27, 0x24, 0xFF);
    FontSpec spec;
    spec.face = std::u16string(DefaultCjkFace);
    spec.height = -12;
    auto font = g_text->createFont(spec);
    for (int i = 0; i < count; ++i) {
        const int x = 6 + Cell * i;
        if (font) {
            const std::string id = std::to_string(Icons[i].id);
            const std::u16string label(id.begin(), id.end());
            const TextSize t = font->measure(label);
            font->draw(sheet, x + (Cell - t.width) / 2, 4, label, 0x3C4350, -1);
        }
        for (int band = 0; band < 2; ++band) {
            const int y = Label + Band * band;
            copyOver(sheet, drawn[static_cast<size_t>(i)].first, x + (Cell - 32) / 2, y + 8);
            copyOver(sheet, drawn[static_cast<size_t>(i)].second, x + (Cell - 16) / 2, y + 46);
        }
    }
    for (uint32_t& p : sheet.pixels) p |= 0xFF000000u;  // text leaves alpha 0
    return sheet;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: iconart ICONDIR SHEET.png\n");
        return 2;
    }
    auto renderer = makeFreeTypeRenderer();
    if (!renderer) {
        std::fprintf(stderr, "iconart: FreeType or fontconfig did not start\n");
        return 1;
    }
    g_text = renderer.get();
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);

    std::vector<std::pair<SkinImage, SkinImage>> drawn;
    for (const IconDef& icon : Icons) {
        Pen big(32), small(16);
        icon.draw(big);
        icon.draw(small);
        write(folder / (std::string(icon.file) + ".ico"), icoFile({small.img, big.img}));
        drawn.emplace_back(big.img, small.img);
    }
    write(argv[2], encodePng(contactSheet(drawn)));

    // The soft keyboard's background: the same picture the portable painter
    // would draw, so that the window's key rectangles and the bitmap agree.
    write(folder / "softkbd.bmp", bmpFile(softKeyboardPicture(*renderer)));
    return 0;
}
