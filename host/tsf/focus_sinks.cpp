// Focus: the document that gains the focus gets the text-edit sink and the
// preserved keys; a document or thread that loses it ends the composition
// cleanly, without committing.

#include "host/tsf/text_service.h"

#include "host/tsf/service_windows.h"

namespace zv::tsf {

STDMETHODIMP TextService::OnSetFocus(ITfDocumentMgr* focus, ITfDocumentMgr*) noexcept {
    return guarded([&]() -> HRESULT {
        if (!engine_) return S_OK;
        abandonCompositions();
        refreshTables(*engine_);
        preserveKeys();
        unadviseTextEditSink();
        com::ComPtr<ITfContext> top;
        if (focus && SUCCEEDED(focus->GetTop(top.put())) && top) adviseTextEditSink(top.get());
        updateLanguageBar(!focus);
        if (windows_) {
            if (focus) windows_->focusGained();
            else windows_->hideAll();
        }
        return S_OK;
    });
}

STDMETHODIMP TextService::OnSetThreadFocus() noexcept {
    return guarded([&]() -> HRESULT {
        updateLanguageBar(false);
        if (windows_) windows_->showIndicators();
        return S_OK;
    });
}

STDMETHODIMP TextService::OnKillThreadFocus() noexcept {
    return guarded([&]() -> HRESULT {
        if (!engine_) return S_OK;
        abandonCompositions();
        updateLanguageBar(true);
        if (windows_) windows_->hideAll();
        return S_OK;
    });
}

}  // namespace zv::tsf
