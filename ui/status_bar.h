#pragma once
// The status bar: a skinned strip of mode buttons (Chinese/English, full or
// half width, punctuation, soft keyboard, menu), its place on the screen,
// its picture and its mouse.

#include "engine/config_store.h"
#include "ui/candidate_window.h"
#include "ui/skin.h"
#include "ui/ui_view.h"

#include <array>

namespace zv::ui {

enum class StatusButton { Logo, ChineseEnglish, Width, Punctuation, SoftKeyboard, Menu, Extension1, Extension2, Count };

struct StatusBarState {
    int32_t width = 0, height = 0;  // 0: no status bar (the skin has no "bar.png")
    SkinImage background;           // "bar.png", premultiplied
    Point position;
    std::array<WindowButton, static_cast<size_t>(StatusButton::Count)> buttons;
    int pressedId = IdOutside, hoverId = IdOutside;
    bool dragging = false;
    Point dragAnchor;

    bool exists() const { return width > 0 && height > 0; }
    WindowButton& button(StatusButton b) { return buttons[static_cast<size_t>(b)]; }
    const WindowButton& button(StatusButton b) const { return buttons[static_cast<size_t>(b)]; }
};

// The stored position of the bar, whose monitor's work area layoutStatusBar
// wants as `storedArea`.
Point storedStatusBarPosition(SkinSettings settings);

// Sizes the bar from "bar.png", places and picks the buttons for the modes,
// and positions the bar: the stored position, else the skin's default place
// on the primary work area; kept inside the work area. The result is stored
// in the settings. Run again after a mode change: the buttons' images (and
// sizes) follow the modes.
void layoutStatusBar(StatusBarState& bar, const SkinInfo& skin, const SkinImages& images, const UiView& view,
                     SkinSettings settings, const Rect& primaryArea, const Rect& storedArea);

void paintStatusBar(const StatusBarState& bar, const SkinImages& images, Canvas& out);

int hitTest(const StatusBarState& bar, int32_t x, int32_t y);

MouseOutcome statusBarMouse(StatusBarState& bar, const MouseEvent& e, const UiView& view, SkinSettings settings);

}  // namespace zv::ui
