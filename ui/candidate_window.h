#pragma once
// The candidate window (which in the merged layout also shows the
// composition) and the separate composition box: display items, layout on
// the skin's geometry, hit testing and the mouse, as functions over the
// window state. The Windows layer only creates the windows, feeds them
// mouse messages and pushes the painted pixels.

#include "ui/skin.h"
#include "ui/ui_view.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace zv::ui {

// Hit-test results and part ids shared by the windows.
enum PartId : int {
    IdOutside = -1,
    IdEmpty = 0,
    IdComposition = 1,
    IdFirstCandidate = 2,  // slot k is 2 + k
    IdLastCandidate = 11,
    IdPreviousPage = 12,
    IdNextPage = 13,
    IdWidth = 14,
    IdPunctuation = 15,
    IdMenu = 16,
    IdLogo = 17,
    IdSoftKeyboard = 18,
    IdChineseEnglish = 19,
    IdExtension1 = 20,
    IdExtension2 = 21,
};

inline constexpr int32_t MaxWindowSide = 4096;
inline constexpr size_t MaxPartText = 128;

// One drawable text of a window.
struct DisplayPart {
    int32_t x = 0, y = 0, width = 0, height = 0;
    int state = StateHidden;
    int id = 0;
    std::u16string text;
    int32_t xOffset = 0;
    std::array<Colour, 4> colour{};                    // per state 0..3
    std::array<Colour, 4> background{-1, -1, -1, -1};  // below 0: none
    bool visible() const { return state != StateHidden; }
};

struct CandidateSlot {
    DisplayPart label, text, tip;
};

struct WindowButton {
    int32_t x = 0, y = 0, width = 0, height = 0;
    int state = StateHidden;
    int id = 0;
    ButtonKind image = ButtonKind::Menu;
    ButtonRule rule = ButtonRule::Mode;
    bool shown() const { return state != StateHidden; }
};

enum class CandidateButton { PreviousPage, NextPage, Width, Punctuation, Menu, Extension1, Extension2, Count };

struct CandidateWindowState {
    int32_t width = 0, height = 0;
    DisplayPart composition;
    std::array<CandidateSlot, 10> slots;
    std::array<WindowButton, static_cast<size_t>(CandidateButton::Count)> buttons;
    int pressedId = IdOutside, hoverId = IdOutside;
    bool dragging = false;
    Point dragAnchor;
    SkinImage background;  // stretched to the window size, premultiplied; empty: nothing to show
    LayoutSection section = LayoutSection::Merged;
    bool highlightLeftOut = false;  // the highlighted candidate is shown inline, not in the list
    int highlight = 0;
    Point position;  // on the screen, from placement or dragging

    WindowButton& button(CandidateButton b) { return buttons[static_cast<size_t>(b)]; }
    const WindowButton& button(CandidateButton b) const { return buttons[static_cast<size_t>(b)]; }
    bool showable() const { return !background.empty(); }
};

struct CompositionWindowState {
    int32_t width = 0, height = 0;
    Point textOrigin;
    TextSize textSize;
    int32_t caretOffset = 0;
    std::u16string text;  // the visible part of the display string
    int caretIndex = 0;
    CaretStyle caret = CaretStyle::None;
    int32_t caretWidth = 0;  // the room the caret takes: 2 (1 with 光标宽度=1) for 竖线, 6 for 横线
    Colour colour = 0, caretColour = 0;
    bool dragging = false;
    Point dragAnchor;
    SkinImage background;  // stretched, premultiplied
    Point position;
    bool showable() const { return !background.empty(); }
};

// Everything a layout reads.
struct LayoutInput {
    const UiView& view;
    const UiOptions& options;
    const SkinInfo& skin;
    const SkinImages& images;
    const UiFonts& fonts;
};

// The section whose geometry the candidate window uses now.
LayoutSection candidateSection(const UiOptions& o);

// Fills the composition part and the ten slots (texts, sizes, colours); the
// positions are the layout's.
void buildDisplayItems(CandidateWindowState& w, const LayoutInput& in);

// Sizes the candidate window, places its parts and buttons and stretches its
// background. An empty background means the window is not shown.
void layoutCandidateWindow(CandidateWindowState& w, const LayoutInput& in);

// The composition box of the separate layouts.
void layoutCompositionWindow(CompositionWindowState& w, const LayoutInput& in);

// The id under a point in window coordinates: -1 outside, 0 empty area.
int hitTest(const CandidateWindowState& w, int32_t x, int32_t y);

// What a mouse event asks of the host.
enum class MouseRequest { None, Command, MainMenu, CandidateMenu, SoftKeyboardMenu, ModeMenu };

struct MouseEvent {
    enum Kind { Move, LeftDown, LeftUp, RightDown } kind = Move;
    Point at;              // window coordinates (as laid out, at 96 dots per inch)
    Point screen;          // the cursor on the screen
    bool leftHeld = false; // for moves
    Rect workArea;         // of the monitor under the cursor
    int scale = 100;       // percent the window is drawn at on that monitor
};

// A length of the window's layout as the screen shows it.
inline int32_t drawnSize(const MouseEvent& e, int32_t length) { return length * e.scale / 100; }
// Where a drag puts a window that was taken at `anchor` (window
// coordinates): the cursor less the anchor as drawn.
inline Point dragOrigin(const MouseEvent& e, Point anchor) {
    return {e.screen.x - drawnSize(e, anchor.x), e.screen.y - drawnSize(e, anchor.y)};
}

struct MouseOutcome {
    bool repaint = false;
    bool releaseCapture = false;
    MouseRequest request = MouseRequest::None;
    int command = 0;       // the uiCommand code with request Command
    int argument = 0;      // its argument, or the slot for the candidate menu
    std::optional<Point> moveTo;  // a new window position on the screen
};

// The candidate window's mouse. A drag stores the position as both the
// remembered and the current candidate position in the settings.
MouseOutcome candidateMouse(CandidateWindowState& w, const MouseEvent& e, SkinSettings settings);
// The composition box: left-drag moves it (stored as the remembered
// composition position), the right button asks for the main menu.
MouseOutcome compositionMouse(CompositionWindowState& w, const MouseEvent& e, SkinSettings settings);

// A window position kept at least one pixel inside a work area on every side.
Point keepInside(Point p, int32_t width, int32_t height, const Rect& area);

}  // namespace zv::ui
