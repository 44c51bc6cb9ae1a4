#include "host/imm/ui_window.h"

#include "engine/config_store.h"
#include "engine/host.h"
#include "host/imm/ime_context.h"
#include "host/imm/ime_windows.h"

#include <vector>

namespace zv::imm {

namespace {

// The window-extra bytes of the class: the input context and the private
// slot, which points to the windows' shared state on the heap (a class
// asking for tens of kilobytes per window is refused by some systems).
constexpr int kUiWindowExtraBytes = 2 * sizeof(LONG_PTR);

UiWorkArea* workAreaOf(HWND window) {
    return reinterpret_cast<UiWorkArea*>(GetWindowLongPtrW(window, kUiWindowPrivateSlot));
}

// RegisterHotKey knows no sides: a side-specific modifier registers the
// plain one, and the side is checked when the hot key fires.
UINT systemModifiers(uint32_t flags) {
    namespace f = hotkeyflag;
    UINT m = 0;
    if (flags & (f::Alt | f::LeftAlt | f::RightAlt)) m |= MOD_ALT;
    if (flags & (f::Ctrl | f::LeftCtrl | f::RightCtrl)) m |= MOD_CONTROL;
    if (flags & (f::Shift | f::LeftShift | f::RightShift)) m |= MOD_SHIFT;
    return m;
}

bool held(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

HeldModifiers heldModifiers() {
    HeldModifiers h;
    h.leftShift = held(VK_LSHIFT), h.rightShift = held(VK_RSHIFT);
    h.leftCtrl = held(VK_LCONTROL), h.rightCtrl = held(VK_RCONTROL);
    h.leftAlt = held(VK_LMENU), h.rightAlt = held(VK_RMENU);
    return h;
}

void unregisterHotKeys(HWND window) {
    for (size_t i = 0; i < DmeSettings::MaxCombos; ++i) UnregisterHotKey(window, FirstHotKeyId + static_cast<int>(i));
}

void registerHotKeys(HWND window, ImeContext& ime) {
    unregisterHotKeys(window);
    for (const HotKey& k : hotKeysToRegister(ime.engine()))
        RegisterHotKey(window, k.id, systemModifiers(k.modifiers), k.virtualKey);
}

void onHotKey(HWND window, int id) {
    LockedContext locked(contextOf(window));
    ImeContext* ime = locked.ime();
    if (!ime) return;
    const std::vector<HotKey> keys = hotKeysToRegister(ime->engine());
    for (const HotKey& k : keys) {
        if (k.id != id) continue;
        const HotKey* fired = matchHotKey(keys, k.virtualKey, heldModifiers());
        if (fired && fired->id == id) runHotKey(ime->engine(), id);
        return;
    }
}

// The input context became active in its window, or stopped being.
void onSetContext(HWND window, bool active) {
    LockedContext locked(contextOf(window));
    ImeContext* ime = locked.ime();
    if (!ime) {
        if (!active) unregisterHotKeys(window);
        return;
    }
    if (UiWorkArea* area = workAreaOf(window)) area->active = active;
    if (active) {
        // Tables the configuration program changed meanwhile take effect.
        refreshTables(ime->engine());
        takeModesFromConversion(ime->engine(), locked.imc()->fdwConversion);
        registerHotKeys(window, *ime);
    } else {
        clearInput(ime->engine(), true);
        unregisterHotKeys(window);
    }
    if (UiWorkArea* area = workAreaOf(window)) area->scheduleRedraw();
}

void onNotify(HWND window, WPARAM command) {
    switch (command) {
    case IMN_OPENCANDIDATE:
    case IMN_CHANGECANDIDATE:
    case IMN_CLOSECANDIDATE:
    case IMN_SETCANDIDATEPOS:
    case IMN_SETCOMPOSITIONWINDOW:
    case private_notify::Reposition:
    case private_notify::CompositionDone:
        if (UiWorkArea* area = workAreaOf(window)) area->scheduleRedraw();
        break;
    case IMN_SETCONVERSIONMODE:
    case IMN_SETSENTENCEMODE:
    case IMN_SETOPENSTATUS: {
        {
            LockedContext locked(contextOf(window));
            if (ImeContext* ime = locked.ime()) takeModesFromConversion(ime->engine(), locked.imc()->fdwConversion);
        }
        if (UiWorkArea* area = workAreaOf(window)) area->scheduleRedraw();
        break;
    }
    case IMN_OPENSTATUSWINDOW:
    case IMN_CLOSESTATUSWINDOW:
        if (UiWorkArea* area = workAreaOf(window)) {
            area->statusWanted = command == IMN_OPENSTATUSWINDOW;
            area->scheduleRedraw();
        }
        break;
    case IMN_SETSTATUSWINDOWPOS:
    case private_notify::ShowStatus:
        if (UiWorkArea* area = workAreaOf(window)) area->scheduleRedraw();
        break;
    default: break;
    }
}

LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (!workAreaOf(window)) SetWindowLongPtrW(window, kUiWindowPrivateSlot, reinterpret_cast<LONG_PTR>(new UiWorkArea(window)));
        return 0;
    case WM_DESTROY:
        unregisterHotKeys(window);
        delete workAreaOf(window);
        SetWindowLongPtrW(window, kUiWindowPrivateSlot, 0);
        return 0;
    case kRedrawMessage:
        if (UiWorkArea* area = workAreaOf(window)) area->redraw();
        return 0;
    case WM_IME_SETCONTEXT: onSetContext(window, wParam != 0); return 0;
    case WM_IME_SELECT:
        if (wParam) {
            LockedContext locked(contextOf(window));
            if (ImeContext* ime = locked.ime()) registerHotKeys(window, *ime);
        } else {
            unregisterHotKeys(window);
        }
        return 0;
    case WM_IME_NOTIFY: onNotify(window, wParam); return 0;
    case WM_HOTKEY: onHotKey(window, static_cast<int>(wParam)); return 0;
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_COMPOSITION:
        if (UiWorkArea* area = workAreaOf(window)) area->scheduleRedraw();
        return 0;
    case WM_IME_ENDCOMPOSITION:
        if (GetCapture() == window) ReleaseCapture();
        if (UiWorkArea* area = workAreaOf(window)) area->scheduleRedraw();
        return 1;
    case WM_IME_CONTROL:
    case WM_IME_COMPOSITIONFULL:
    case WM_IME_REQUEST: return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

LRESULT CALLBACK uiWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Nothing thrown inside the input method reaches the application.
    try {
        return handle(window, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

bool registerUiWindowClass(HINSTANCE module) {
    WNDCLASSEXW wc = {};
    if (GetClassInfoExW(module, kUiClassName, &wc)) return true;
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW | kImeClassStyle;
    wc.lpfnWndProc = uiWindowProc;
    wc.cbWndExtra = kUiWindowExtraBytes;
    wc.hInstance = module;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kUiClassName;
    return RegisterClassExW(&wc) != 0;
}

void unregisterUiWindowClass(HINSTANCE module) { UnregisterClassW(kUiClassName, module); }

}  // namespace zv::imm
