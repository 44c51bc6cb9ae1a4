#pragma once
// The text service's own windows: the candidate window (with the
// composition box in the classic style) and the mode indicators. They never
// take the focus.

#include "ui/menus.h"

#include <windows.h>

#include <memory>

namespace zv::tsf {

class TextService;

struct ServiceWindows {
    ServiceWindows(TextService& service, bool immersive);
    ~ServiceWindows();
    ServiceWindows(const ServiceWindows&) = delete;
    ServiceWindows& operator=(const ServiceWindows&) = delete;

    // Shows the page as the engine has it now, below `caret` (screen
    // coordinates) when one is known; hides it when there is nothing.
    void refresh(bool own, const RECT& caret, bool haveCaret, HWND owner);
    void hideCandidates();
    void hideAll();
    void showIndicators();
    // A document gained the focus: a skin chosen meanwhile is taken.
    void focusGained();
    void hideModeTip();
    // Carries out what a menu item asks (the language bar's menus).
    void runMenuAction(const ui::MenuAction& action);
    // The main menu at a point on the screen (the language bar's button).
    void openMainMenu(POINT screen, HWND owner);
    // A menu of these windows is open (its message loop runs).
    bool inMenu() const;
    // The candidate window, when one exists (for the tests of placement).
    HWND candidateWindow() const;

    struct State;
    std::unique_ptr<State> state;
};

}  // namespace zv::tsf
