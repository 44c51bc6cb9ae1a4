#pragma once
// One selected IMM32 input context: its engine, and what turns the
// engine's notifications into the context's blocks and into messages for
// the application. Entry points reach it through LockedContext, which
// locks the input context and its blocks for the length of the call.

#include "engine/host.h"
#include "host/imm/ime_api.h"
#include "host/imm/ime_blocks.h"

namespace zv::imm {

class ImeContext : public EngineObserver {
public:
    explicit ImeContext(Engine engine);
    ~ImeContext() override;
    ImeContext(const ImeContext&) = delete;
    ImeContext& operator=(const ImeContext&) = delete;

    EngineContext& engine() { return *engine_; }

    // An entry point that finds the context already in use (the
    // application called back into the input method from a message the
    // input method sent) does not drive the engine; a cancel it asks for
    // is carried out when the outer call ends.
    bool inUse() const { return himc_ != nullptr; }
    void deferCancel() { cancelDeferred_ = true; }

private:
    friend class LockedContext;
    void attach(HIMC himc, INPUTCONTEXT* imc, Block composition, Block candidates);
    void detach();

    void compositionStarted() override;
    void compositionChanged(std::u16string_view display, std::u16string_view reading, int cursor) override;
    void resultCommitted(std::u16string_view text, uint32_t kind) override;
    void compositionEnded() override;
    void candidatesOpened() override;
    void candidatesChanged() override;
    void candidatesClosed() override;
    void modeChanged(uint32_t modeFlags) override;
    void refreshRequested() override;

    void writeCandidateList();
    // Appends one message to the context's message buffer and hands the
    // buffer to the system, which sends it to the application at once.
    void generate(UINT message, WPARAM wParam, LPARAM lParam);

    Engine engine_;
    HIMC himc_ = nullptr;
    INPUTCONTEXT* imc_ = nullptr;
    Block composition_, candidates_;
    bool cancelDeferred_ = false;
};

// The private notifications of this input method's UI window.
namespace private_notify {
constexpr WPARAM ShowStatus = 256;      // show the status bar again
constexpr WPARAM Reposition = 512;      // work the window position out again and redraw
constexpr WPARAM CompositionDone = 768; // the composition display has ended
}  // namespace private_notify

// An input context and its blocks, locked for one entry point. ime() is
// null when no engine is attached, or when the context is already in use
// by an outer call.
class LockedContext {
public:
    explicit LockedContext(HIMC himc);
    ~LockedContext();
    LockedContext(const LockedContext&) = delete;
    LockedContext& operator=(const LockedContext&) = delete;

    INPUTCONTEXT* imc() const { return imc_; }
    ImeContext* ime() const { return attached_ ? ime_ : nullptr; }
    // The context's engine record even while an outer call uses it.
    ImeContext* record() const { return ime_; }

private:
    HIMC himc_;
    INPUTCONTEXT* imc_ = nullptr;
    uint8_t* composition_ = nullptr;
    uint8_t* candidates_ = nullptr;
    uint8_t* private_ = nullptr;
    ImeContext* ime_ = nullptr;
    bool attached_ = false;
};

// The engine record stored in (or cleared from) a context's private block.
ImeContext* recordOf(INPUTCONTEXT& imc);
void setRecord(INPUTCONTEXT& imc, ImeContext* record);

// The host conversion bits the engine owns in fdwConversion.
constexpr DWORD kEngineConversionBits = IME_CMODE_NOCONVERSION | IME_CMODE_FULLSHAPE | IME_CMODE_SYMBOL;

}  // namespace zv::imm
