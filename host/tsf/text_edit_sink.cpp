// The text-edit sink: a selection the user moves out of our composition
// (a click elsewhere in the document) ends it without committing.

#include "host/tsf/text_service.h"

#include "engine/host_view.h"
#include "host/tsf/sinks.h"

namespace zv::tsf {

void TextService::adviseTextEditSink(ITfContext* context) {
    unadviseTextEditSink();
    if (advise(context, IID_ITfTextEditSink, static_cast<ITfTextEditSink*>(this), textEditSinkCookie_))
        textEditContext_ = com::ComPtr<ITfContext>(context);
}

void TextService::unadviseTextEditSink() {
    unadvise(textEditContext_.get(), textEditSinkCookie_);
    textEditContext_.reset();
}

STDMETHODIMP TextService::OnEndEdit(ITfContext* context, TfEditCookie readOnly, ITfEditRecord* record) noexcept {
    return guarded([&]() -> HRESULT {
        if (!context || !record || !engine_) return S_OK;
        CompositionPair* pair = compositionOf(context);
        if (!pair) return S_OK;
        BOOL changed = FALSE;
        if (FAILED(record->GetSelectionStatus(&changed)) || !changed) return S_OK;
        TF_SELECTION selection{};
        ULONG fetched = 0;
        if (FAILED(context->GetSelection(readOnly, TF_DEFAULT_SELECTION, 1, &selection, &fetched)) || fetched != 1 ||
            !selection.range)
            return S_OK;
        com::ComPtr<ITfRange> chosen = com::ComPtr<ITfRange>::adopt(selection.range);
        com::ComPtr<ITfRange> range;
        if (FAILED(pair->composition->GetRange(range.put())) || !range) return S_OK;
        LONG startVsStart = 0, endVsEnd = 0;
        if (FAILED(chosen->CompareStart(readOnly, range.get(), TF_ANCHOR_START, &startVsStart)) ||
            FAILED(chosen->CompareEnd(readOnly, range.get(), TF_ANCHOR_END, &endVsEnd)))
            return S_OK;
        const bool inside = startVsStart >= 0 && endVsEnd <= 0;
        if (inside) return S_OK;
        // The selection left the composition: the code is dropped.
        focusLost(*engine_);
        takeChanges(*engine_);
        editSession(context, false, [this](TfEditCookie ec, ITfContext* c) { cancelComposition(ec, c); });
        return S_OK;
    });
}

}  // namespace zv::tsf
