#pragma once
// The soft keyboard on Windows: the portable keyboard picture in a layered
// popup that never takes the focus; a click on a key types that key into
// the application as the keyboard would (so that the input method turns it
// into the layout's character).

#include "ui/soft_keyboard.h"
#include "ui/win32/popup_host.h"
#include "ui/win32/popup_window.h"

#include <memory>

namespace zv::ui::win32 {

class SoftKeyboardPopup : private PopupHandler {
public:
    // The keyboard's picture is the module's bitmap resource `background`
    // when it has one of the keyboard's size, else it is drawn here.
    SoftKeyboardPopup(HINSTANCE module, PopupHost& host, TextRenderer& text, int background = 0)
        : module_(module), host_(host), text_(text), background_(background) {}

    // Shows the layout (1..13) where the settings keep the keyboard, or
    // beside the status bar.
    void show(int layout, SkinSettings settings, const Rect* statusBar, HWND owner);
    void hide() { window_.hide(); }
    bool visible() const { return window_.visible(); }
    HWND handle() const { return window_.handle(); }

private:
    LRESULT message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void repaint();
    bool ensurePicture();

    HINSTANCE module_;
    PopupHost& host_;
    TextRenderer& text_;
    int background_;
    PopupWindow window_;
    SoftKeyboardState state_;
    SkinImage keyboard_;
    std::unique_ptr<Font> keyFont_, titleFont_;
    Canvas picture_;
    SkinSettings settings_;
    bool placed_ = false;
};

}  // namespace zv::ui::win32
