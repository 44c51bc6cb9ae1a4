#pragma once
// The soft keyboard: an on-screen keyboard with thirteen character layouts.
// Its picture and key rectangles are our own drawing; clicking a key sends
// that key to the system, so it reaches the engine like a typed key and is
// translated through the active layout.

#include "engine/config_store.h"
#include "engine/host_view.h"
#include "platform/services.h"
#include "ui/candidate_window.h"
#include "ui/image.h"
#include "ui/text.h"

#include <array>
#include <string_view>
#include <vector>

namespace zv::ui {

inline constexpr int SoftKeyRects = 92;
inline constexpr int32_t SoftKeyboardWidth = 440;
inline constexpr int32_t SoftKeyboardHeight = 169;

// Key indices with a meaning of their own.
inline constexpr int SoftKeyLeftShift = 41;
inline constexpr int SoftKeyRightShift = 60;
inline constexpr int SoftKeyMenu = 90;
inline constexpr int SoftKeyClose = 91;
// Hit-test results besides key indices.
inline constexpr int SoftKeyOutside = -2;
inline constexpr int SoftKeyNone = -1;

// The virtual key a click on key index 0..60 sends (0 for none).
uint8_t softKeyVirtualKey(int index);

// The rectangle of key index 0..91 (empty for indices without a key).
Rect softKeyRect(int index);
// -2 outside the keyboard, the first key index whose rectangle holds the
// point, else -1; the Ctrl and Alt keys count as outside.
int softKeyHitTest(int32_t x, int32_t y);

// Process-wide state of the soft keyboard.
struct SoftKeyboardState {
    int layout = 0;      // shown layout, 0 when off
    int lastLayout = 1;  // reopened by the toggle
    int hovered = SoftKeyNone, pressed = SoftKeyNone;
    bool stickyShift = false, stickyCtrl = false, stickyAlt = false;
    bool dragging = false, dragged = false;
    Point dragAnchor;
    Point position;
};

// Requests of setSoftKeyboard besides a layout number (0 or anything
// outside 1..13 switches it off).
inline constexpr int SoftKeyboardToggleRequest = -1;
inline constexpr int SoftKeyboardNextRequest = -2;

// Switches the soft keyboard: sets or clears mode bit 0x20 in `modes` and
// returns the layout now shown (0: off). The caller ends the composition,
// tells the engine the layout and creates or destroys the window.
int setSoftKeyboard(SoftKeyboardState& s, uint32_t& modes, int request);

// Where the window opens: the stored position, else the bottom right of the
// primary work area (x 0 when that would overlap a status bar).
Point softKeyboardWindowPosition(SkinSettings settings, const Rect& primaryArea, const Rect* statusBar);

// The keyboard picture without layout characters.
SkinImage softKeyboardPicture(TextRenderer& renderer);

// The whole window: picture, the layout's characters, hover and pressed
// outlines, a pressed Shift while it is sticky. Opaque.
void paintSoftKeyboard(const SoftKeyboardState& s, const SkinImage& picture, const Font& keyFont,
                       const Font& titleFont, Canvas& out);

struct SoftKeyboardOutcome {
    bool repaint = false;
    MouseRequest request = MouseRequest::None;  // SoftKeyboardMenu, or Command 513 to switch off
    int command = 0, argument = 0;
    std::vector<platform::KeyEvent> keys;       // to send to the system
    std::optional<Point> moveTo;
};

// Mouse on the soft keyboard (the event's RightDown stands for the right
// button coming up). A drag stores the position in the settings.
SoftKeyboardOutcome softKeyboardMouse(SoftKeyboardState& s, const MouseEvent& e, SkinSettings settings);

}  // namespace zv::ui
