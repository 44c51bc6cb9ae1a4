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

void* TextService::answer(REFIID riid) noexcept {
    if (IsEqualIID(riid, IID_ITfTextInputProcessor) || IsEqualIID(riid, __uuidof(ITfTextInputProcessorEx)))
        return static_cast<ITfTextInputProcessorEx*>(this);
    if (IsEqualIID(riid, IID_ITfThreadMgrEventSink)) return static_cast<ITfThreadMgrEventSink*>(this);
    if (IsEqualIID(riid, IID_ITfTextEditSink)) return static_cast<ITfTextEditSink*>(this);
    if (IsEqualIID(riid, IID_ITfKeyEventSink)) return static_cast<ITfKeyEventSink*>(this);
    if (IsEqualIID(riid, IID_ITfCompositionSink)) return static_cast<ITfCompositionSink*>(this);
    if (IsEqualIID(riid, __uuidof(ITfDisplayAttributeProvider)))
        return static_cast<ITfDisplayAttributeProvider*>(this);
    if (IsEqualIID(riid, IID_ITfActiveLanguageProfileNotifySink))
        return static_cast<ITfActiveLanguageProfileNotifySink*>(this);
    if (IsEqualIID(riid, IID_ITfThreadFocusSink)) return static_cast<ITfThreadFocusSink*>(this);
    if (IsEqualIID(riid, IID_ITfCompartmentEventSink)) return static_cast<ITfCompartmentEventSink*>(this);
    if (IsEqualIID(riid, __uuidof(ITfTextLayoutSink))) return static_cast<ITfTextLayoutSink*>(this);
    if (IsEqualIID(riid, IID_ITfFunctionProvider)) return static_cast<ITfFunctionProvider*>(this);
    if (IsEqualIID(riid, __uuidof(ITfFnConfigure))) return static_cast<ITfFnConfigure*>(this);
    if (IsEqualIID(riid, __uuidof(ITfFnReconversion))) return static_cast<ITfFnReconversion*>(this);
    return nullptr;
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
