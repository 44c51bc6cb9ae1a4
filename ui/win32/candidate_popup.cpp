#include "ui/win32/candidate_popup.h"

#include "ui/paint.h"
#include "ui/win32/popup_mouse.h"


namespace zv::ui::win32 {

void CandidatePopup::show(const CandidateShow& s, HWND owner) {
    const LayoutInput in{s.view, s.options, s.skin.info, s.skin.images, s.fonts};
    state_ = CandidateWindowState{};
    compositionState_ = CompositionWindowState{};
    layoutCandidateWindow(state_, in);
    layoutCompositionWindow(compositionState_, in);
    const bool candidates = state_.showable() && !s.options.hideCandidates() &&
                            window_.create(module_, kCandidateClass, owner, *this);
    const bool composition = compositionState_.showable() &&
                             composition_.create(module_, kCompositionClass, owner, compositionHandler_);
    if (!candidates) window_.hide();
    if (!composition) composition_.hide();
    if (!candidates && !composition) return;
    PlacementInput place;
    place.layout = s.options.layout();
    place.mode = s.options.position();
    place.rightToLeft = s.options.rightToLeft();
    place.caret = s.caret;
    readPlacementSettings(place, s.settings, s.skin.info, s.options);
    place.workArea = workAreaAt(placementReference(place));
    // Placement works with the sizes the windows take on the screen.
    const int percent = scalePercentAt(Point{s.caret.x, s.caret.y});
    auto scaled = [percent](int32_t side) { return side * percent / 100; };
    place.candidates = candidates ? Size{scaled(state_.width), scaled(state_.height)} : Size{};
    place.composition =
        composition ? Size{scaled(compositionState_.width), scaled(compositionState_.height)} : Size{};
    const Placement p = placeWindows(place);
    storePlacement(place, p, s.settings);
    state_.position = p.candidates;
    compositionState_.position = p.composition;
    images_ = &s.skin.images;
    fonts_ = &s.fonts;
    settings_ = s.settings;
    if (composition) {
        paintCompositionWindow(compositionState_, *fonts_, compositionPicture_);
        composition_.show(compositionPicture_, compositionState_.position, &compositionState_.background);
    }
    if (candidates) {
        paintCandidateWindow(state_, *images_, *fonts_, picture_);
        window_.show(picture_, state_.position, &state_.background);
    }
}

LRESULT CandidatePopup::compositionMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETCURSOR) return arrowCursor();
    const std::optional<MouseEvent> e = mouseEventOf(window, message, wParam, lParam);
    if (!e) return DefWindowProcW(window, message, wParam, lParam);
    const MouseOutcome out = compositionMouse(compositionState_, *e, settings_);
    releaseCaptureAfter(window, *e, out.releaseCapture);
    if (out.moveTo) {
        compositionState_.position = *out.moveTo;
        composition_.move(compositionState_.position);
    }
    passRequest(host_, window, *e, out.request, out.command, out.argument);
    return 0;
}

void CandidatePopup::repaint() {
    if (!images_ || !fonts_ || !window_.visible()) return;
    paintCandidateWindow(state_, *images_, *fonts_, picture_);
    window_.show(picture_, state_.position, &state_.background);
}

LRESULT CandidatePopup::message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETCURSOR) return arrowCursor();
    const std::optional<MouseEvent> event = mouseEventOf(window, message, wParam, lParam);
    if (!event) return DefWindowProcW(window, message, wParam, lParam);
    const MouseEvent& e = *event;
    const MouseOutcome out = candidateMouse(state_, e, settings_);
    releaseCaptureAfter(window, e, out.releaseCapture);
    if (out.moveTo) {
        state_.position = *out.moveTo;
        window_.move(state_.position);
    }
    if (out.repaint) repaint();
    passRequest(host_, window, e, out.request, out.command, out.argument);
    return 0;
}

}  // namespace zv::ui::win32
