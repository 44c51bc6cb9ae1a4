#pragma once
// The candidate list as a UI element, for applications that draw the list
// themselves (games, touch and search surfaces). It reads the engine's page
// whenever asked, so it never holds a stale copy.

#include "host/com/com_ptr.h"
#include "host/com/com_object.h"
#include "host/com/tsf_declarations.h"

namespace zv::tsf {

class TextService;

class CandidateList final
    : public com::ComObject<ITfCandidateListUIElementBehavior, ITfIntegratableCandidateListUIElement> {
public:
    CandidateList(TextService& service, ITfContext* context);

    // ITfUIElement
    STDMETHODIMP GetDescription(BSTR* description) noexcept override;
    STDMETHODIMP GetGUID(GUID* guid) noexcept override;
    STDMETHODIMP Show(BOOL show) noexcept override;
    STDMETHODIMP IsShown(BOOL* shown) noexcept override;
    // ITfCandidateListUIElement
    STDMETHODIMP GetUpdatedFlags(DWORD* flags) noexcept override;
    STDMETHODIMP GetDocumentMgr(ITfDocumentMgr** documentMgr) noexcept override;
    STDMETHODIMP GetCount(UINT* count) noexcept override;
    STDMETHODIMP GetSelection(UINT* index) noexcept override;
    STDMETHODIMP GetString(UINT index, BSTR* text) noexcept override;
    STDMETHODIMP GetPageIndex(UINT* index, UINT size, UINT* pageCount) noexcept override;
    STDMETHODIMP SetPageIndex(UINT* index, UINT pageCount) noexcept override;
    STDMETHODIMP GetCurrentPage(UINT* page) noexcept override;
    // ITfCandidateListUIElementBehavior
    STDMETHODIMP SetSelection(UINT index) noexcept override;
    STDMETHODIMP Finalize() noexcept override;
    STDMETHODIMP Abort() noexcept override;
    // ITfIntegratableCandidateListUIElement
    STDMETHODIMP SetIntegrationStyle(GUID style) noexcept override;
    STDMETHODIMP GetSelectionStyle(TfIntegratableCandidateListSelectionStyle* style) noexcept override;
    STDMETHODIMP OnKeyDown(WPARAM wParam, LPARAM lParam, BOOL* eaten) noexcept override;
    STDMETHODIMP ShowCandidateNumbers(BOOL* show) noexcept override;
    STDMETHODIMP FinalizeExactCompositionString() noexcept override;

    // The service lets go of the element (it ended): later calls find no
    // engine and answer E_FAIL.
    void detach() { service_ = nullptr; }

    DWORD id = TF_INVALID_UIELEMENTID;
    // The application asked the service to draw the list itself.
    bool ownUi = true;
    // The application window the service's list belongs to.
    HWND window = nullptr;

private:
    void* answer(REFIID riid) noexcept override;

    TextService* service_;
    com::ComPtr<ITfContext> context_;
};

}  // namespace zv::tsf
