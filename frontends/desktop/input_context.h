#pragma once
// One input context of a desktop input-method framework (fcitx5, IBus),
// over one engine: key events in the X keyboard model go through the
// engine as a Windows host's would, and what to show and send comes out as
// one record the adapter applies (preedit, candidate list, commits, keys
// to pass on). The adapters are thin layers over this.

#include "engine/host.h"
#include "engine/host_view.h"
#include "frontends/keys/x_keys.h"

#include <deque>
#include <string>
#include <vector>

namespace zv::desktop {

struct CandidateRow {
    std::u16string label;  // the select key: 1..9, then 0
    std::u16string text;
    std::u16string hint;
};

// What the adapter shows and sends now.
struct Update {
    std::vector<std::u16string> commits;  // in the order they went out since the last update
    std::u16string preedit;
    int preeditCursor = 0;  // in UTF-16 units
    std::vector<CandidateRow> candidates;
    int highlight = 0;
    bool firstPage = true, lastPage = true;
    uint32_t modes = 0;
    bool modesChanged = false;
};

class InputContext : public EngineObserver, public platform::KeySender {
public:
    // The engine must be open; the context becomes its observer and key
    // sender.
    explicit InputContext(Engine engine);
    ~InputContext() override;
    InputContext(const InputContext&) = delete;
    InputContext& operator=(const InputContext&) = delete;

    void focusIn();
    void focusOut();
    // The application reset the context (a click elsewhere in the text):
    // the composition goes without a commit.
    void reset();

    // One key event; true when the input method took it (the adapter then
    // keeps it from the application).
    bool key(const keys::HostKey& key);
    // A mode command of the status area (the setMode commands), and a
    // command of the menus (the uiCommand numbers).
    void command(int modeCommand);
    void uiCommand(int command, int value1, int value2);
    // A candidate clicked on the page (0-based).
    void choose(int onPage);
    // A page turn asked by the framework's own paging buttons.
    void turnPage(bool forward);

    // What to show and send; takes the commits and the keys to pass on.
    Update takeUpdate();
    // Keys the engine sent to the application that it did not take itself
    // (a host forwards them), taken with the update.
    std::vector<keys::HostKey> takeForwarded();

    EngineContext& engine() { return *engine_; }

    // EngineObserver
    void resultCommitted(std::u16string_view text, uint32_t kind) override;
    // KeySender: the engine's own keys come back through the key test.
    void send(const std::vector<platform::KeyEvent>& events) override;

private:
    void feed(int virtualKey, uint32_t scan, bool extended, bool up, bool fromEngine);
    void drainSent();

    Engine engine_;
    KeyboardState keyboard_;
    std::vector<std::u16string> commits_;
    std::deque<platform::KeyEvent> sent_;
    std::vector<keys::HostKey> forwarded_;
    bool draining_ = false;
    uint32_t lastModes_ = 0;
};

}  // namespace zv::desktop
