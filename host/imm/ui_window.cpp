#include "host/imm/ui_window.h"

#include "engine/config_store.h"
#include "engine/host.h"
#include "host/dll/module.h"
#include "host/imm/ime_context.h"
#include "ui/engine_view.h"
#include "ui/skin_loader.h"
#include "ui/ui_view.h"
#include "ui/menus.h"
#include "ui/win32/candidate_popup.h"
#include "ui/win32/gdi_text.h"
#include "ui/win32/popup_menu.h"
#include "ui/win32/soft_keyboard_popup.h"
#include "ui/win32/status_popup.h"

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
// its fonts, the candidate window and the status bar.
struct UiWorkArea : ui::win32::PopupHost {
    explicit UiWorkArea(HWND w) : window(w), candidates(host::moduleHandle(), *this), status(host::moduleHandle(), *this),
          softKeyboard(host::moduleHandle(), *this, renderer) {}

    void command(int command, int argument) override;
    void menu(ui::MouseRequest which, int argument, ui::Point screen, HWND owner) override;
    void run(EngineContext& engine, const ui::MenuAction& action);
    void scheduleRedraw() {
        if (!std::exchange(redrawPending, true)) PostMessageW(window, kRedrawMessage, 0, 0);
    }
    void redraw();
    bool ensureSkin(EngineContext& engine);

    HWND window;
    ui::win32::GdiTextRenderer renderer;
    ui::LoadedSkin skin;
    ui::UiFonts fonts;
    ui::SkinList skins;  // for the skin menu, loaded when the menu first opens
    bool skinTried = false;
    bool redrawPending = false;
    // The system asked for the status bar (and 隐藏状态条窗口 is off); it
    // shows while the context is active.
    bool statusWanted = false;
    bool active = true;
    ui::win32::CandidatePopup candidates;
    ui::win32::StatusPopup status;
    ui::win32::SoftKeyboardPopup softKeyboard;
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
    const SettingsBlocks& settings = settingsOf(engine);
    if (statusWanted && active && !(settings.ime.a() & ImeSettings::A_HideStatusBar))
        status.show(view, skin, settings.skin, locked.imc()->hWnd);
    else
        status.hide();
    if (active && (view.modes & ModeSoftKeyboard) && view.softKeyboardLayout > 0) {
        RECT bar = {};
        const bool besideBar = status.visible() && GetWindowRect(status.handle(), &bar);
        const ui::Rect barRect{bar.left, bar.top, bar.right, bar.bottom};
        softKeyboard.show(view.softKeyboardLayout, settings.skin, besideBar ? &barRect : nullptr, locked.imc()->hWnd);
    } else {
        softKeyboard.hide();
    }
    if (view.display.empty() && view.items.empty()) {
        candidates.hide();
        return;
    }
    const ui::UiOptions options = ui::uiOptions(settings, false);
    candidates.show({view, options, skin, fonts, settings.skin, caretOf(*locked.imc())}, locked.imc()->hWnd);
}

void UiWorkArea::run(EngineContext& engine, const ui::MenuAction& action) {
    using K = ui::MenuActionKind;
    switch (action.kind) {
    case K::Command: uiCommand(engine, action.code, action.argument, action.operation); break;
    case K::Program: uiCommand(engine, action.code, 0, 0); break;
    case K::KeyMap: uiCommand(engine, ui_command::KeyboardMap, 0, 0); break;
    case K::ToggleKeyboard:
        uiCommand(engine, viewOf(engine).modes & ModeEnglish ? ui_command::Chinese : ui_command::English, 0, 0);
        break;
    case K::ChooseSkin:
        if (ui::chooseSkin(skins, static_cast<size_t>(action.argument), installFolder(engine), settingsOf(engine).skin, skin)) {
            const ui::UiOptions options = ui::uiOptions(settingsOf(engine), false);
            fonts = ui::createUiFonts(renderer, skin.info.text, settingsOf(engine).skin,
                                      options.listStyle() == ui::ListStyle::Columns);
        }
        break;
    // The language-bar choice and English word input belong to the text
    // service's menus.
    case K::ToggleEmbedStatusBar:
    case K::EnglishWords:
    case K::None: break;
    }
}

void UiWorkArea::menu(ui::MouseRequest which, int argument, ui::Point screen, HWND owner) {
    std::vector<ui::MenuItem> items;
    {
        LockedContext locked(contextOf(window));
        ImeContext* ime = locked.ime();
        if (!ime) return;
        EngineContext& engine = ime->engine();
        const EngineView view = viewOf(engine);
        switch (which) {
        case ui::MouseRequest::MainMenu:
            if (skins.entries.empty()) ui::loadSkinList(installFolder(engine), skins);
            items = ui::buildMainMenu(ui::menuContextOf(engine, false, &skins));
            break;
        case ui::MouseRequest::CandidateMenu: {
            const ui::UiView page = ui::viewOf(view, false);
            if (argument < 0 || argument >= static_cast<int>(page.items.size())) return;
            items = ui::buildCandidateMenu(argument, page.items[static_cast<size_t>(argument)],
                                           ui::menuContextOf(engine, false, nullptr).secondaryName);
            break;
        }
        case ui::MouseRequest::SoftKeyboardMenu: items = ui::buildSoftKeyboardMenu(view.softKeyboardLayout); break;
        case ui::MouseRequest::ModeMenu: items = ui::buildModeMenu(view.modes); break;
        default: return;
        }
    }
    // The menu runs its own message loop: the context is not held meanwhile.
    const std::optional<ui::MenuAction> chosen = ui::win32::trackMenu(items, owner, screen);
    if (chosen) {
        LockedContext locked(contextOf(window));
        if (ImeContext* ime = locked.ime()) run(ime->engine(), *chosen);
    }
    scheduleRedraw();
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
