#include "ui/win32/status_popup.h"

#include "ui/win32/popup_mouse.h"

namespace zv::ui::win32 {

void StatusPopup::show(const UiView& view, const LoadedSkin& skin, SkinSettings settings, HWND owner) {
    view_ = view;
    const Rect primary = workAreaAt(Point{0, 0});
    const Rect stored = workAreaAt(storedStatusBarPosition(settings));
    state_ = StatusBarState{};
    layoutStatusBar(state_, skin.info, skin.images, view_, settings, primary, stored);
    if (!state_.exists() || !window_.create(module_, kStatusClass, owner, *this)) {
        window_.hide();
        return;
    }
    images_ = &skin.images;
    settings_ = settings;
    paintStatusBar(state_, *images_, picture_);
    window_.show(picture_, state_.position);
}

void StatusPopup::repaint() {
    if (!images_ || !window_.visible()) return;
    paintStatusBar(state_, *images_, picture_);
    window_.show(picture_, state_.position);
}

LRESULT StatusPopup::message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETCURSOR) return arrowCursor();
    const std::optional<MouseEvent> event = mouseEventOf(window, message, wParam, lParam);
    if (!event) return DefWindowProcW(window, message, wParam, lParam);
    const MouseEvent& e = *event;
    const MouseOutcome out = statusBarMouse(state_, e, view_, settings_);
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
