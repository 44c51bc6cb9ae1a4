#include "ui/win32/popup_mouse.h"

#include "ui/win32/popup_window.h"

#include <windowsx.h>

namespace zv::ui::win32 {

std::optional<MouseEvent> mouseEventOf(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MouseEvent e;
    switch (message) {
    case WM_MOUSEMOVE: e.kind = MouseEvent::Move; break;
    case WM_LBUTTONDOWN: e.kind = MouseEvent::LeftDown; break;
    case WM_LBUTTONUP: e.kind = MouseEvent::LeftUp; break;
    case WM_RBUTTONDOWN: e.kind = MouseEvent::RightDown; break;
    default: return std::nullopt;
    }
    const int percent = scalePercentOf(window);
    const POINT client{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    // The windows' logic works at 96 dots per inch.
    e.at = Point{client.x * 100 / percent, client.y * 100 / percent};
    POINT screen = client;
    ClientToScreen(window, &screen);
    e.screen = Point{screen.x, screen.y};
    e.leftHeld = (wParam & MK_LBUTTON) != 0;
    e.workArea = workAreaAt(e.screen);
    e.scale = percent;
    if (e.kind == MouseEvent::LeftDown) SetCapture(window);
    return e;
}

LRESULT arrowCursor() {
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    return TRUE;
}

void releaseCaptureAfter(HWND window, const MouseEvent& e, bool release) {
    if ((release || e.kind == MouseEvent::LeftUp) && GetCapture() == window) ReleaseCapture();
}

void passRequest(PopupHost& host, HWND window, const MouseEvent& e, MouseRequest request, int command, int argument) {
    if (request == MouseRequest::Command) host.command(command, argument);
    else if (request != MouseRequest::None) host.menu(request, argument, e.screen, window);
}

}  // namespace zv::ui::win32
