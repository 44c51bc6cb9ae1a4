#include "frontends/fcitx5/fcitx5_engine.h"

#include "frontends/desktop/desktop_engine.h"
#include "frontends/desktop/status_actions.h"
#include "frontends/fcitx5/engine_page.h"
#include "frontends/keys/x_keys.h"
#include "platform/utf.h"

#include <fcitx-utils/capabilityflags.h>
#include <fcitx/inputcontext.h>
#include <fcitx/inputcontextmanager.h>
#include <fcitx/inputpanel.h>
#include <fcitx/statusarea.h>
#include <fcitx/userinterfacemanager.h>
#include <fcitx/userinterface.h>

#include <cstdlib>

namespace zv::fcitx5 {

namespace {


ContextState* newState() {
    auto* state = new ContextState;
    // A context whose folder cannot be opened lets every key through.
    const char* folder = std::getenv("ZORVAN_DATA");
    zv::Engine engine = desktop::openDesktopEngine(folder ? folder : "");
    if (engine) state->context = std::make_unique<desktop::InputContext>(std::move(engine));
    return state;
}

}  // namespace

Engine::Engine(fcitx::Instance* instance)
    : instance_(instance), factory_([](fcitx::InputContext&) { return newState(); }) {
    instance_->inputContextManager().registerProperty("zorvanState", &factory_);
    // One action for each mode and tool, shared by the contexts; its label
    // is set for the context it is shown for.
    for (const char* name : {"zorvan-chinese", "zorvan-width", "zorvan-punctuation", "zorvan-traditional",
                             "zorvan-soft-keyboard", "zorvan-check", "zorvan-list", "zorvan-reverse",
                             "zorvan-settings"}) {
        auto action = std::make_unique<fcitx::SimpleAction>();
        const std::string key = name;
        action->connect<fcitx::SimpleAction::Activated>([this, key](fcitx::InputContext* ic) {
            desktop::InputContext* c = contextOf(ic);
            if (!c) return;
            try {
                desktop::runStatusAction(*c, key);
                apply(ic);
                showActions(ic);
            } catch (...) {
            }
        });
        instance_->userInterfaceManager().registerAction(name, action.get());
        actions_.push_back(std::move(action));
    }
}

void Engine::showActions(fcitx::InputContext* ic) {
    desktop::InputContext* c = contextOf(ic);
    if (!c) return;
    const std::vector<desktop::StatusAction> shown = desktop::statusActions(*c);
    for (size_t i = 0; i < actions_.size() && i < shown.size(); ++i) {
        actions_[i]->setShortText(shown[i].label);
        actions_[i]->setLongText(shown[i].tooltip);
        actions_[i]->update(ic);
    }
}

desktop::InputContext* Engine::contextOf(fcitx::InputContext* ic) {
    return ic ? ic->propertyFor(&factory_)->context.get() : nullptr;
}

void Engine::keyEvent(const fcitx::InputMethodEntry&, fcitx::KeyEvent& event) {
    fcitx::InputContext* ic = event.inputContext();
    desktop::InputContext* c = contextOf(ic);
    if (!c) return;
    // The key as the keyboard sent it: the engine tells shifted keys apart
    // itself.
    const fcitx::Key& raw = event.rawKey();
    const auto key = keys::hostKeyOfX(static_cast<uint32_t>(raw.sym()), static_cast<uint32_t>(raw.states()) & 0xFF,
                                      event.isRelease());
    if (!key) return;
    try {
        if (c->key(*key)) event.filterAndAccept();
        apply(ic);
    } catch (...) {
        // Without memory the key goes to the application.
    }
}

void Engine::activate(const fcitx::InputMethodEntry&, fcitx::InputContextEvent& event) {
    fcitx::InputContext* ic = event.inputContext();
    if (desktop::InputContext* c = contextOf(ic)) c->focusIn();
    for (const auto& action : actions_) ic->statusArea().addAction(fcitx::StatusGroup::InputMethod, action.get());
    showActions(ic);
    apply(ic);
}

void Engine::deactivate(const fcitx::InputMethodEntry&, fcitx::InputContextEvent& event) {
    if (desktop::InputContext* c = contextOf(event.inputContext())) c->focusOut();
    apply(event.inputContext());
}

void Engine::reset(const fcitx::InputMethodEntry&, fcitx::InputContextEvent& event) {
    if (desktop::InputContext* c = contextOf(event.inputContext())) c->reset();
    apply(event.inputContext());
}

void Engine::apply(fcitx::InputContext* ic) {
    desktop::InputContext* c = contextOf(ic);
    if (!c) return;
    const desktop::Update u = c->takeUpdate();
    if (u.modesChanged) showActions(ic);
    for (const std::u16string& text : u.commits) ic->commitString(utf16ToUtf8(text));
    for (const keys::HostKey& k : c->takeForwarded()) {
        const auto keysym = keys::xKeysymOf(k);
        if (!keysym) continue;
        fcitx::KeyStates states;
        if (k.shift) states |= fcitx::KeyState::Shift;
        if (k.ctrl) states |= fcitx::KeyState::Ctrl;
        if (k.alt) states |= fcitx::KeyState::Alt;
        ic->forwardKey(fcitx::Key(static_cast<fcitx::KeySym>(*keysym), states), k.up);
    }
    fcitx::InputPanel& panel = ic->inputPanel();
    panel.reset();
    if (!u.preedit.empty()) {
        fcitx::Text preedit(utf16ToUtf8(u.preedit), fcitx::TextFormatFlag::Underline);
        preedit.setCursor(static_cast<int>(utf16ToUtf8(std::u16string_view(u.preedit).substr(0, u.preeditCursor)).size()));
        if (ic->capabilityFlags().test(fcitx::CapabilityFlag::Preedit))
            panel.setClientPreedit(preedit);
        else
            panel.setPreedit(preedit);
    }
    if (!u.candidates.empty()) panel.setCandidateList(std::make_unique<EnginePage>(*this, ic, u));
    ic->updatePreedit();
    ic->updateUserInterface(fcitx::UserInterfaceComponent::InputPanel);
}

void Engine::applyLater(fcitx::InputContext* ic) {
    pending_.push_back(ic->watch());
    if (later_) {
        later_->setOneShot();
        return;
    }
    later_ = instance_->eventLoop().addDeferEvent([this](fcitx::EventSource*) {
        auto contexts = std::move(pending_);
        pending_.clear();
        for (auto& ref : contexts)
            if (fcitx::InputContext* live = ref.get()) apply(live);
        return true;
    });
}

fcitx::AddonInstance* Factory::create(fcitx::AddonManager* manager) { return new Engine(manager->instance()); }

}  // namespace zv::fcitx5

FCITX_ADDON_FACTORY(zv::fcitx5::Factory);
