#include "host/tsf/service_windows.h"

#include "engine/config_store.h"
#include "engine/host.h"
#include "engine/host_view.h"
#include "host/dll/module.h"
#include "host/dll/resource_ids.h"
#include "host/tsf/text_service.h"
#include "ui/engine_view.h"
#include "ui/menus.h"
#include "ui/placement.h"
#include "ui/skin_loader.h"
#include "ui/tip.h"
#include "ui/ui_view.h"
#include "ui/win32/candidate_popup.h"
#include "ui/win32/gdi_text.h"
#include "ui/win32/popup_menu.h"
#include "ui/win32/soft_keyboard_popup.h"
#include "ui/win32/status_popup.h"
#include "ui/win32/tip_popup.h"

namespace zv::tsf {

namespace {

// The indicator last shown, for every service of the process: switching
// applications shows it again only when the mode differs.
ui::ModeTipTracker g_modeTipShown;

bool windowsEightOrLater() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&version)) return true;
#pragma GCC diagnostic pop
    return version.dwMajorVersion > 6 || (version.dwMajorVersion == 6 && version.dwMinorVersion >= 2);
}

// Where the candidate window goes: below the composition as the application
// reports it, unless that place lies outside the application's window (some
// applications report nonsense), where the system caret stands in, as long
// as the windows are not the application's own.
ui::Caret caretOn(HWND owner, const RECT& caret, bool haveCaret, bool ownedWindows) {
    ui::Caret at;
    RECT client{};
    POINT origin{0, 0};
    if (!owner || !GetClientRect(owner, &client) || !ClientToScreen(owner, &origin)) {
        if (haveCaret) {
            at.x = caret.left;
            at.y = caret.top;
            if (caret.bottom > caret.top) at.height = caret.bottom - caret.top;
        }
        return at;
    }
    POINT system{0, 0};
    GetCaretPos(&system);
    // No place known yet counts as a place outside the window.
    const ui::Rect inClient = haveCaret ? ui::Rect{caret.left - origin.x, caret.top - origin.y,
                                                   caret.right - origin.x, caret.bottom - origin.y}
                                        : ui::Rect{-1, -1, -1, -1};
    return ui::caretFromDocument(inClient, ui::Rect{client.left, client.top, client.right, client.bottom},
                                 ui::Point{origin.x, origin.y}, ownedWindows, ui::Point{system.x, system.y});
}

}  // namespace

struct ServiceWindows::State : ui::win32::PopupHost {
    State(TextService& s, bool immersiveMode)
        : service(s),
          immersive(immersiveMode),
          candidates(host::moduleHandle(), *this),
          status(host::moduleHandle(), *this),
          softKeyboard(host::moduleHandle(), *this, renderer, ZV_BITMAP_SOFT_KEYBOARD),
          tip(host::moduleHandle(), *this, renderer) {}

    // A click on a candidate, a page or a status-bar button: the engine
    // acts, and what it changed goes to the document through an edit
    // session.
    void command(int command, int argument) override {
        if (EngineContext* engine = service.engine()) {
            uiCommand(*engine, command, argument, 0);
            service.afterUiCommand();
        }
    }

    void menu(ui::MouseRequest which, int argument, ui::Point screen, HWND owner) override {
        EngineContext* engine = service.engine();
        if (!engine) return;
        std::vector<ui::MenuItem> items;
        const EngineView view = viewOf(*engine);
        switch (which) {
        case ui::MouseRequest::MainMenu:
            if (skins.entries.empty()) ui::loadSkinList(installFolder(*engine), skins);
            items = ui::buildMainMenu(ui::menuContextOf(*engine, true, &skins));
            break;
        case ui::MouseRequest::CandidateMenu: {
            const ui::UiView page = ui::viewOf(view, false);
            if (argument < 0 || argument >= static_cast<int>(page.items.size())) return;
            items = ui::buildCandidateMenu(argument, page.items[static_cast<size_t>(argument)],
                                           ui::menuContextOf(*engine, true, nullptr).secondaryName);
            break;
        }
        case ui::MouseRequest::SoftKeyboardMenu: items = ui::buildSoftKeyboardMenu(view.softKeyboardLayout); break;
        case ui::MouseRequest::ModeMenu: items = ui::buildModeMenu(view.modes); break;
        default: return;
        }
        // The menu runs its own message loop, in which the application may
        // deactivate the service: the service stays alive (and keeps these
        // windows) until the menu is done.
        com::ComPtr<TextService> hold(&service);
        inMenu = true;
        const std::optional<ui::MenuAction> chosen = ui::win32::trackMenu(items, owner, screen);
        inMenu = false;
        if (!chosen || !service.engine()) return;
        run(*service.engine(), *chosen);
        service.afterUiCommand();
    }

    void run(EngineContext& engine, const ui::MenuAction& action) {
        if (ui::runEngineMenuAction(engine, action)) return;
        using K = ui::MenuActionKind;
        switch (action.kind) {
        case K::ChooseSkin:
            if (ui::chooseSkin(skins, static_cast<size_t>(action.argument), installFolder(engine),
                               settingsOf(engine).skin, skin))
                makeFonts(engine);
            break;
        case K::ToggleEmbedStatusBar: {
            // The buttons move between the status bar and the language bar.
            ImeSettings& ime = settingsOf(engine).ime;
            ime.setBit(ImeSettings::OptionA, ImeSettings::A_EmbedStatusBar, !(ime.a() & ImeSettings::A_EmbedStatusBar));
            saveSettings(engine);
            service.addLanguageBarItems();
            break;
        }
        case K::EnglishWords:
            // A switch to the state the menu names.
            if (((viewOf(engine).modes & ModeEnglishWords) != 0) != (action.argument != 0))
                runKeyFunction(engine, keyfn::ToggleEnglishWords);
            break;
        default: break;
        }
    }

    bool ensureSkin(EngineContext& engine) {
        if (skinTried) return skin.loaded() && fonts.complete();
        skinTried = true;
        const SettingsBlocks& settings = settingsOf(engine);
        // A skin that does not load leaves the service without windows;
        // typing goes on.
        if (!ui::loadCurrentSkin(installFolder(engine), settings.skin, skin)) return false;
        makeFonts(engine);
        return fonts.complete();
    }

    void makeFonts(EngineContext& engine) {
        const SettingsBlocks& settings = settingsOf(engine);
        const ui::UiOptions options = ui::uiOptions(settings, true);
        fonts = ui::createUiFonts(renderer, skin.info.text, settings.skin,
                                  options.listStyle() == ui::ListStyle::Columns);
    }

    // Another program (the configuration, another application's menu)
    // chose another skin: the windows take it when the focus comes back.
    void reloadSkin(EngineContext& engine) {
        if (skinTried && ui::reloadSkinIfChanged(installFolder(engine), settingsOf(engine).skin, skin)) makeFonts(engine);
    }

    TextService& service;
    bool immersive;
    bool focused = true;
    bool inMenu = false;
    ui::win32::GdiTextRenderer renderer;
    ui::LoadedSkin skin;
    ui::UiFonts fonts;
    ui::SkinList skins;  // for the skin menu, loaded when the menu first opens
    bool skinTried = false;
    ui::win32::CandidatePopup candidates;
    ui::win32::StatusPopup status;
    ui::win32::SoftKeyboardPopup softKeyboard;
    ui::win32::TipPopup tip;
};

ServiceWindows::ServiceWindows(TextService& service, bool immersive)
    : state(std::make_unique<State>(service, immersive)) {}

ServiceWindows::~ServiceWindows() = default;

void ServiceWindows::refresh(bool own, const RECT& caret, bool haveCaret, HWND owner) {
    EngineContext* engine = state->service.engine();
    if (!own || !engine || !state->ensureSkin(*engine)) {
        hideCandidates();
        return;
    }
    const ui::UiView view = ui::viewOf(*engine, (GetKeyState(VK_CAPITAL) & 1) != 0);
    if (view.display.empty() && view.items.empty()) {
        hideCandidates();
        return;
    }
    const SettingsBlocks& settings = settingsOf(*engine);
    const ui::UiOptions options = ui::uiOptions(settings, true);
    state->candidates.show({view, options, state->skin, state->fonts, settings.skin,
                            caretOn(owner, caret, haveCaret, state->immersive)},
                           owner);
}

void ServiceWindows::hideCandidates() { state->candidates.hide(); }

void ServiceWindows::hideAll() {
    state->focused = false;
    hideCandidates();
    state->status.hide();
    state->softKeyboard.hide();
    state->tip.close();
}

void ServiceWindows::focusGained() {
    if (EngineContext* engine = state->service.engine()) state->reloadSkin(*engine);
    showIndicators();
}

void ServiceWindows::showIndicators() {
    state->focused = true;
    TextService& service = state->service;
    EngineContext* engine = service.engine();
    if (!engine) return;
    const bool caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
    const bool disabled = service.keyboardDisabled();
    const EngineView view = viewOf(*engine);
    const SettingsBlocks& settings = settingsOf(*engine);
    const HWND owner = service.ownerWindow();
    // The mode indicator, where the system shows none of its own.
    if (state->immersive && windowsEightOrLater()) {
        const RECT& c = service.caret();
        const ui::ModeTip mode = ui::modeTipFor(view.modes, disabled, !(view.modes & ModeEnglish), caps);
        ui::win32::showModeTip(state->tip, g_modeTipShown, mode, ui::Point{c.left, c.bottom}, settings.skin, owner);
    }
    // The status bar, unless the language bar has its buttons, it is
    // hidden by the user, or the host is a restricted one.
    const uint32_t a = settings.ime.a();
    if ((a & ImeSettings::A_EmbedStatusBar) || (a & ImeSettings::A_HideStatusBar) || service.restricted() ||
        !state->ensureSkin(*engine))
        state->status.hide();
    else
        state->status.show(ui::viewOf(view, caps), state->skin, settings.skin, owner);
    // The soft keyboard while it is on, beside the status bar when that
    // shows.
    if ((view.modes & ModeSoftKeyboard) && view.softKeyboardLayout > 0) {
        RECT bar{};
        const bool besideBar = state->status.visible() && GetWindowRect(state->status.handle(), &bar);
        const ui::Rect barRect{bar.left, bar.top, bar.right, bar.bottom};
        state->softKeyboard.show(view.softKeyboardLayout, settings.skin, besideBar ? &barRect : nullptr, owner);
    } else {
        state->softKeyboard.hide();
    }
}

void ServiceWindows::hideModeTip() { state->tip.close(); }

void ServiceWindows::runMenuAction(const ui::MenuAction& action) {
    if (EngineContext* engine = state->service.engine()) {
        state->run(*engine, action);
        state->service.afterUiCommand();
    }
}

void ServiceWindows::openMainMenu(POINT screen, HWND owner) {
    state->menu(ui::MouseRequest::MainMenu, 0, ui::Point{screen.x, screen.y}, owner);
}

bool ServiceWindows::inMenu() const { return state->inMenu; }

HWND ServiceWindows::candidateWindow() const { return state->candidates.handle(); }

}  // namespace zv::tsf
