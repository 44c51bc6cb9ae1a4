#pragma once
// Every method of the framework interfaces the fake host implements,
// answering E_NOTIMPL, so that each fake states only what it does.

#include <windows.h>
#include <msctf.h>
#include <ctfutb.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

namespace zv::test {

struct StubITfThreadMgrEx : ITfThreadMgrEx {
    HRESULT STDMETHODCALLTYPE Activate(TfClientId *ptid) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Deactivate() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateDocumentMgr(ITfDocumentMgr **ppdim) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDocumentMgrs(IEnumTfDocumentMgrs **ppEnum) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFocus(ITfDocumentMgr **ppdimFocus) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetFocus(ITfDocumentMgr *pdimFocus) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AssociateFocus(HWND hwnd, ITfDocumentMgr *pdimNew, ITfDocumentMgr **ppdimPrev) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsThreadFocus(WINBOOL *pfThreadFocus) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFunctionProvider(REFCLSID clsid, ITfFunctionProvider **ppFuncProv) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFunctionProviders(IEnumTfFunctionProviders **ppEnum) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetGlobalCompartment(ITfCompartmentMgr **ppCompMgr) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ActivateEx(TfClientId *id, DWORD flags) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetActiveFlags(DWORD *flags) override { return E_NOTIMPL; }
};

struct StubITfKeystrokeMgr : ITfKeystrokeMgr {
    HRESULT STDMETHODCALLTYPE AdviseKeyEventSink(TfClientId tid, ITfKeyEventSink *pSink, WINBOOL fForeground) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnadviseKeyEventSink(TfClientId tid) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetForeground(CLSID *pclsid) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TestKeyDown(WPARAM wParam, LPARAM lParam, WINBOOL *pfEaten) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TestKeyUp(WPARAM wParam, LPARAM lParam, WINBOOL *pfEaten) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE KeyDown(WPARAM wParam, LPARAM lParam, WINBOOL *pfEaten) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE KeyUp(WPARAM wParam, LPARAM lParam, WINBOOL *pfEaten) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPreservedKey(ITfContext *pic, const TF_PRESERVEDKEY *pprekey, GUID *pguid) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsPreservedKey(REFGUID rguid, const TF_PRESERVEDKEY *pprekey, WINBOOL *pfRegistered) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PreserveKey(TfClientId tid, REFGUID rguid, const TF_PRESERVEDKEY *prekey, const WCHAR *pchDesc, ULONG cchDesc) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnpreserveKey(REFGUID rguid, const TF_PRESERVEDKEY *pprekey) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPreservedKeyDescription(REFGUID rguid, const WCHAR *pchDesc, ULONG cchDesc) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPreservedKeyDescription(REFGUID rguid, BSTR *pbstrDesc) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SimulatePreservedKey(ITfContext *pic, REFGUID rguid, WINBOOL *pfEaten) override { return E_NOTIMPL; }
};

struct StubITfSource : ITfSource {
    HRESULT STDMETHODCALLTYPE AdviseSink(REFIID riid, IUnknown *punk, DWORD *pdwCookie) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnadviseSink(DWORD dwCookie) override { return E_NOTIMPL; }
};

struct StubITfCompartmentMgr : ITfCompartmentMgr {
    HRESULT STDMETHODCALLTYPE GetCompartment(REFGUID rguid, ITfCompartment **ppcomp) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ClearCompartment(TfClientId tid, REFGUID rguid) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumCompartments(IEnumGUID **ppEnum) override { return E_NOTIMPL; }
};

struct StubITfCompartment : ITfCompartment {
    HRESULT STDMETHODCALLTYPE SetValue(TfClientId tid, const VARIANT *pvarValue) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetValue(VARIANT *pvarValue) override { return E_NOTIMPL; }
};

struct StubITfUIElementMgr : ITfUIElementMgr {
    HRESULT STDMETHODCALLTYPE BeginUIElement(ITfUIElement *element, WINBOOL *show, DWORD *id) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UpdateUIElement(DWORD id) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EndUIElement(DWORD id) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUIElement(DWORD id, ITfUIElement **element) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumUIElements(IEnumTfUIElements **enum_elements) override { return E_NOTIMPL; }
};

struct StubITfLangBarItemMgr : ITfLangBarItemMgr {
    HRESULT STDMETHODCALLTYPE EnumItems(IEnumTfLangBarItems **ppEnum) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetItem(REFGUID rguid, ITfLangBarItem **ppItem) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddItem(ITfLangBarItem *punk) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveItem(ITfLangBarItem *punk) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AdviseItemSink(ITfLangBarItemSink *punk, DWORD *pdwCookie, REFGUID rguidItem) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnadviseItemSink(DWORD dwCookie) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetItemFloatingRect(DWORD dwThreadId, REFGUID rguid, RECT *prc) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetItemsStatus(ULONG ulCount, const GUID *prgguid, DWORD *pdwStatus) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetItemNum(ULONG *pulCount) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetItems(ULONG ulCount, ITfLangBarItem **ppItem, TF_LANGBARITEMINFO *pInfo, DWORD *pdwStatus, ULONG *pcFetched) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AdviseItemsSink(ULONG ulCount, ITfLangBarItemSink **ppunk, const GUID *pguidItem, DWORD *pdwCookie) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnadviseItemsSink(ULONG ulCount, DWORD *pdwCookie) override { return E_NOTIMPL; }
};

struct StubITfDocumentMgr : ITfDocumentMgr {
    HRESULT STDMETHODCALLTYPE CreateContext(TfClientId tidOwner, DWORD dwFlags, IUnknown *punk, ITfContext **ppic, TfEditCookie *pecTextStore) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Push(ITfContext *pic) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Pop(DWORD dwFlags) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTop(ITfContext **ppic) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBase(ITfContext **ppic) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumContexts(IEnumTfContexts **ppEnum) override { return E_NOTIMPL; }
};

struct StubITfContext : ITfContext {
    HRESULT STDMETHODCALLTYPE RequestEditSession(TfClientId tid, ITfEditSession *pes, DWORD dwFlags, HRESULT *phrSession) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InWriteSession(TfClientId tid, WINBOOL *pfWriteSession) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSelection(TfEditCookie ec, ULONG ulIndex, ULONG ulCount, TF_SELECTION *pSelection, ULONG *pcFetched) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSelection(TfEditCookie ec, ULONG ulCount, const TF_SELECTION *pSelection) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStart(TfEditCookie ec, ITfRange **ppStart) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetEnd(TfEditCookie ec, ITfRange **ppEnd) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetActiveView(ITfContextView **ppView) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumViews(IEnumTfContextViews **ppEnum) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStatus(TF_STATUS *pdcs) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetProperty(REFGUID guidProp, ITfProperty **ppProp) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAppProperty(REFGUID guidProp, ITfReadOnlyProperty **ppProp) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TrackProperties(const GUID **prgProp, ULONG cProp, const GUID **prgAppProp, ULONG cAppProp, ITfReadOnlyProperty **ppProperty) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumProperties(IEnumTfProperties **ppEnum) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDocumentMgr(ITfDocumentMgr **ppDm) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateRangeBackup(TfEditCookie ec, ITfRange *pRange, ITfRangeBackup **ppBackup) override { return E_NOTIMPL; }
};

struct StubITfContextComposition : ITfContextComposition {
    HRESULT STDMETHODCALLTYPE StartComposition(TfEditCookie ecWrite, ITfRange *pCompositionRange, ITfCompositionSink *pSink, ITfComposition **ppComposition) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumCompositions(IEnumITfCompositionView **ppEnum) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindComposition(TfEditCookie ecRead, ITfRange *pTestRange, IEnumITfCompositionView **ppEnum) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TakeOwnership(TfEditCookie ecWrite, ITfCompositionView *pComposition, ITfCompositionSink *pSink, ITfComposition **ppComposition) override { return E_NOTIMPL; }
};

struct StubITfComposition : ITfComposition {
    HRESULT STDMETHODCALLTYPE GetRange(ITfRange **ppRange) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShiftStart(TfEditCookie ecWrite, ITfRange *pNewStart) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShiftEnd(TfEditCookie ecWrite, ITfRange *pNewEnd) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EndComposition(TfEditCookie ecWrite) override { return E_NOTIMPL; }
};

struct StubITfInsertAtSelection : ITfInsertAtSelection {
    HRESULT STDMETHODCALLTYPE InsertTextAtSelection(TfEditCookie ec, DWORD dwFlags, const WCHAR *pchText, LONG cch, ITfRange **ppRange) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InsertEmbeddedAtSelection(TfEditCookie ec, DWORD dwFlags, IDataObject *pDataObject, ITfRange **ppRange) override { return E_NOTIMPL; }
};

struct StubITfRange : ITfRange {
    HRESULT STDMETHODCALLTYPE GetText(TfEditCookie ec, DWORD dwFlags, WCHAR *pchText, ULONG cchMax, ULONG *pcch) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetText(TfEditCookie ec, DWORD dwFlags, const WCHAR *pchText, LONG cch) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFormattedText(TfEditCookie ec, IDataObject **ppDataObject) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetEmbedded(TfEditCookie ec, REFGUID rguidService, REFIID riid, IUnknown **ppunk) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InsertEmbedded(TfEditCookie ec, DWORD dwFlags, IDataObject *pDataObject) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShiftStart(TfEditCookie ec, LONG cchReq, LONG *pcch, const TF_HALTCOND *pHalt) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShiftEnd(TfEditCookie ec, LONG cchReq, LONG *pcch, const TF_HALTCOND *pHalt) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShiftStartToRange(TfEditCookie ec, ITfRange *pRange, TfAnchor aPos) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShiftEndToRange(TfEditCookie ec, ITfRange *pRange, TfAnchor aPos) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShiftStartRegion(TfEditCookie ec, TfShiftDir dir, WINBOOL *pfNoRegion) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShiftEndRegion(TfEditCookie ec, TfShiftDir dir, WINBOOL *pfNoRegion) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsEmpty(TfEditCookie ec, WINBOOL *pfEmpty) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Collapse(TfEditCookie ec, TfAnchor aPos) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsEqualStart(TfEditCookie ec, ITfRange *pWith, TfAnchor aPos, WINBOOL *pfEqual) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsEqualEnd(TfEditCookie ec, ITfRange *pWith, TfAnchor aPos, WINBOOL *pfEqual) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CompareStart(TfEditCookie ec, ITfRange *pWith, TfAnchor aPos, LONG *plResult) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CompareEnd(TfEditCookie ec, ITfRange *pWith, TfAnchor aPos, LONG *plResult) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AdjustForInsert(TfEditCookie ec, ULONG cchInsert, WINBOOL *pfInsertOk) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetGravity(TfGravity *pgStart, TfGravity *pgEnd) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetGravity(TfEditCookie ec, TfGravity gStart, TfGravity gEnd) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(ITfRange **ppClone) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContext(ITfContext **ppContext) override { return E_NOTIMPL; }
};

struct StubITfProperty : ITfProperty {
    HRESULT STDMETHODCALLTYPE GetType(GUID *pguid) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumRanges(TfEditCookie ec, IEnumTfRanges **ppEnum, ITfRange *pTargetRange) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetValue(TfEditCookie ec, ITfRange *pRange, VARIANT *pvarValue) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContext(ITfContext **ppContext) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindRange(TfEditCookie ec, ITfRange *pRange, ITfRange **ppRange, TfAnchor aPos) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetValueStore(TfEditCookie ec, ITfRange *pRange, ITfPropertyStore *pPropStore) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetValue(TfEditCookie ec, ITfRange *pRange, const VARIANT *pvarValue) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clear(TfEditCookie ec, ITfRange *pRange) override { return E_NOTIMPL; }
};

struct StubITfContextView : ITfContextView {
    HRESULT STDMETHODCALLTYPE GetRangeFromPoint(TfEditCookie cookie, const POINT *pt, DWORD flags, ITfRange **range) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTextExt(TfEditCookie cookie, ITfRange *range, RECT *rect, WINBOOL *clipped) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetScreenExt(RECT *rect) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetWnd(HWND *hwnd) override { return E_NOTIMPL; }
};

struct StubITfEditRecord : ITfEditRecord {
    HRESULT STDMETHODCALLTYPE GetSelectionStatus(WINBOOL *changed) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTextAndPropertyUpdates(DWORD flags, const GUID **props, ULONG count, IEnumTfRanges **ret) override { return E_NOTIMPL; }
};

}  // namespace zv::test

#pragma GCC diagnostic pop
