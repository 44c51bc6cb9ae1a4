// The text service's identity and the work its interfaces share: turning
// what the engine changed into document edits.

#include "host/tsf/text_service.h"

#include "engine/host_view.h"
#include "host/tsf/candidate_list.h"
#include "host/tsf/language_bar.h"
#include "host/tsf/service_windows.h"

#include <new>

namespace zv::tsf {

HRESULT createTextService(REFIID riid, void** object) {
    auto* service = new (std::nothrow) TextService();
    if (!service) return E_OUTOFMEMORY;
    const HRESULT hr = service->QueryInterface(riid, object);
    service->Release();
    return hr;
}

TextService::TextService() = default;

TextService::~TextService() = default;

STDMETHODIMP TextService::QueryInterface(REFIID riid, void** object) noexcept {
    if (!object) return E_INVALIDARG;
    *object = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ITfTextInputProcessor) ||
        IsEqualIID(riid, __uuidof(ITfTextInputProcessorEx)))
        *object = static_cast<ITfTextInputProcessorEx*>(this);
    else if (IsEqualIID(riid, IID_ITfThreadMgrEventSink))
        *object = static_cast<ITfThreadMgrEventSink*>(this);
    else if (IsEqualIID(riid, IID_ITfTextEditSink))
        *object = static_cast<ITfTextEditSink*>(this);
    else if (IsEqualIID(riid, IID_ITfKeyEventSink))
        *object = static_cast<ITfKeyEventSink*>(this);
    else if (IsEqualIID(riid, IID_ITfCompositionSink))
        *object = static_cast<ITfCompositionSink*>(this);
    else if (IsEqualIID(riid, __uuidof(ITfDisplayAttributeProvider)))
        *object = static_cast<ITfDisplayAttributeProvider*>(this);
    else if (IsEqualIID(riid, IID_ITfActiveLanguageProfileNotifySink))
        *object = static_cast<ITfActiveLanguageProfileNotifySink*>(this);
    else if (IsEqualIID(riid, IID_ITfThreadFocusSink))
        *object = static_cast<ITfThreadFocusSink*>(this);
    else if (IsEqualIID(riid, IID_ITfCompartmentEventSink))
        *object = static_cast<ITfCompartmentEventSink*>(this);
    else if (IsEqualIID(riid, __uuidof(ITfTextLayoutSink)))
        *object = static_cast<ITfTextLayoutSink*>(this);
    else if (IsEqualIID(riid, IID_ITfFunctionProvider))
        *object = static_cast<ITfFunctionProvider*>(this);
    else if (IsEqualIID(riid, __uuidof(ITfFnConfigure)))
        *object = static_cast<ITfFnConfigure*>(this);
    else if (IsEqualIID(riid, __uuidof(ITfFnReconversion)))
        *object = static_cast<ITfFnReconversion*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) TextService::AddRef() noexcept { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) TextService::Release() noexcept {
    const LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
}

com::ComPtr<ITfContext> TextService::focusContext() const {
    com::ComPtr<ITfContext> context;
    if (!threadMgr_) return context;
    com::ComPtr<ITfDocumentMgr> document;
    if (FAILED(threadMgr_->GetFocus(document.put())) || !document) return context;
    if (FAILED(document->GetTop(context.put()))) context.reset();
    return context;
}

void TextService::applyEngineChanges(TfEditCookie ec, ITfContext* context) {
    if (!engine_) return;
    const EngineChanges changes = takeChanges(*engine_);
    // A key that changed nothing (a release the engine took) writes nothing.
    if (!changes.any()) return;
    for (const EngineChanges::Commit& commit : changes.commits)
        if ((commit.kind & ResultText) && !commit.text.empty()) insertResult(ec, context, commit.text);
    const EngineView view = viewOf(*engine_);
    if (view.composing && !(view.display.empty() && view.reading.empty())) {
        updateComposition(ec, context, view);
        if (CompositionPair* pair = compositionOf(context)) {
            com::ComPtr<ITfRange> range;
            if (SUCCEEDED(pair->composition->GetRange(range.put())) && range) readCaret(ec, context, range.get());
        }
    } else if (compositionOf(context)) {
        cancelComposition(ec, context);
    }
    updateCandidateUi(context, view);
    if (changes.modesChanged) syncCompartments();
    refreshWindows();
}

void TextService::applyChangesOutsideKey() {
    com::ComPtr<ITfContext> context = focusContext();
    if (!context || !editSession(context.get(), false, [this](TfEditCookie ec, ITfContext* c) {
            applyEngineChanges(ec, c);
        })) {
        // No document to write to: the modes still reach the compartments,
        // and nothing of the record is applied later by surprise.
        if (engine_) {
            const EngineChanges changes = takeChanges(*engine_);
            if (changes.modesChanged) syncCompartments();
        }
    }
}

}  // namespace zv::tsf
