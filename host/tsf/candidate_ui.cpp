// The candidate UI of a composition: a UI element the application may draw
// itself, or the service's own windows when it asks the service to.

#include "host/tsf/text_service.h"

#include "engine/host_view.h"
#include "host/tsf/candidate_list.h"
#include "host/tsf/service_windows.h"

#include <imm.h>

namespace zv::tsf {

namespace {

// The list's number in the candidate notifications (the first list).
constexpr LPARAM kFirstList = 1;

// Tells an application window with an input context of its own that the
// service's candidate window opened, changed or closed: applications that
// place their own text around the candidate window listen for it.
void notifyInputContext(HWND window, WPARAM which) {
    if (!window) return;
    HIMC context = ImmGetContext(window);
    if (!context) return;
    SendMessageW(window, WM_IME_NOTIFY, which, kFirstList);
    ImmReleaseContext(window, context);
}

}  // namespace

void TextService::updateCandidateUi(ITfContext* context, const EngineView& view) {
    if (!compositionOf(context) || view.items.empty()) {
        endCandidateUi();
        return;
    }
    com::ComPtr<ITfUIElementMgr> elements;
    if (threadMgr_) threadMgr_->QueryInterface(IID_ITfUIElementMgr, elements.putVoid());
    if (candidateList_) {
        if (!candidateList_->ownUi && elements) elements->UpdateUIElement(candidateList_->id);
        if (candidateList_->ownUi) notifyInputContext(candidateList_->window, IMN_CHANGECANDIDATE);
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
    if (list->ownUi) {
        list->window = ownerWindow();
        notifyInputContext(list->window, IMN_OPENCANDIDATE);
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
    if (list->ownUi) notifyInputContext(list->window, IMN_CLOSECANDIDATE);
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
