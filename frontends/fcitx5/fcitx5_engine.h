#pragma once
// The fcitx5 input method: one desktop input context per fcitx5 input
// context, over the data folder named by ZORVAN_DATA (or the registered
// instance's).

#include "frontends/desktop/input_context.h"

#include <fcitx/addonfactory.h>
#include <fcitx/addonmanager.h>
#include <fcitx/inputcontextproperty.h>
#include <fcitx/inputmethodengine.h>
#include <fcitx/action.h>
#include <fcitx/instance.h>

#include <fcitx-utils/event.h>
#include <fcitx/inputcontext.h>

#include <memory>
#include <vector>

namespace zv::fcitx5 {

// What the addon keeps for each input context.
struct ContextState : public fcitx::InputContextProperty {
    std::unique_ptr<desktop::InputContext> context;  // null when the data folder could not be opened
};

class Engine : public fcitx::InputMethodEngineV2 {
public:
    explicit Engine(fcitx::Instance* instance);

    void keyEvent(const fcitx::InputMethodEntry& entry, fcitx::KeyEvent& event) override;
    void activate(const fcitx::InputMethodEntry& entry, fcitx::InputContextEvent& event) override;
    void deactivate(const fcitx::InputMethodEntry& entry, fcitx::InputContextEvent& event) override;
    void reset(const fcitx::InputMethodEntry& entry, fcitx::InputContextEvent& event) override;

    // Shows and sends what the engine of the input context says, now or
    // (from inside the candidate list, which it replaces) on the next turn
    // of the event loop.
    void apply(fcitx::InputContext* ic);
    void applyLater(fcitx::InputContext* ic);
    desktop::InputContext* contextOf(fcitx::InputContext* ic);

private:
    // The status area's modes and tools, with their labels for the state
    // of the input context.
    void showActions(fcitx::InputContext* ic);

    fcitx::Instance* instance_;
    fcitx::FactoryFor<ContextState> factory_;
    // The contexts to apply on the next turn of the event loop.
    std::vector<fcitx::TrackableObjectReference<fcitx::InputContext>> pending_;
    std::unique_ptr<fcitx::EventSource> later_;
    std::vector<std::unique_ptr<fcitx::SimpleAction>> actions_;
};

class Factory : public fcitx::AddonFactory {
public:
    fcitx::AddonInstance* create(fcitx::AddonManager* manager) override;
};

}  // namespace zv::fcitx5
