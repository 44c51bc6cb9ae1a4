#include "ui/ft/ft_text.h"

#include "platform/utf.h"

#include <algorithm>
#include <cmath>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include <map>
#include <unordered_map>
#include <vector>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H

namespace zv::ui {

namespace {

struct Library {
    FT_Library ft = nullptr;
    ~Library() {
        if (ft) FT_Done_FreeType(ft);
    }
};

// One opened face file; fonts share it, each with its own FT_Size.
struct Face {
    std::shared_ptr<Library> library;
    FT_Face face = nullptr;
    ~Face() {
        if (face) FT_Done_Face(face);
    }
};

struct Glyph {
    std::vector<uint8_t> coverage;
    int32_t width = 0, rows = 0, left = 0, top = 0, advance = 0;
};

std::vector<char32_t> codePoints(std::u16string_view s) {
    std::vector<char32_t> out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        out.push_back(c);
    }
    return out;
}

// A face at one size: the requested face, with the default CJK face for
// characters it lacks.
struct SizedFace {
    std::shared_ptr<Face> face;
    FT_Size size = nullptr;

    bool make(std::shared_ptr<Face> f, int32_t height) {
        face = std::move(f);
        if (FT_New_Size(face->face, &size) != 0) return false;
        FT_Activate_Size(size);
        FT_Face ft = face->face;
        // Negative: the character (em) height; positive: the cell height.
        FT_UInt pixels;
        if (height < 0) {
            pixels = static_cast<FT_UInt>(-height);
        } else {
            const int32_t cell = height == 0 ? 16 : height;
            const int32_t units = ft->ascender - ft->descender;
            pixels = units > 0 ? static_cast<FT_UInt>(std::max<int64_t>(1, int64_t(cell) * ft->units_per_EM / units))
                               : static_cast<FT_UInt>(cell);
        }
        if (FT_IS_SCALABLE(ft)) return FT_Set_Pixel_Sizes(ft, 0, std::max<FT_UInt>(pixels, 1)) == 0;
        return ft->num_fixed_sizes > 0 && FT_Select_Size(ft, 0) == 0;
    }
    ~SizedFace() {
        if (size) FT_Done_Size(size);
    }
};

class FtFont : public Font {
public:
    FtFont(const FontSpec& spec, std::unique_ptr<SizedFace> main, std::unique_ptr<SizedFace> fallback)
        : spec_(spec), main_(std::move(main)), fallback_(std::move(fallback)) {
        FT_Activate_Size(main_->size);
        const FT_Size_Metrics& m = main_->size->metrics;
        ascent_ = static_cast<int32_t>((m.ascender + 63) >> 6);
        height_ = ascent_ + static_cast<int32_t>((-m.descender + 63) >> 6);
        bold_ = spec.weight >= 600 && !(main_->face->face->style_flags & FT_STYLE_FLAG_BOLD);
    }

    TextSize measure(std::u16string_view text) const override {
        int32_t width = 0;
        for (char32_t c : codePoints(text)) width += glyph(c).advance;
        return {width, height_};
    }

    void draw(Canvas& canvas, int32_t x, int32_t y, std::u16string_view text, Colour colour,
              Colour background) const override {
        const TextSize extent = measure(text);
        if (spec_.vertical) {
            if (!isNone(background)) fillTextBox(canvas, x - height_, y, height_, extent.width, background);
            int32_t pen = y;
            for (char32_t c : codePoints(text)) {
                const Glyph& g = glyph(c);
                // Upright, centred across the column, in a slot as long as its advance.
                const int32_t left = x - height_ + (height_ - g.advance) / 2;
                const int32_t top = pen - (height_ - g.advance) / 2;
                blit(canvas, g, left, top + ascent_, colour);
                pen += g.advance;
            }
            return;
        }
        if (!isNone(background)) fillTextBox(canvas, x, y, extent.width, height_, background);
        int32_t pen = x;
        for (char32_t c : codePoints(text)) {
            const Glyph& g = glyph(c);
            blit(canvas, g, pen, y + ascent_, colour);
            pen += g.advance;
        }
        const int32_t thickness = std::max(1, height_ / 16);
        if (spec_.underline) fillTextBox(canvas, x, y + ascent_ + 1, extent.width, thickness, colour);
        if (spec_.strikeOut) fillTextBox(canvas, x, y + ascent_ * 2 / 3, extent.width, thickness, colour);
    }

private:
    static void blit(Canvas& canvas, const Glyph& g, int32_t penX, int32_t baseline, Colour colour) {
        for (int32_t r = 0; r < g.rows; ++r)
            for (int32_t c = 0; c < g.width; ++c)
                blendTextPixel(canvas, penX + g.left + c, baseline - g.top + r,
                               g.coverage[static_cast<size_t>(r) * static_cast<size_t>(g.width) + static_cast<size_t>(c)],
                               colour);
    }

    const Glyph& glyph(char32_t c) const {
        auto it = cache_.find(c);
        if (it != cache_.end()) return it->second;
        Glyph g;
        SizedFace* face = main_.get();
        FT_UInt index = FT_Get_Char_Index(face->face->face, c);
        if (index == 0 && fallback_) {
            FT_UInt other = FT_Get_Char_Index(fallback_->face->face, c);
            if (other != 0) {
                face = fallback_.get();
                index = other;
            }
        }
        FT_Activate_Size(face->size);
        FT_Face ft = face->face->face;
        if (FT_Load_Glyph(ft, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) == 0) {
            if (bold_) FT_GlyphSlot_Embolden(ft->glyph);
            if (spec_.italic) FT_GlyphSlot_Oblique(ft->glyph);
            if (FT_Render_Glyph(ft->glyph, FT_RENDER_MODE_NORMAL) == 0) {
                const FT_Bitmap& b = ft->glyph->bitmap;
                g.width = static_cast<int32_t>(b.width);
                g.rows = static_cast<int32_t>(b.rows);
                g.left = ft->glyph->bitmap_left;
                g.top = ft->glyph->bitmap_top;
                g.coverage.resize(static_cast<size_t>(g.width) * static_cast<size_t>(g.rows));
                for (int32_t r = 0; r < g.rows; ++r) {
                    const uint8_t* row = b.buffer + static_cast<ptrdiff_t>(r) * b.pitch;
                    std::copy(row, row + g.width, g.coverage.begin() + static_cast<ptrdiff_t>(r) * g.width);
                }
            }
            g.advance = static_cast<int32_t>((ft->glyph->advance.x + 32) >> 6);
        }
        return cache_.emplace(c, std::move(g)).first->second;
    }

    FontSpec spec_;
    std::unique_ptr<SizedFace> main_, fallback_;
    int32_t ascent_ = 0, height_ = 0;
    bool bold_ = false;
    mutable std::unordered_map<char32_t, Glyph> cache_;
};

bool familyMatches(FcPattern* font, const std::string& wanted) {
    FcChar8* family = nullptr;
    for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &family) == FcResultMatch; ++i)
        if (FcStrCmpIgnoreCase(family, reinterpret_cast<const FcChar8*>(wanted.c_str())) == 0) return true;
    return false;
}

class FtRenderer : public TextRenderer {
public:
    bool start() {
        library_ = std::make_shared<Library>();
        if (FT_Init_FreeType(&library_->ft) != 0) return false;
        if (!FcInit()) return false;
        fallback_ = openFace(std::u16string(DefaultCjkFace), true);
        return fallback_ != nullptr;
    }

    std::unique_ptr<Font> createFont(const FontSpec& spec) override {
        std::shared_ptr<Face> face = openFace(spec.face, false);
        if (!face) face = fallback_;
        auto main = std::make_unique<SizedFace>();
        if (!main->make(face, spec.height)) return nullptr;
        std::unique_ptr<SizedFace> fallback;
        if (face != fallback_) {
            fallback = std::make_unique<SizedFace>();
            // The fallback matches the main face's em size.
            if (!fallback->make(fallback_, -static_cast<int32_t>(face->face->size->metrics.y_ppem))) fallback.reset();
        }
        return std::make_unique<FtFont>(spec, std::move(main), std::move(fallback));
    }

    bool hasFace(std::u16string_view face) override { return !face.empty() && face[0] != u'@' && openFace(face, false); }

private:
    // The installed face of exactly this family (any is accepted for the
    // default face), opened once.
    std::shared_ptr<Face> openFace(std::u16string_view family, bool anyMatch) {
        if (family.empty()) return nullptr;
        const std::string name = utf16ToUtf8(family);
        if (auto it = faces_.find(name); it != faces_.end()) return it->second;
        std::shared_ptr<Face> result;
        FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(""));
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult r;
        if (FcPattern* font = FcFontMatch(nullptr, pattern, &r)) {
            FcChar8* file = nullptr;
            int index = 0;
            if ((anyMatch || familyMatches(font, name)) && FcPatternGetString(font, FC_FILE, 0, &file) == FcResultMatch) {
                FcPatternGetInteger(font, FC_INDEX, 0, &index);
                auto f = std::make_shared<Face>();
                f->library = library_;
                if (FT_New_Face(library_->ft, reinterpret_cast<const char*>(file), index, &f->face) == 0) result = f;
            }
            FcPatternDestroy(font);
        }
        FcPatternDestroy(pattern);
        faces_[name] = result;
        return result;
    }

    std::shared_ptr<Library> library_;
    std::shared_ptr<Face> fallback_;
    std::map<std::string, std::shared_ptr<Face>> faces_;
};

}  // namespace

std::unique_ptr<TextRenderer> makeFreeTypeRenderer() {
    auto r = std::make_unique<FtRenderer>();
    if (!r->start()) return nullptr;
    return r;
}

}  // namespace zv::ui

// fontconfig leaves parts of its configuration unreachable until the process
// ends; sanitizer builds are told so rather than failing every program that
// draws text.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
