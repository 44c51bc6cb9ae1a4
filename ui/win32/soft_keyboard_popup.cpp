#include "ui/win32/soft_keyboard_popup.h"

#include "ui/win32/bitmap_resource.h"
#include "ui/win32/popup_mouse.h"

#include <vector>

namespace zv::ui::win32 {

namespace {

// The faces of the keys and of the title line, at the keyboard's size.
constexpr int32_t kKeyTextHeight = -12;

// Keys typed from the soft keyboard are the user's: they carry no mark of
// the engine's own key sender, so the input method acts on them.
void typeKeys(const std::vector<platform::KeyEvent>& events) {
    std::vector<INPUT> inputs;
    for (const platform::KeyEvent& e : events) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = e.virtualKey;
        in.ki.wScan = e.scan ? e.scan : static_cast<WORD>(MapVirtualKeyW(e.virtualKey, MAPVK_VK_TO_VSC));
        in.ki.dwFlags = (e.up ? KEYEVENTF_KEYUP : 0) | (e.extended ? KEYEVENTF_EXTENDEDKEY : 0);
        inputs.push_back(in);
    }
    if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

bool SoftKeyboardPopup::ensurePicture() {
    if (!keyboard_.empty() && keyFont_ && titleFont_) return true;
    if (background_) keyboard_ = bitmapResource(module_, background_);
    if (keyboard_.width != SoftKeyboardWidth || keyboard_.height != SoftKeyboardHeight)
        keyboard_ = softKeyboardPicture(text_);
    FontSpec keys;
    keys.face = u"Calibri";
    keys.height = kKeyTextHeight;
    FontSpec title;
    title.face = u"宋体";
    title.height = kKeyTextHeight;
    keyFont_ = text_.createFont(keys);
    titleFont_ = text_.createFont(title);
    return !keyboard_.empty() && keyFont_ && titleFont_;
}

void SoftKeyboardPopup::show(int layout, SkinSettings settings, const Rect* statusBar, HWND owner) {
    if (layout <= 0 || !ensurePicture() || !window_.create(module_, kSoftKeyboardClass, owner, *this)) {
        hide();
        return;
    }
    settings_ = settings;
    state_.layout = layout;
    state_.lastLayout = layout;
    if (!placed_) {
        state_.position = softKeyboardWindowPosition(settings, workAreaAt(Point{0, 0}), statusBar);
        placed_ = true;
    }
    repaint();
}

void SoftKeyboardPopup::repaint() {
    if (!keyFont_ || !titleFont_ || state_.layout <= 0) return;
    paintSoftKeyboard(state_, keyboard_, *keyFont_, *titleFont_, picture_);
    window_.show(picture_, state_.position);
}

LRESULT SoftKeyboardPopup::message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETCURSOR) return arrowCursor();
    const std::optional<MouseEvent> event = mouseEventOf(window, message, wParam, lParam);
    if (!event) return DefWindowProcW(window, message, wParam, lParam);
    const MouseEvent& e = *event;
    releaseCaptureAfter(window, e, false);
    const SoftKeyboardOutcome out = softKeyboardMouse(state_, e, settings_);
    if (out.moveTo) {
        state_.position = *out.moveTo;
        window_.move(state_.position);
    }
    if (out.repaint) repaint();
    typeKeys(out.keys);
    passRequest(host_, window, e, out.request, out.command, out.argument);
    return 0;
}

}  // namespace zv::ui::win32
