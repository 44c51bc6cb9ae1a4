// The candidate UI of a composition: a UI element the application may draw
// itself, or the service's own windows when it asks the service to.

#include "host/tsf/text_service.h"

#include "engine/host_view.h"
#include "host/tsf/candidate_list.h"
#include "host/tsf/service_windows.h"

namespace zv::tsf {

void TextService::updateCandidateUi(ITfContext* context, const EngineView& view) {
    if (!compositionOf(context) || view.items.empty()) {
        endCandidateUi();
        return;
    }
    com::ComPtr<ITfUIElementMgr> elements;
    if (threadMgr_) threadMgr_->QueryInterface(IID_ITfUIElementMgr, elements.putVoid());
    if (candidateList_) {
        if (!candidateList_->ownUi && elements) elements->UpdateUIElement(candidateList_->id);
        return;
    }
    auto list = com::ComPtr<CandidateList>::adopt(new CandidateList(*this, context));
    BOOL show = TRUE;
    DWORD id = TF_INVALID_UIELEMENTID;
    // A host without the element manager gets the service's own windows.
    if (elements && SUCCEEDED(elements->BeginUIElement(list.get(), &show, &id))) {
        list->id = id;
        list->ownUi = show != FALSE;
        if (list->ownUi) {
            elements->EndUIElement(id);
            list->id = TF_INVALID_UIELEMENTID;
        }
    }
    candidateList_ = list;
}

void TextService::endCandidateUi() {
    if (!candidateList_) return;
    com::ComPtr<CandidateList> list = std::move(candidateList_);
    candidateList_.reset();
    if (list->id != TF_INVALID_UIELEMENTID && threadMgr_) {
        com::ComPtr<ITfUIElementMgr> elements;
        if (SUCCEEDED(threadMgr_->QueryInterface(IID_ITfUIElementMgr, elements.putVoid())) && elements)
            elements->EndUIElement(list->id);
    }
    list->detach();
    hideWindows();
}

void TextService::refreshWindows() {
    if (!windows_ || !engine_) return;
    // An application that draws the list itself sees none of ours.
    const bool own = !candidateList_ || candidateList_->ownUi;
    windows_->refresh(own, caret_, haveCaret_, ownerWindow());
}

HWND TextService::ownerWindow() const {
    // Windows owned by the application's view show above immersive
    // surfaces too; without a view, the focus window owns them.
    HWND owner = nullptr;
    if (com::ComPtr<ITfContext> context = focusContext()) {
        com::ComPtr<ITfContextView> view;
        if (SUCCEEDED(context->GetActiveView(view.put())) && view && FAILED(view->GetWnd(&owner))) owner = nullptr;
    }
    return owner ? owner : GetFocus();
}

void TextService::afterUiCommand() {
    applyChangesOutsideKey();
    syncCompartments();
}

void TextService::hideWindows() {
    if (windows_) windows_->hideCandidates();
}

}  // namespace zv::tsf
