#include "ui/win32/tip_popup.h"

#include "ui/win32/popup_mouse.h"

namespace zv::ui::win32 {

namespace {

constexpr UINT_PTR kTickTimer = 1;
// showTip's size for the mode indicator (font height -20).
constexpr int kModeTipSize = 0;

}  // namespace

void TipPopup::show(Point at, int size, std::u16string_view text, SkinSettings settings, HWND owner) {
    showTip(state_, text_, at.x, at.y, size, text);
    settings_ = settings;
    const bool fresh = !window_.handle();
    if (!window_.create(module_, kTipClass, owner, *this, PopupLayer::AboveOwner)) {
        state_.visible = false;
        return;
    }
    // The timer runs from the window's creation; a tip shown again while
    // it is up counts its ticks anew (showTip).
    if (fresh) SetTimer(window_.handle(), kTickTimer, TipTickMs, nullptr);
    repaint();
}

void TipPopup::close() {
    if (window_.handle()) KillTimer(window_.handle(), kTickTimer);
    window_.destroy();
    state_.visible = state_.hovering = state_.dragging = false;
}

void TipPopup::repaint() {
    paintTip(state_, picture_);
    if (!window_.show(picture_, state_.position)) close();
}

LRESULT TipPopup::message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETCURSOR: return arrowCursor();
    case WM_TIMER:
        if (wParam == kTickTimer && tipTick(state_)) close();
        return 0;
    case WM_MOUSELEAVE:
        // Leaving the tip starts its time again.
        state_.hovering = false;
        state_.ticks = 0;
        return 0;
    default: break;
    }
    const std::optional<MouseEvent> event = mouseEventOf(window, message, wParam, lParam);
    if (!event) return DefWindowProcW(window, message, wParam, lParam);
    const MouseEvent& e = *event;
    if (e.kind == MouseEvent::Move && !state_.hovering) {
        state_.hovering = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
        TrackMouseEvent(&track);
    }
    const MouseOutcome out = tipMouse(state_, e, settings_);
    releaseCaptureAfter(window, e, out.releaseCapture);
    if (out.moveTo) window_.move(*out.moveTo);
    passRequest(host_, window, e, out.request, out.command, out.argument);
    return 0;
}

void showModeTip(TipPopup& tip, ModeTipTracker& shown, ModeTip state, Point caret, SkinSettings settings,
                 HWND owner) {
    const std::optional<std::u16string_view> text = shown.next(state);
    if (!text) return;
    tip.show(modeTipPosition(caret, workAreaAt(caret)), kModeTipSize, *text, settings, owner);
}

}  // namespace zv::ui::win32
