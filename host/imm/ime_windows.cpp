#include "host/imm/ime_windows.h"

#include "engine/config_store.h"
#include "engine/host_view.h"
#include "host/dll/module.h"
#include "host/dll/resource_ids.h"
#include "host/imm/ime_context.h"
#include "host/imm/ui_window.h"
#include "ui/engine_view.h"
#include "ui/ui_view.h"
#include "ui/win32/popup_menu.h"

#include <utility>

namespace zv::imm {

namespace {

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

}  // namespace

UiWorkArea::UiWorkArea(HWND w)
    : window(w),
      candidates(host::moduleHandle(), *this),
      status(host::moduleHandle(), *this),
      softKeyboard(host::moduleHandle(), *this, renderer, ZV_BITMAP_SOFT_KEYBOARD),
      tip(host::moduleHandle(), *this, renderer) {}

void UiWorkArea::scheduleRedraw() {
    if (!std::exchange(redrawPending, true)) PostMessageW(window, kRedrawMessage, 0, 0);
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
    if (ui::runEngineMenuAction(engine, action)) return;
    // The language-bar choice and English word input belong to the text
    // service's menus.
    if (action.kind == ui::MenuActionKind::ChooseSkin &&
        ui::chooseSkin(skins, static_cast<size_t>(action.argument), installFolder(engine), settingsOf(engine).skin, skin)) {
        const ui::UiOptions options = ui::uiOptions(settingsOf(engine), false);
        fonts = ui::createUiFonts(renderer, skin.info.text, settingsOf(engine).skin,
                                  options.listStyle() == ui::ListStyle::Columns);
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

}  // namespace zv::imm
