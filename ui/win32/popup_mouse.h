#pragma once
// A popup's mouse message as the portable window logic takes it: the point
// in the window and on the screen, the button held, the work area under
// the cursor. A button going down captures the mouse for the window.

#include "ui/candidate_window.h"

#include <windows.h>

#include <optional>

namespace zv::ui::win32 {

// Nothing for a message that is not a mouse event of the windows.
std::optional<MouseEvent> mouseEventOf(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// WM_SETCURSOR of the windows: the arrow.
LRESULT arrowCursor();

}  // namespace zv::ui::win32
