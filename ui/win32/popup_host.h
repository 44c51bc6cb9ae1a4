#pragma once
// What the windows ask of the input method they belong to: the commands of
// their buttons and clicks, and the menus they open.

#include "ui/candidate_window.h"

#include <windows.h>

namespace zv::ui::win32 {

class PopupHost {
public:
    virtual ~PopupHost() = default;
    // An engine command (uiCommand, or a setMode command) from a click.
    virtual void command(int command, int argument) = 0;
    // A menu a window asks for, at a point on the screen; owner is the
    // window that asks.
    virtual void menu(MouseRequest which, int argument, Point screen, HWND owner) = 0;
};

}  // namespace zv::ui::win32
