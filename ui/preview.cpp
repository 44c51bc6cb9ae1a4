#include "ui/preview.h"

#include "ui/paint.h"

#include <algorithm>
#include <climits>

namespace zv::ui {

void drawWindow(SkinImage& backdrop, const Canvas& window, Point at) {
    for (int32_t y = 0; y < window.height; ++y) {
        for (int32_t x = 0; x < window.width; ++x) {
            const int32_t bx = at.x + x, by = at.y + y;
            if (bx < 0 || by < 0 || bx >= backdrop.width || by >= backdrop.height) continue;
            const uint32_t s = window.at(x, y);
            uint32_t& d = backdrop.at(bx, by);
            const uint32_t inv = 255 - alphaOf(s);
            auto over = [inv](uint8_t sc, uint8_t dc) {
                return static_cast<uint8_t>(std::min<uint32_t>(255, sc + (dc * inv + 127) / 255));
            };
            d = pixel(over(blueOf(s), blueOf(d)), over(greenOf(s), greenOf(d)), over(redOf(s), redOf(d)), 255);
        }
    }
}

SkinImage pictureOfCandidateWindows(const LayoutInput& in, PlacementInput place, Rgba backdrop, int hoverId,
                                    int32_t margin) {
    CandidateWindowState cand;
    CompositionWindowState comp;
    layoutCandidateWindow(cand, in);
    layoutCompositionWindow(comp, in);
    if (!cand.showable() && !comp.showable()) return {};
    for (CandidateSlot& slot : cand.slots)
        for (DisplayPart* part : {&slot.label, &slot.text, &slot.tip})
            if (part->id == hoverId && part->state == StateNormal) part->state = StateHover;

    place.candidates = cand.showable() ? Size{cand.width, cand.height} : Size{};
    place.composition = comp.showable() ? Size{comp.width, comp.height} : Size{};
    const Placement p = placeWindows(place);

    // The picture frames the windows that show, wherever placement put them.
    Rect frame{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    auto include = [&frame](Point at, int32_t width, int32_t height) {
        frame.left = std::min(frame.left, at.x);
        frame.top = std::min(frame.top, at.y);
        frame.right = std::max(frame.right, at.x + width);
        frame.bottom = std::max(frame.bottom, at.y + height);
    };
    if (cand.showable()) include(p.candidates, cand.width, cand.height);
    if (comp.showable()) include(p.composition, comp.width, comp.height);

    Canvas candPicture, compPicture;
    paintCandidateWindow(cand, in.images, in.fonts, candPicture);
    paintCompositionWindow(comp, in.fonts, compPicture);
    SkinImage out = blankImage(frame.right - frame.left + 2 * margin, frame.bottom - frame.top + 2 * margin, backdrop);
    auto at = [&](Point q) { return Point{q.x - frame.left + margin, q.y - frame.top + margin}; };
    if (comp.showable()) drawWindow(out, compPicture, at(p.composition));
    if (cand.showable()) drawWindow(out, candPicture, at(p.candidates));
    return out;
}

SkinImage previewCandidateWindows(const LoadedSkin& skin, TextRenderer& renderer, const UiView& view,
                                  const UiOptions& options, Rgba backdrop, int hoverId, int32_t margin) {
    const UiFonts fonts = createUiFonts(renderer, skin.info.text, options.skin, nullptr,
                                        options.listStyle() == ListStyle::Columns);
    PlacementInput place;
    readPlacementSettings(place, SkinSettings{}, skin.info, options);
    place.mode = PositionMode::FollowCaret;
    place.caret = {0, -21, 21};
    place.workArea = {0, 0, 4096, 4096};
    return pictureOfCandidateWindows({view, options, skin.info, skin.images, fonts}, place, backdrop, hoverId, margin);
}

SkinImage previewStatusBar(const LoadedSkin& skin, const UiView& view, int id, int state, Rgba backdrop,
                           int32_t margin) {
    StatusBarState bar;
    const Rect area{0, 0, 1920, 1040};
    layoutStatusBar(bar, skin.info, skin.images, view, SkinSettings{}, area, area);
    if (!bar.exists()) return {};
    for (WindowButton& b : bar.buttons)
        if (b.id == id && b.shown()) b.state = state;
    Canvas picture;
    paintStatusBar(bar, skin.images, picture);
    SkinImage out = blankImage(bar.width + 2 * margin, bar.height + 2 * margin, backdrop);
    drawWindow(out, picture, {margin, margin});
    return out;
}

UiView samplePage() {
    UiView v;
    v.display = u"wq";
    v.cursor = 2;
    const char16_t* texts[] = {u"你", u"你们", u"你好", u"您", u"你的"};
    const char16_t* hints[] = {u"iy", u"wu", u"vb", u"iu", u"rq"};
    for (int i = 0; i < 5; ++i) v.items.push_back({texts[i], hints[i]});
    v.lastPage = false;
    v.candidateCount = 12;
    return v;
}

SkinImage previewSoftKeyboard(TextRenderer& renderer, const SoftKeyboardState& state) {
    const SkinImage picture = softKeyboardPicture(renderer);
    FontSpec keys;
    keys.face = u"Calibri";
    keys.height = -12;
    FontSpec title;
    title.face = u"宋体";
    title.height = -12;
    auto keyFont = renderer.createFont(keys);
    auto titleFont = renderer.createFont(title);
    Canvas out;
    if (keyFont && titleFont) paintSoftKeyboard(state, picture, *keyFont, *titleFont, out);
    return out;
}

}  // namespace zv::ui
