#include "host/imm/ui_window.h"

#include "engine/config_store.h"
#include "engine/host.h"
#include "host/dll/module.h"
#include "host/imm/ime_context.h"
#include "ui/engine_view.h"
#include "ui/skin_loader.h"
#include "ui/ui_view.h"
#include "ui/win32/candidate_popup.h"
#include "ui/win32/gdi_text.h"

#include <memory>
#include <utility>
#include <vector>

namespace zv::imm {

namespace {

// The window-extra bytes of the class: the input context and the private
// slot, which points to the windows' shared state on the heap (a class
// asking for tens of kilobytes per window is refused by some systems).
constexpr int kUiWindowExtraBytes = 2 * sizeof(LONG_PTR);

// Sent to itself: the windows are redrawn once the call that changed the
// engine is over (the engine is never read in the middle of a key).
constexpr UINT kRedrawMessage = WM_USER + 0x5A;

HIMC contextOf(HWND window) { return reinterpret_cast<HIMC>(GetWindowLongPtrW(window, kUiWindowContextSlot)); }

// What the UI window keeps for its windows: the text output, the skin and
// its fonts, the candidate window.
struct UiWorkArea : ui::win32::CandidateHost {
    explicit UiWorkArea(HWND w) : window(w), candidates(host::moduleHandle(), *this) {}

    void command(int command, int argument) override;
    void menu(ui::MouseRequest, int, ui::Point) override {}
    void scheduleRedraw() {
        if (!std::exchange(redrawPending, true)) PostMessageW(window, kRedrawMessage, 0, 0);
    }
    void redraw();
    bool ensureSkin(EngineContext& engine);

    HWND window;
    ui::win32::GdiTextRenderer renderer;
    ui::LoadedSkin skin;
    ui::UiFonts fonts;
    bool skinTried = false;
    bool redrawPending = false;
    ui::win32::CandidatePopup candidates;
};

UiWorkArea* workAreaOf(HWND window) {
    return reinterpret_cast<UiWorkArea*>(GetWindowLongPtrW(window, kUiWindowPrivateSlot));
}

bool UiWorkArea::ensureSkin(EngineContext& engine) {
    if (skinTried) return skin.loaded() && fonts.complete();
    skinTried = true;
    const SettingsBlocks& settings = settingsOf(engine);
    // A skin that does not load leaves the input method without windows;
    // typing goes on.
    if (!ui::loadCurrentSkin(installFolder(engine), settings.skin, skin)) return false;
    const ui::UiOptions options = ui::uiOptions(settings, false);
    fonts = ui::createUiFonts(renderer, skin.info.text, settings.skin, options.listStyle() == ui::ListStyle::Columns);
    return fonts.complete();
}

// Where the candidate window goes: the application's candidate form, its
// composition form, or the caret; on the screen.
ui::Caret caretOf(const INPUTCONTEXT& imc) {
    ui::Caret caret;
    POINT p{0, 0};
    const CANDIDATEFORM& cand = imc.cfCandForm[0];
    if (cand.dwStyle & (CFS_CANDIDATEPOS | CFS_EXCLUDE)) {
        p.x = cand.ptCurrentPos.x;
        if (cand.dwStyle & CFS_EXCLUDE) {
            p.y = cand.rcArea.top;
            if (cand.rcArea.bottom > cand.rcArea.top) caret.height = cand.rcArea.bottom - cand.rcArea.top;
        } else {
            p.y = cand.ptCurrentPos.y;
        }
    } else if (imc.cfCompForm.dwStyle & (CFS_POINT | CFS_RECT | CFS_FORCE_POSITION)) {
        p = imc.cfCompForm.ptCurrentPos;
    } else {
        GetCaretPos(&p);
    }
    if (imc.hWnd) ClientToScreen(imc.hWnd, &p);
    caret.x = p.x;
    caret.y = p.y;
    return caret;
}

void UiWorkArea::redraw() {
    redrawPending = false;
    LockedContext locked(contextOf(window));
    ImeContext* ime = locked.ime();
    if (!ime || !ensureSkin(ime->engine())) {
        candidates.hide();
        return;
    }
    EngineContext& engine = ime->engine();
    const ui::UiView view = ui::viewOf(engine, (GetKeyState(VK_CAPITAL) & 1) != 0);
    if (view.display.empty() && view.items.empty()) {
        candidates.hide();
        return;
    }
    const SettingsBlocks& settings = settingsOf(engine);
    const ui::UiOptions options = ui::uiOptions(settings, false);
    candidates.show({view, options, skin, fonts, settings.skin, caretOf(*locked.imc())}, locked.imc()->hWnd);
}

void UiWorkArea::command(int command, int argument) {
    {
        LockedContext locked(contextOf(window));
        if (ImeContext* ime = locked.ime()) uiCommand(ime->engine(), command, argument, 0);
    }
    scheduleRedraw();
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
        LockedContext locked(contextOf(window));
        if (ImeContext* ime = locked.ime()) takeModesFromConversion(ime->engine(), locked.imc()->fdwConversion);
        break;
    }
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
