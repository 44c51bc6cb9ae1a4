#pragma once
// What the engine tells its host front end. Each front end maps these onto
// its host: the text service's edit sessions, the IMM32 messages, or the
// terminal's screen.

#include <cstdint>
#include <string_view>

namespace zv {

class EngineObserver {
public:
    virtual ~EngineObserver() = default;
    virtual void compositionStarted() {}
    // display: what the composition shows; reading: the typed code.
    virtual void compositionChanged(std::u16string_view display, std::u16string_view reading, int cursor) {
        (void)display, (void)reading, (void)cursor;
    }
    virtual void resultCommitted(std::u16string_view text, uint32_t kind) { (void)text, (void)kind; }
    virtual void compositionEnded() {}
    virtual void candidatesOpened() {}
    virtual void candidatesChanged() {}
    virtual void candidatesClosed() {}
    // The modes changed; status is the host conversion status (hostStatus).
    virtual void modeChanged(uint32_t modeFlags) { (void)modeFlags; }
    virtual void refreshRequested() {}
};

}  // namespace zv
