#pragma once
// The tip window on Windows: the portable tip (a small self-closing label,
// the mode indicator) in a popup above its owner that never takes the
// focus. It closes itself on the sixth tick of its timer unless the cursor
// rests on it; it can be dragged, and its right button asks for the mode
// menu.

#include "ui/tip.h"
#include "ui/win32/popup_host.h"
#include "ui/win32/popup_window.h"

#include <string_view>

namespace zv::ui::win32 {

class TipPopup : private PopupHandler {
public:
    TipPopup(HINSTANCE module, PopupHost& host, TextRenderer& text) : module_(module), host_(host), text_(text) {}

    // Shows a text at a screen position (size as showTip takes it); drags
    // store the position in the settings.
    void show(Point at, int size, std::u16string_view text, SkinSettings settings, HWND owner);
    // Hides and destroys the window (a key was typed, the time is up).
    void close();
    bool visible() const { return window_.visible(); }
    HWND handle() const { return window_.handle(); }
    const TipState& state() const { return state_; }

private:
    LRESULT message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void repaint();

    HINSTANCE module_;
    PopupHost& host_;
    TextRenderer& text_;
    PopupWindow window_;
    TipState state_;
    Canvas picture_;
    SkinSettings settings_;
};

// The mode indicator below the caret (on the screen), shown only when its
// state differs from the one the tracker saw last.
void showModeTip(TipPopup& tip, ModeTipTracker& shown, ModeTip state, Point caret, SkinSettings settings,
                 HWND owner);

}  // namespace zv::ui::win32
