#include "ui/win32/gdi_text.h"

#include "ui/win32/gdi_handles.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace zv::ui::win32 {

namespace {

// Text running top to bottom: turned 270 degrees.
constexpr LONG kVerticalEscapement = 2700;
constexpr int kFaceUnits = LF_FACESIZE - 1;

COLORREF colourRef(Colour c) { return static_cast<COLORREF>(c) & 0xFFFFFF; }

class GdiFont : public Font {
public:
    GdiFont(const FontSpec& spec, FontHandle font) : spec_(spec), font_(std::move(font)), dc_(CreateCompatibleDC(nullptr)) {
        if (dc_) SelectObject(dc_.get(), font_.get());
        TEXTMETRICW m = {};
        if (dc_ && GetTextMetricsW(dc_.get(), &m)) height_ = m.tmHeight;
    }

    TextSize measure(std::u16string_view text) const override {
        SIZE s = {};
        if (dc_ && !text.empty())
            GetTextExtentPoint32W(dc_.get(), reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()), &s);
        return {s.cx, height_};
    }

    void draw(Canvas& canvas, int32_t x, int32_t y, std::u16string_view text, Colour colour,
              Colour background) const override {
        if (text.empty() || canvas.empty() || !dc_) return;
        const TextSize extent = measure(text);
        // The text's box on the canvas: a vertical column lies left of x.
        const int32_t left = spec_.vertical ? x - height_ : x;
        const int32_t width = spec_.vertical ? height_ : extent.width;
        const int32_t height = spec_.vertical ? extent.width : height_;
        if (!isNone(background)) fillTextBox(canvas, left, y, width, height, background);
        const int32_t x0 = std::max(left, 0), y0 = std::max(y, 0);
        const int32_t x1 = std::min(left + width, canvas.width), y1 = std::min(y + height, canvas.height);
        if (x0 >= x1 || y0 >= y1) return;
        DibSection dib(x1 - x0, y1 - y0);
        if (!dib) return;
        for (int32_t r = y0; r < y1; ++r)
            std::memcpy(dib.row(r - y0), &canvas.at(x0, r), sizeof(uint32_t) * static_cast<size_t>(x1 - x0));
        const HGDIOBJ old = SelectObject(dc_.get(), dib.bitmap());
        SetBkMode(dc_.get(), TRANSPARENT);
        SetTextColor(dc_.get(), colourRef(colour));
        // The reference point of a turned font is the top right of its column.
        const int originX = (spec_.vertical ? left + height_ : left) - x0;
        TextOutW(dc_.get(), originX, y - y0, reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()));
        GdiFlush();
        SelectObject(dc_.get(), old);
        for (int32_t r = y0; r < y1; ++r)
            std::memcpy(&canvas.at(x0, r), dib.row(r - y0), sizeof(uint32_t) * static_cast<size_t>(x1 - x0));
    }

private:
    FontSpec spec_;
    FontHandle font_;
    DcHandle dc_;
    int32_t height_ = 0;
};

int CALLBACK faceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

}  // namespace

LOGFONTW logFontOf(const FontSpec& spec) {
    LOGFONTW lf = {};
    lf.lfHeight = spec.height;
    lf.lfWeight = spec.weight > 0 ? spec.weight : FW_NORMAL;
    lf.lfItalic = spec.italic ? TRUE : FALSE;
    lf.lfUnderline = spec.underline ? TRUE : FALSE;
    lf.lfStrikeOut = spec.strikeOut ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = ANTIALIASED_QUALITY;
    std::u16string face = spec.face;
    if (spec.vertical) {
        lf.lfEscapement = lf.lfOrientation = kVerticalEscapement;
        if (face.empty() || face[0] != u'@') face.insert(face.begin(), u'@');
    }
    const size_t n = std::min<size_t>(face.size(), kFaceUnits);
    std::memcpy(lf.lfFaceName, face.data(), n * sizeof(wchar_t));
    return lf;
}

std::unique_ptr<Font> GdiTextRenderer::createFont(const FontSpec& spec) {
    const LOGFONTW lf = logFontOf(spec);
    FontHandle font(CreateFontIndirectW(&lf));
    if (!font) return nullptr;
    return std::make_unique<GdiFont>(spec, std::move(font));
}

bool GdiTextRenderer::hasFace(std::u16string_view face) {
    if (face.empty() || face.size() > kFaceUnits) return false;
    LOGFONTW lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    std::memcpy(lf.lfFaceName, face.data(), face.size() * sizeof(wchar_t));
    DcHandle dc(CreateCompatibleDC(nullptr));
    bool found = false;
    if (dc) EnumFontFamiliesExW(dc.get(), &lf, faceFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

}  // namespace zv::ui::win32
