#include "host/imm/ime_context.h"

#include "engine/host_view.h"

#include <cstring>
#include <utility>

namespace zv::imm {

namespace {

// The lParam of the candidate notifications: the first (and only) list.
constexpr LPARAM kFirstList = 1;
// The parts of the composition a WM_IME_COMPOSITION announces: every
// composition part, then the same with the result.
constexpr LPARAM kCompositionParts = GCS_COMPREADSTR | GCS_COMPREADATTR | GCS_COMPREADCLAUSE | GCS_COMPSTR |
                                     GCS_COMPATTR | GCS_COMPCLAUSE | GCS_CURSORPOS | GCS_DELTASTART;
constexpr LPARAM kResultParts = kCompositionParts | GCS_RESULTSTR | GCS_RESULTCLAUSE;

Block blockOf(HIMCC handle, uint8_t* data) {
    return Block{data, data ? static_cast<size_t>(ImmGetIMCCSize(handle)) : 0};
}

}  // namespace

ImeContext* recordOf(INPUTCONTEXT& imc) {
    if (!imc.hPrivate || ImmGetIMCCSize(imc.hPrivate) < sizeof(ImeContext*)) return nullptr;
    auto* p = static_cast<uint8_t*>(ImmLockIMCC(imc.hPrivate));
    if (!p) return nullptr;
    ImeContext* record = nullptr;
    std::memcpy(&record, p, sizeof record);
    ImmUnlockIMCC(imc.hPrivate);
    return record;
}

void setRecord(INPUTCONTEXT& imc, ImeContext* record) {
    if (!imc.hPrivate || ImmGetIMCCSize(imc.hPrivate) < sizeof(ImeContext*)) return;
    if (auto* p = static_cast<uint8_t*>(ImmLockIMCC(imc.hPrivate))) {
        std::memcpy(p, &record, sizeof record);
        ImmUnlockIMCC(imc.hPrivate);
    }
}

ImeContext::ImeContext(Engine engine) : engine_(std::move(engine)) { setObserver(*engine_, this); }

ImeContext::~ImeContext() { setObserver(*engine_, nullptr); }

void ImeContext::attach(HIMC himc, INPUTCONTEXT* imc, Block composition, Block candidates) {
    himc_ = himc;
    imc_ = imc;
    composition_ = composition;
    candidates_ = candidates;
}

void ImeContext::detach() {
    if (std::exchange(cancelDeferred_, false)) clearInput(*engine_, true);
    himc_ = nullptr;
    imc_ = nullptr;
    composition_ = candidates_ = Block{};
}

void ImeContext::generate(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!imc_ || !IsWindow(imc_->hWnd)) return;
    const DWORD n = imc_->dwNumMsgBuf;
    HIMCC buffer = imc_->hMsgBuf ? ImmReSizeIMCC(imc_->hMsgBuf, (n + 1) * sizeof(TRANSMSG))
                                 : ImmCreateIMCC((n + 1) * sizeof(TRANSMSG));
    if (!buffer) return;
    imc_->hMsgBuf = buffer;
    auto* messages = static_cast<TRANSMSG*>(ImmLockIMCC(buffer));
    if (!messages) return;
    messages[n] = TRANSMSG{message, wParam, lParam};
    ImmUnlockIMCC(buffer);
    imc_->dwNumMsgBuf = n + 1;
    ImmGenerateMessage(himc_);
}

void ImeContext::compositionStarted() { generate(WM_IME_STARTCOMPOSITION, 0, 0); }

void ImeContext::compositionChanged(std::u16string_view display, std::u16string_view reading, int cursor) {
    writeComposition(composition_, display, reading, cursor);
    generate(WM_IME_COMPOSITION, 0, kCompositionParts);
}

void ImeContext::resultCommitted(std::u16string_view text, uint32_t) {
    writeResult(composition_, text);
    const WPARAM last = text.empty() ? 0 : static_cast<WPARAM>(text.back());
    generate(WM_IME_COMPOSITION, last, kResultParts);
}

void ImeContext::compositionEnded() {
    writeComposition(composition_, {}, {}, 0);
    generate(WM_IME_ENDCOMPOSITION, 0, 0);
    generate(WM_IME_NOTIFY, private_notify::CompositionDone, 0);
}

void ImeContext::writeCandidateList() {
    const EngineView view = viewOf(*engine_);
    std::vector<std::u16string_view> page;
    page.reserve(view.items.size());
    for (const ViewCandidate& c : view.items) page.push_back(c.display);
    writeCandidates(candidates_, page, view.highlight);
}

void ImeContext::candidatesOpened() {
    writeCandidateList();
    generate(WM_IME_NOTIFY, IMN_OPENCANDIDATE, kFirstList);
}

void ImeContext::candidatesChanged() {
    writeCandidateList();
    generate(WM_IME_NOTIFY, IMN_CHANGECANDIDATE, kFirstList);
}

void ImeContext::candidatesClosed() {
    writeCandidates(candidates_, {}, 0);
    generate(WM_IME_NOTIFY, IMN_CLOSECANDIDATE, kFirstList);
}

void ImeContext::modeChanged(uint32_t modeFlags) {
    if (imc_) imc_->fdwConversion = (imc_->fdwConversion & ~kEngineConversionBits) | conversionStatusOf(modeFlags);
    generate(WM_IME_NOTIFY, IMN_SETCONVERSIONMODE, 0);
    generate(WM_IME_NOTIFY, private_notify::ShowStatus, 0);
}

void ImeContext::refreshRequested() { generate(WM_IME_NOTIFY, private_notify::Reposition, 0); }

LockedContext::LockedContext(HIMC himc) : himc_(himc) {
    if (!himc_) return;
    imc_ = ImmLockIMC(himc_);
    if (!imc_) return;
    if (imc_->hCompStr) composition_ = static_cast<uint8_t*>(ImmLockIMCC(imc_->hCompStr));
    if (imc_->hCandInfo) candidates_ = static_cast<uint8_t*>(ImmLockIMCC(imc_->hCandInfo));
    if (imc_->hPrivate) private_ = static_cast<uint8_t*>(ImmLockIMCC(imc_->hPrivate));
    if (private_ && ImmGetIMCCSize(imc_->hPrivate) >= sizeof(ImeContext*))
        std::memcpy(&ime_, private_, sizeof ime_);
    if (ime_ && !ime_->inUse()) {
        ime_->attach(himc_, imc_, blockOf(imc_->hCompStr, composition_), blockOf(imc_->hCandInfo, candidates_));
        attached_ = true;
    }
}

LockedContext::~LockedContext() {
    if (attached_) ime_->detach();
    if (!imc_) return;
    if (private_) ImmUnlockIMCC(imc_->hPrivate);
    if (candidates_) ImmUnlockIMCC(imc_->hCandInfo);
    if (composition_) ImmUnlockIMCC(imc_->hCompStr);
    ImmUnlockIMC(himc_);
}

}  // namespace zv::imm
