#pragma once
// "ZORVAN3UI", the window class the system creates one window of per
// thread for this input method: it receives the input method's
// notifications, registers the key combinations as hot keys while a
// context is active, and (with the windows of the candidate list, the
// composition and the status bar) shows what the engine holds.

#include "host/imm/ime_api.h"

#include <windows.h>

namespace zv::imm {

constexpr wchar_t kUiClassName[] = L"ZORVAN3UI";

// Registered at process attach (and again by ImeInquire, which may come
// first in a process that loads the library as an input method only).
bool registerUiWindowClass(HINSTANCE module);
void unregisterUiWindowClass(HINSTANCE module);

LRESULT CALLBACK uiWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The input context a UI window serves.
inline HIMC contextOf(HWND uiWindow) {
    return reinterpret_cast<HIMC>(GetWindowLongPtrW(uiWindow, kUiWindowContextSlot));
}

}  // namespace zv::imm
