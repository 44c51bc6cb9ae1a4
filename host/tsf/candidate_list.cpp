#include "host/tsf/candidate_list.h"

#include "engine/host_view.h"
#include "host/com/service_ids.h"
#include "host/tsf/text_service.h"

namespace zv::tsf {

namespace {

constexpr wchar_t kDisplayName[] = L"佐文五笔";
constexpr DWORD kAllUpdated = TF_CLUIE_DOCUMENTMGR | TF_CLUIE_COUNT | TF_CLUIE_SELECTION | TF_CLUIE_STRING |
                              TF_CLUIE_PAGEINDEX | TF_CLUIE_CURRENTPAGE;

struct Page {
    UINT start = 0;  // the list position of the page's first candidate
    UINT size = 0;   // the page size in force
    UINT pages = 0;
    UINT count = 0;
};

Page pageOf(EngineContext& engine, const EngineView& view) {
    Page p;
    if (view.items.empty() || view.pageSize <= 0) return p;
    p.size = static_cast<UINT>(view.pageSize);
    p.start = static_cast<UINT>(view.pageNumber) * p.size;
    p.pages = view.lastPage ? static_cast<UINT>(view.pageNumber) + 1 : static_cast<UINT>(pageCount(engine));
    if (p.pages == 0) p.pages = 1;
    p.count = view.lastPage ? p.start + static_cast<UINT>(view.items.size()) : p.pages * p.size;
    return p;
}

}  // namespace

CandidateList::CandidateList(TextService& service, ITfContext* context)
    : service_(&service), context_(context) {}

void* CandidateList::answer(REFIID riid) noexcept {
    if (IsEqualIID(riid, IID_ITfUIElement) || IsEqualIID(riid, __uuidof(ITfCandidateListUIElement)) ||
        IsEqualIID(riid, __uuidof(ITfCandidateListUIElementBehavior)))
        return static_cast<ITfCandidateListUIElementBehavior*>(this);
    if (IsEqualIID(riid, __uuidof(ITfIntegratableCandidateListUIElement)))
        return static_cast<ITfIntegratableCandidateListUIElement*>(this);
    return nullptr;
}

STDMETHODIMP CandidateList::GetDescription(BSTR* description) noexcept {
    if (!description) return E_INVALIDARG;
    *description = SysAllocString(kDisplayName);
    return *description ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CandidateList::GetGUID(GUID* guid) noexcept {
    if (!guid) return E_INVALIDARG;
    return guarded([&]() -> HRESULT {
        *guid = com::serviceClassId();
        return S_OK;
    });
}

STDMETHODIMP CandidateList::Show(BOOL show) noexcept {
    ownUi = show != FALSE;
    return guarded([&]() -> HRESULT {
        if (service_) {
            if (ownUi) service_->refreshWindows();
            else service_->hideWindows();
        }
        return S_OK;
    });
}

STDMETHODIMP CandidateList::IsShown(BOOL* shown) noexcept {
    if (!shown) return E_INVALIDARG;
    *shown = ownUi ? TRUE : FALSE;
    return S_OK;
}

STDMETHODIMP CandidateList::GetUpdatedFlags(DWORD* flags) noexcept {
    if (!flags) return E_INVALIDARG;
    *flags = kAllUpdated;
    return S_OK;
}

STDMETHODIMP CandidateList::GetDocumentMgr(ITfDocumentMgr** documentMgr) noexcept {
    if (!documentMgr) return E_INVALIDARG;
    *documentMgr = nullptr;
    return context_ ? context_->GetDocumentMgr(documentMgr) : E_FAIL;
}

STDMETHODIMP CandidateList::GetCount(UINT* count) noexcept {
    if (!count) return E_INVALIDARG;
    *count = 0;
    return guarded([&]() -> HRESULT {
        if (!service_ || !service_->engine()) return E_FAIL;
        *count = pageOf(*service_->engine(), viewOf(*service_->engine())).count;
        return S_OK;
    });
}

STDMETHODIMP CandidateList::GetSelection(UINT* index) noexcept {
    if (!index) return E_INVALIDARG;
    *index = 0;
    return guarded([&]() -> HRESULT {
        if (!service_ || !service_->engine()) return E_FAIL;
        const EngineView view = viewOf(*service_->engine());
        *index = pageOf(*service_->engine(), view).start + static_cast<UINT>(view.highlight > 0 ? view.highlight : 0);
        return S_OK;
    });
}

STDMETHODIMP CandidateList::GetString(UINT index, BSTR* text) noexcept {
    if (!text) return E_INVALIDARG;
    *text = nullptr;
    return guarded([&]() -> HRESULT {
        if (!service_ || !service_->engine()) return E_FAIL;
        const EngineView view = viewOf(*service_->engine());
        const Page page = pageOf(*service_->engine(), view);
        if (index >= page.count) return E_INVALIDARG;
        // Only the shown page is worked out; other positions read empty.
        std::u16string_view shown;
        if (index >= page.start && index - page.start < view.items.size())
            shown = view.items[index - page.start].display;
        *text = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(shown.data()), static_cast<UINT>(shown.size()));
        return *text ? S_OK : E_OUTOFMEMORY;
    });
}

STDMETHODIMP CandidateList::GetPageIndex(UINT* index, UINT size, UINT* pageCount) noexcept {
    if (!pageCount) return E_INVALIDARG;
    *pageCount = 0;
    return guarded([&]() -> HRESULT {
        if (!service_ || !service_->engine()) return E_FAIL;
        const Page page = pageOf(*service_->engine(), viewOf(*service_->engine()));
        *pageCount = page.pages;
        if (!index) return S_OK;
        if (size < page.pages) return E_INVALIDARG;
        for (UINT i = 0; i < page.pages; ++i) index[i] = i * page.size;
        return S_OK;
    });
}

STDMETHODIMP CandidateList::SetPageIndex(UINT*, UINT) noexcept { return E_NOTIMPL; }

STDMETHODIMP CandidateList::GetCurrentPage(UINT* page) noexcept {
    if (!page) return E_INVALIDARG;
    *page = 0;
    return guarded([&]() -> HRESULT {
        if (!service_ || !service_->engine()) return E_FAIL;
        const EngineView view = viewOf(*service_->engine());
        *page = view.items.empty() ? 0 : static_cast<UINT>(view.pageNumber);
        return S_OK;
    });
}

STDMETHODIMP CandidateList::SetSelection(UINT) noexcept { return E_NOTIMPL; }

STDMETHODIMP CandidateList::Finalize() noexcept {
    return guarded([&]() -> HRESULT {
        if (!service_ || !service_->engine()) return E_FAIL;
        commitNow(*service_->engine());
        service_->applyChangesOutsideKey();
        return S_OK;
    });
}

STDMETHODIMP CandidateList::Abort() noexcept {
    return guarded([&]() -> HRESULT {
        if (!service_ || !service_->engine()) return E_FAIL;
        clearInput(*service_->engine(), true);
        service_->applyChangesOutsideKey();
        return S_OK;
    });
}

STDMETHODIMP CandidateList::SetIntegrationStyle(GUID) noexcept { return S_OK; }

STDMETHODIMP CandidateList::GetSelectionStyle(TfIntegratableCandidateListSelectionStyle* style) noexcept {
    if (!style) return E_INVALIDARG;
    *style = STYLE_ACTIVE_SELECTION;
    return S_OK;
}

STDMETHODIMP CandidateList::OnKeyDown(WPARAM, LPARAM, BOOL* eaten) noexcept {
    if (!eaten) return E_INVALIDARG;
    *eaten = FALSE;
    return S_OK;
}

STDMETHODIMP CandidateList::ShowCandidateNumbers(BOOL* show) noexcept {
    if (!show) return E_INVALIDARG;
    *show = TRUE;
    return S_OK;
}

STDMETHODIMP CandidateList::FinalizeExactCompositionString() noexcept { return E_NOTIMPL; }

}  // namespace zv::tsf
