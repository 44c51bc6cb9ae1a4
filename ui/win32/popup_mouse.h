#pragma once
// A popup's mouse message as the portable window logic takes it: the point
// in the window and on the screen, the button held, the work area under
// the cursor. A button going down captures the mouse for the window.

#include "ui/candidate_window.h"
#include "ui/win32/popup_host.h"

#include <windows.h>

#include <optional>

namespace zv::ui::win32 {

// Nothing for a message that is not a mouse event of the windows.
std::optional<MouseEvent> mouseEventOf(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// WM_SETCURSOR of the windows: the arrow.
LRESULT arrowCursor();

// Gives the capture back when the portable logic says so, or the button
// came up.
void releaseCaptureAfter(HWND window, const MouseEvent& e, bool release);
// Hands what a click asks to the host: a command, or a menu at the cursor.
void passRequest(PopupHost& host, HWND window, const MouseEvent& e, MouseRequest request, int command, int argument);

}  // namespace zv::ui::win32
