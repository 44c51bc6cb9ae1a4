// Activation and deactivation. Activation opens the thread's engine, brings
// the compartments and the engine's modes together and advises the sinks;
// a failure on the way is rolled back by a full deactivation. What a host
// may lack (a language bar, a UI element manager, the active flags) is
// done without.

#include "host/tsf/text_service.h"

#include "host/dll/engines.h"
#include "host/tsf/candidate_list.h"
#include "host/tsf/language_bar.h"
#include "host/tsf/service_windows.h"
#include "host/tsf/sinks.h"

namespace zv::tsf {

namespace {

// The activation flags that put the service in restricted mode: no
// settings, no status bar of its own.
constexpr DWORD kRestrictedFlags = TF_TMAE_SECUREMODE | TF_TMAE_UIELEMENTENABLEDONLY | TF_TMAE_COMLESS |
                                   TF_TMAE_WOW16 | TF_TMAE_CONSOLE | TF_TMF_IMMERSIVEMODE;

}  // namespace

STDMETHODIMP TextService::Activate(ITfThreadMgr* threadMgr, TfClientId clientId) noexcept {
    // Activated without its flags (older systems, some frameworks): they are
    // asked of the thread manager, and a manager that cannot tell means none.
    DWORD flags = 0;
    if (threadMgr) {
        ITfThreadMgrEx* extended = nullptr;
        if (SUCCEEDED(threadMgr->QueryInterface(IID_ITfThreadMgrEx, reinterpret_cast<void**>(&extended))) && extended) {
            DWORD active = 0;
            // The manager's own "activated" bit says nothing of the host.
            if (SUCCEEDED(extended->GetActiveFlags(&active))) flags = active & ~static_cast<DWORD>(TF_TMF_ACTIVATED);
            extended->Release();
        }
    }
    return ActivateEx(threadMgr, clientId, flags);
}

STDMETHODIMP TextService::ActivateEx(ITfThreadMgr* threadMgr, TfClientId clientId, DWORD flags) noexcept {
    if (!threadMgr) return E_INVALIDARG;
    HRESULT hr = guarded([&] { return activate(threadMgr, clientId, flags); });
    if (FAILED(hr)) {
        Deactivate();
        return E_FAIL;
    }
    return S_OK;
}

HRESULT TextService::activate(ITfThreadMgr* threadMgr, TfClientId clientId, DWORD flags) {
    if (threadMgr_) Deactivate();
    threadMgr_ = com::ComPtr<ITfThreadMgr>(threadMgr);
    clientId_ = clientId;
    restricted_ = flags & kRestrictedFlags;
    // A data folder that cannot be opened leaves nothing to type with.
    engine_ = host::openInstanceEngine((restricted_ & TF_TMAE_SECUREMODE) ? host::Desktop::Secure
                                                                        : host::Desktop::User);
    if (!engine_) return E_FAIL;
    focusGained(*engine_);
    initialiseModes();
    windows_ = std::make_unique<ServiceWindows>(*this, flags == TF_TMF_IMMERSIVEMODE);

    if (!advise(threadMgr, IID_ITfThreadMgrEventSink, static_cast<ITfThreadMgrEventSink*>(this), threadMgrSinkCookie_))
        return E_FAIL;
    if (com::ComPtr<ITfContext> context = focusContext()) adviseTextEditSink(context.get());
    com::ComPtr<ITfKeystrokeMgr> keys;
    if (FAILED(threadMgr->QueryInterface(IID_ITfKeystrokeMgr, keys.putVoid())) || !keys) return E_FAIL;
    keys->UnadviseKeyEventSink(clientId);
    if (FAILED(keys->AdviseKeyEventSink(clientId, static_cast<ITfKeyEventSink*>(this), TRUE))) return E_FAIL;
    keySinkAdvised_ = true;
    // The sinks below only refine the service: a host without them still
    // gets one that types.
    advise(threadMgr, IID_ITfActiveLanguageProfileNotifySink, static_cast<ITfActiveLanguageProfileNotifySink*>(this),
           profileSinkCookie_);
    registerAttributeAtoms();
    advise(threadMgr, IID_ITfThreadFocusSink, static_cast<ITfThreadFocusSink*>(this), threadFocusSinkCookie_);
    adviseCompartmentSink();
    preserveKeys();
    addLanguageBarItems();
    windows_->showIndicators();
    return S_OK;
}

STDMETHODIMP TextService::Deactivate() noexcept {
    return guarded([&]() -> HRESULT {
        if (!threadMgr_ && !engine_) return S_OK;
        if (engine_) {
            abandonCompositions();
            storeInitialState();
        }
        endCandidateUi();
        if (windows_ && windows_->inMenu()) {
            windows_->hideAll();
            retiredWindows_ = std::move(windows_);
        }
        windows_.reset();
        unadviseTextEditSink();
        unadvise(threadMgr_.get(), profileSinkCookie_);
        unadviseCompartmentSink();
        unadvise(threadMgr_.get(), threadMgrSinkCookie_);
        unadvise(threadMgr_.get(), threadFocusSinkCookie_);
        removeLanguageBarItems();
        untrackLayout();
        if (keySinkAdvised_) {
            com::ComPtr<ITfKeystrokeMgr> keys;
            if (threadMgr_ && SUCCEEDED(threadMgr_->QueryInterface(IID_ITfKeystrokeMgr, keys.putVoid())) && keys)
                keys->UnadviseKeyEventSink(clientId_);
            keySinkAdvised_ = false;
        }
        unpreserveKeys();
        compositions_.clear();
        threadMgr_.reset();
        clientId_ = TF_CLIENTID_NULL;
        engine_.reset();
        return S_OK;
    });
}

}  // namespace zv::tsf
