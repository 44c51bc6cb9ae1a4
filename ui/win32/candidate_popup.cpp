#include "ui/win32/candidate_popup.h"

#include "ui/paint.h"

#include <windowsx.h>

namespace zv::ui::win32 {

void CandidatePopup::show(const CandidateShow& s, HWND owner) {
    const LayoutInput in{s.view, s.options, s.skin.info, s.skin.images, s.fonts};
    state_ = CandidateWindowState{};
    layoutCandidateWindow(state_, in);
    if (!state_.showable() || s.options.hideCandidates() || !window_.create(module_, kCandidateClass, owner, *this)) {
        window_.hide();
        return;
    }
    PlacementInput place;
    place.layout = s.options.layout();
    place.mode = s.options.position();
    place.rightToLeft = s.options.rightToLeft();
    place.caret = s.caret;
    readPlacementSettings(place, s.settings, s.skin.info, s.options);
    place.workArea = workAreaAt(placementReference(place));
    place.candidates = Size{state_.width, state_.height};
    const Placement p = placeWindows(place);
    storePlacement(place, p, s.settings);
    state_.position = p.candidates;
    images_ = &s.skin.images;
    fonts_ = &s.fonts;
    settings_ = s.settings;
    paintCandidateWindow(state_, *images_, *fonts_, picture_);
    window_.show(picture_, state_.position);
}

void CandidatePopup::repaint() {
    if (!images_ || !fonts_ || !window_.visible()) return;
    paintCandidateWindow(state_, *images_, *fonts_, picture_);
    window_.show(picture_, state_.position);
}

LRESULT CandidatePopup::message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MouseEvent e;
    switch (message) {
    case WM_MOUSEMOVE: e.kind = MouseEvent::Move; break;
    case WM_LBUTTONDOWN: e.kind = MouseEvent::LeftDown; break;
    case WM_LBUTTONUP: e.kind = MouseEvent::LeftUp; break;
    case WM_RBUTTONDOWN: e.kind = MouseEvent::RightDown; break;
    case WM_SETCURSOR: SetCursor(LoadCursorW(nullptr, IDC_ARROW)); return TRUE;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
    e.at = Point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    POINT screen{e.at.x, e.at.y};
    ClientToScreen(window, &screen);
    e.screen = Point{screen.x, screen.y};
    e.leftHeld = (wParam & MK_LBUTTON) != 0;
    e.workArea = workAreaAt(e.screen);
    if (e.kind == MouseEvent::LeftDown) SetCapture(window);
    const MouseOutcome out = candidateMouse(state_, e, settings_);
    if (out.releaseCapture || e.kind == MouseEvent::LeftUp) {
        if (GetCapture() == window) ReleaseCapture();
    }
    if (out.moveTo) {
        state_.position = *out.moveTo;
        window_.move(state_.position);
    }
    if (out.repaint) repaint();
    if (out.request == MouseRequest::Command) host_.command(out.command, out.argument);
    else if (out.request != MouseRequest::None) host_.menu(out.request, out.argument, e.screen, window);
    return 0;
}

}  // namespace zv::ui::win32
