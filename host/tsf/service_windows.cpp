#include "host/tsf/service_windows.h"

#include "engine/config_store.h"
#include "engine/host.h"
#include "host/dll/module.h"
#include "host/tsf/text_service.h"
#include "ui/engine_view.h"
#include "ui/skin_loader.h"
#include "ui/ui_view.h"
#include "ui/win32/candidate_popup.h"
#include "ui/win32/gdi_text.h"

namespace zv::tsf {

struct ServiceWindows::State : ui::win32::PopupHost {
    State(TextService& s, bool immersiveMode)
        : service(s), immersive(immersiveMode), candidates(host::moduleHandle(), *this) {}

    // A click on a candidate or a page button: the engine acts, and what it
    // changed goes to the document through an edit session.
    void command(int command, int argument) override {
        if (EngineContext* engine = service.engine()) {
            uiCommand(*engine, command, argument, 0);
            service.applyChangesOutsideKey();
        }
    }
    void menu(ui::MouseRequest, int, ui::Point, HWND) override {}

    bool ensureSkin(EngineContext& engine) {
        if (skinTried) return skin.loaded() && fonts.complete();
        skinTried = true;
        const SettingsBlocks& settings = settingsOf(engine);
        // A skin that does not load leaves the service without windows;
        // typing goes on.
        if (!ui::loadCurrentSkin(installFolder(engine), settings.skin, skin)) return false;
        const ui::UiOptions options = ui::uiOptions(settings, true);
        fonts = ui::createUiFonts(renderer, skin.info.text, settings.skin,
                                  options.listStyle() == ui::ListStyle::Columns);
        return fonts.complete();
    }

    TextService& service;
    bool immersive;
    ui::win32::GdiTextRenderer renderer;
    ui::LoadedSkin skin;
    ui::UiFonts fonts;
    bool skinTried = false;
    ui::win32::CandidatePopup candidates;
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
    ui::Caret at;
    if (haveCaret) {
        at.x = caret.left;
        at.y = caret.top;
        if (caret.bottom > caret.top) at.height = caret.bottom - caret.top;
    }
    state->candidates.show({view, options, state->skin, state->fonts, settings.skin, at}, owner);
}

void ServiceWindows::hideCandidates() { state->candidates.hide(); }

void ServiceWindows::hideAll() { hideCandidates(); }

void ServiceWindows::showIndicators() {}

void ServiceWindows::hideModeTip() {}

HWND ServiceWindows::candidateWindow() const { return state->candidates.handle(); }

}  // namespace zv::tsf
