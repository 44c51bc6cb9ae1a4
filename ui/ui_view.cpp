#include "ui/ui_view.h"

#include <algorithm>

namespace zv::ui {

WindowLayout UiOptions::layout() const {
    if (skin & SkinSettings::LayoutMerged) return WindowLayout::Merged;
    if (skin & SkinSettings::LayoutRight) return WindowLayout::SeparateRight;
    return WindowLayout::SeparateBelow;
}

ListStyle UiOptions::listStyle() const {
    if (skin & SkinSettings::LayoutHorizontal) return ListStyle::Horizontal;
    if (skin & SkinSettings::LayoutLeftColumns) return ListStyle::Columns;
    return ListStyle::Vertical;
}

CaretStyle UiOptions::caret() const {
    if (skin & SkinSettings::CaretBar) return CaretStyle::Bar;
    if (skin & SkinSettings::CaretLine) return CaretStyle::Line;
    return CaretStyle::None;
}

PositionMode UiOptions::position() const {
    switch (imeA & ImeSettings::A_CandidatePosMask) {
    case ImeSettings::A_CandidatePosFixed: return PositionMode::Fixed;
    case ImeSettings::A_CandidatePosStatusBar: return PositionMode::FollowStatusBar;
    default: return PositionMode::FollowCaret;
    }
}

UiOptions uiOptions(const SettingsBlocks& blocks, bool textService) {
    UiOptions o;
    if (blocks.skin) o.skin = blocks.skin.option();
    if (blocks.ime) {
        o.imeA = blocks.ime.a();
        o.imeC = blocks.ime.c();
    }
    o.textService = textService;
    return o;
}

SkinFont customFont(SkinSettings settings) {
    constexpr size_t base = SkinSettings::CustomFont;
    SkinFont f;
    f.colour = static_cast<Colour>(settings.u32(base));
    f.face = settings.text(base + 4, 40);
    f.height = settings.i32(base + 84);
    f.weight = settings.i32(base + 88);
    f.italic = settings.u8(base + 92);
    f.underline = settings.u8(base + 93);
    f.strikeOut = settings.u8(base + 94);
    return f;
}

namespace {

// Glyphs larger than this would only make the text renderer allocate.
constexpr int32_t MaxFontHeight = 256;

FontSpec specOf(const SkinFont& f, int32_t factor) {
    FontSpec s;
    s.face = f.face;
    s.height = std::clamp(f.height, -MaxFontHeight, MaxFontHeight) * factor;
    s.weight = std::clamp(f.weight, 0, 1000);
    s.italic = f.italic != 0;
    s.underline = f.underline != 0;
    s.strikeOut = f.strikeOut != 0;
    return s;
}

}  // namespace

UiFonts createUiFonts(TextRenderer& renderer, const SkinTextStyle& style, uint32_t skinWord, const SkinFont* custom,
                      bool columns) {
    const bool useCustom = custom && (skinWord & SkinSettings::CustomFontAll);
    int32_t factor = 1;
    if (skinWord & SkinSettings::FontTriple) factor = 3;
    else if (skinWord & SkinSettings::FontDouble) factor = 2;
    auto spec = [&](const SkinFont& f) { return useCustom ? specOf(*custom, 1) : specOf(f, factor); };
    UiFonts fonts;
    fonts.composition = renderer.createFont(spec(style.composition));
    FontSpec candidate = spec(style.candidate);
    if (columns) {
        candidate.vertical = true;
        // A vertical face ("@" + name) keeps CJK characters upright.
        std::u16string at = u"@" + candidate.face;
        if (renderer.hasFace(at)) candidate.face = at;
    }
    fonts.candidate = renderer.createFont(candidate);
    fonts.tip = renderer.createFont(spec(style.tip));
    fonts.label = renderer.createFont(spec(style.label));
    return fonts;
}

UiFonts createUiFonts(TextRenderer& renderer, const SkinTextStyle& style, SkinSettings settings, bool columns) {
    SkinFont custom = customFont(settings);
    return createUiFonts(renderer, style, settings.option(), &custom, columns);
}

}  // namespace zv::ui
