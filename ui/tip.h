#pragma once
// The tip window: a small self-closing label, used for the mode indicator
// (中, 英, A, 禁, 关) after mode and focus changes.

#include "engine/config_store.h"
#include "ui/candidate_window.h"
#include "ui/image.h"
#include "ui/skin.h"
#include "ui/text.h"

#include <memory>
#include <optional>
#include <string>

namespace zv::ui {

inline constexpr size_t MaxTipText = 127;
// The tip hides on the sixth tick of its 500 ms timer.
inline constexpr int TipTicks = 6;
inline constexpr int TipTickMs = 500;

struct TipState {
    std::u16string text;
    std::unique_ptr<Font> font;
    Point position;
    int32_t width = 0, height = 0;
    int ticks = 0;
    bool visible = false;
    bool hovering = false;  // the timer stands still while the cursor is over the tip
    bool dragging = false;
    Point dragAnchor;
};

// Font height of a tip size: 1 gives -14, 2 gives -12, anything else -20.
int32_t tipFontHeight(int size);

// Shows a tip at (x, y): copies the text (at most 127 units), makes the
// font ("宋体", weight 400) and sizes the window to the text plus (20, 10).
void showTip(TipState& tip, TextRenderer& renderer, int32_t x, int32_t y, int size, std::u16string_view text);

// One timer tick; true when the tip is to hide and be destroyed now.
bool tipTick(TipState& tip);

// Left-dragging moves the tip inside the work area and stores the place as
// the status-bar position; the right button asks for the mode menu. The
// host sets `hovering` while the cursor is over the tip.
MouseOutcome tipMouse(TipState& tip, const MouseEvent& e, SkinSettings settings);

// White background, a grey one-pixel outline and the text centred. Opaque.
void paintTip(const TipState& tip, Canvas& out);

// The mode indicator.
enum class ModeTip { Chinese = 0, EnglishWords = 1, CapsLock = 2, Disabled = 3, Closed = 4 };

// Brings mode bits 0x8 (keyboard disabled) and 0x4 (English mode) in line
// with the host's keyboard state.
uint32_t syncModesWithKeyboard(uint32_t modes, bool keyboardDisabled, bool keyboardOpen);
ModeTip modeTipFor(uint32_t modes, bool keyboardDisabled, bool keyboardOpen, bool capsLock);
std::u16string_view modeTipText(ModeTip t);
// Where the indicator goes: below right of the caret, kept on the work area.
Point modeTipPosition(Point caret, const Rect& workArea);

// Remembers the indicator shown last, so that only a change is shown.
struct ModeTipTracker {
    int last = -1;
    // The text to show, or nothing when the state did not change.
    std::optional<std::u16string_view> next(ModeTip t);
};

}  // namespace zv::ui
