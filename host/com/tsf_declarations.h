#pragma once
// The parts of the Text Services Framework that mingw-w64's msctf.h and
// ctfutb.h leave out: the interfaces a text service implements or calls
// beyond the basic ones, and the flags, categories and compartments it
// uses. Written from the platform's public documentation; the layouts are
// the platform's own, so the slot order of every interface matters.

#include <windows.h>
#include <ole2.h>
#include <msctf.h>
#include <ctfutb.h>

#ifndef TF_CLIENTID_NULL
#define TF_CLIENTID_NULL 0
#endif

// ---- Activation flags --------------------------------------------------------

#ifndef TF_TMAE_NOACTIVATETIP
#define TF_TMAE_NOACTIVATETIP 0x00000001
#define TF_TMAE_SECUREMODE 0x00000002
#define TF_TMAE_UIELEMENTENABLEDONLY 0x00000004
#define TF_TMAE_COMLESS 0x00000008
#define TF_TMAE_WOW16 0x00000010
#define TF_TMAE_NOACTIVATEKEYBOARDLAYOUT 0x00000020
#define TF_TMAE_CONSOLE 0x00000040
#endif
#ifndef TF_TMF_IMMERSIVEMODE
#define TF_TMF_IMMERSIVEMODE 0x40000000
#endif
#ifndef TF_TMF_ACTIVATED
#define TF_TMF_ACTIVATED 0x80000000
#endif

// ---- Conversion mode compartment values -------------------------------------

#ifndef TF_CONVERSIONMODE_NATIVE
#define TF_CONVERSIONMODE_ALPHANUMERIC 0x0000
#define TF_CONVERSIONMODE_NATIVE 0x0001
#define TF_CONVERSIONMODE_KATAKANA 0x0002
#define TF_CONVERSIONMODE_FULLSHAPE 0x0008
#define TF_CONVERSIONMODE_ROMAN 0x0010
#define TF_CONVERSIONMODE_CHARCODE 0x0020
#define TF_CONVERSIONMODE_SOFTKEYBOARD 0x0080
#define TF_CONVERSIONMODE_NOCONVERSION 0x0100
#define TF_CONVERSIONMODE_EUDC 0x0200
#define TF_CONVERSIONMODE_SYMBOL 0x0400
#define TF_CONVERSIONMODE_FIXED 0x0800
#endif

// ---- Candidate-list element update flags ---------------------------------------

#ifndef TF_INVALID_UIELEMENTID
#define TF_INVALID_UIELEMENTID 0xFFFFFFFF
#endif
#ifndef TF_CLUIE_DOCUMENTMGR
#define TF_CLUIE_DOCUMENTMGR 0x00000001
#define TF_CLUIE_COUNT 0x00000002
#define TF_CLUIE_SELECTION 0x00000004
#define TF_CLUIE_STRING 0x00000008
#define TF_CLUIE_PAGEINDEX 0x00000010
#define TF_CLUIE_CURRENTPAGE 0x00000020
#endif

// ---- Language-bar item styles, status and update flags ---------------------------

#ifndef TF_LBI_STYLE_SHOWNINTRAY
#define TF_LBI_STYLE_HIDDENSTATUSCONTROL 0x00000001
#define TF_LBI_STYLE_SHOWNINTRAY 0x00000002
#define TF_LBI_STYLE_HIDEONNOOTHERITEMS 0x00000004
#define TF_LBI_STYLE_SHOWNINTRAYONLY 0x00000008
#define TF_LBI_STYLE_HIDDENBYDEFAULT 0x00000010
#define TF_LBI_STYLE_TEXTCOLORICON 0x00000020
#define TF_LBI_STYLE_BTN_BUTTON 0x00010000
#define TF_LBI_STYLE_BTN_MENU 0x00020000
#define TF_LBI_STYLE_BTN_TOGGLE 0x00040000
#endif
#ifndef TF_LBI_STATUS_HIDDEN
#define TF_LBI_STATUS_HIDDEN 0x00000001
#define TF_LBI_STATUS_DISABLED 0x00000002
#define TF_LBI_STATUS_BTN_TOGGLED 0x00010000
#endif
#ifndef TF_LBI_ICON
#define TF_LBI_ICON 0x00000001
#define TF_LBI_TEXT 0x00000002
#define TF_LBI_TOOLTIP 0x00000004
#define TF_LBI_BITMAP 0x00000008
#define TF_LBI_BALLOON 0x00000010
#define TF_LBI_CUSTOMUI 0x00000020
#define TF_LBI_STATUS 0x00010000
#endif
#ifndef TF_LBMENUF_CHECKED
#define TF_LBMENUF_CHECKED 0x00000001
#define TF_LBMENUF_SUBMENU 0x00000002
#define TF_LBMENUF_SEPARATOR 0x00000004
#define TF_LBMENUF_RADIOCHECKED 0x00000008
#define TF_LBMENUF_GRAYED 0x00000010
#endif

typedef enum { TF_LBI_CLK_RIGHT = 1, TF_LBI_CLK_LEFT = 2 } TfLBIClick;
typedef enum { TF_LC_CREATE = 0, TF_LC_CHANGE = 1, TF_LC_DESTROY = 2 } TfLayoutCode;
typedef enum { STYLE_ACTIVE_SELECTION = 0, STYLE_IMPLIED_SELECTION = 1 } TfIntegratableCandidateListSelectionStyle;

// ---- Categories, compartments and items the platform names ---------------------

namespace zv::tsf_guid {
// Categories.
constexpr GUID TipCapSecureMode = {0x49d2f9ce, 0x1f5e, 0x11d7, {0xa6, 0xd3, 0x00, 0x06, 0x5b, 0x84, 0x43, 0x5c}};
constexpr GUID TipCapUiElementEnabled = {0x49d2f9cf, 0x1f5e, 0x11d7, {0xa6, 0xd3, 0x00, 0x06, 0x5b, 0x84, 0x43, 0x5c}};
constexpr GUID TipCapInputModeCompartment = {0xccf05dd7, 0x4a87, 0x11d7, {0xa6, 0xe2, 0x00, 0x06, 0x5b, 0x84, 0x43, 0x5c}};
constexpr GUID TipCapComless = {0x364215d9, 0x75bc, 0x11d7, {0xa6, 0xef, 0x00, 0x06, 0x5b, 0x84, 0x43, 0x5c}};
constexpr GUID TipCapWow16 = {0x364215da, 0x75bc, 0x11d7, {0xa6, 0xef, 0x00, 0x06, 0x5b, 0x84, 0x43, 0x5c}};
constexpr GUID TipCapImmersiveSupport = {0x13a016df, 0x560b, 0x46cd, {0x94, 0x7a, 0x4c, 0x3a, 0xf1, 0xe0, 0xe3, 0x5d}};
constexpr GUID TipCapSystraySupport = {0x25504fb4, 0x7bab, 0x4bc1, {0x9c, 0x69, 0xcf, 0x81, 0x89, 0x0f, 0x0e, 0xf5}};
constexpr GUID TipKeyboard = {0x34745c63, 0xb2f0, 0x4784, {0x8b, 0x67, 0x5e, 0x12, 0xc8, 0x70, 0x1a, 0x31}};
constexpr GUID DisplayAttributeProvider = {0x046b8c80, 0x1647, 0x40f7, {0x9b, 0x21, 0xb9, 0x3b, 0x81, 0xaa, 0xbc, 0x1b}};
// Compartments.
constexpr GUID KeyboardOpenClose = {0x58273aad, 0x01bb, 0x4164, {0x95, 0xc6, 0x75, 0x5b, 0xa0, 0xb5, 0x16, 0x2d}};
constexpr GUID KeyboardDisabled = {0x71a5b253, 0x1951, 0x466b, {0x9f, 0xbc, 0x9c, 0x88, 0x08, 0xfa, 0x84, 0xf2}};
constexpr GUID EmptyContext = {0xd7487dbf, 0x804e, 0x41c5, {0x89, 0x4d, 0xad, 0x96, 0xfd, 0x4e, 0xea, 0x13}};
constexpr GUID KeyboardInputModeConversion = {0xccf05dd8, 0x4a87, 0x11d7, {0xa6, 0xe2, 0x00, 0x06, 0x5b, 0x84, 0x43, 0x5c}};
constexpr GUID KeyboardInputModeSentence = {0xccf05dd9, 0x4a87, 0x11d7, {0xa6, 0xe2, 0x00, 0x06, 0x5b, 0x84, 0x43, 0x5c}};
// The language-bar item the system's input indicator reads.
constexpr GUID LbiInputMode = {0x2c77a81e, 0x41cc, 0x4178, {0xa3, 0xa7, 0x5f, 0x8a, 0x98, 0x75, 0x68, 0xe6}};
// The property that carries display attributes.
constexpr GUID PropAttribute = {0x34b45670, 0x7526, 0x11d2, {0xa1, 0x47, 0x00, 0x10, 0x5a, 0x27, 0x99, 0xb5}};
}  // namespace zv::tsf_guid

// ---- Interfaces ---------------------------------------------------------------

struct ITfCandidateList;  // only passed through (reconversion)

MIDL_INTERFACE("6e4e2102-f9cd-433d-b496-303ce03a6507")
ITfTextInputProcessorEx : public ITfTextInputProcessor {
    virtual HRESULT STDMETHODCALLTYPE ActivateEx(ITfThreadMgr* threadMgr, TfClientId clientId, DWORD flags) = 0;
};

MIDL_INTERFACE("fee47777-163c-4769-996a-6e9c50ad8f54")
ITfDisplayAttributeProvider : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE EnumDisplayAttributeInfo(IEnumTfDisplayAttributeInfo** enumerator) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDisplayAttributeInfo(REFGUID guid, ITfDisplayAttributeInfo** info) = 0;
};

MIDL_INTERFACE("2af2d06a-dd5b-4927-a0b4-54f19c91fade")
ITfTextLayoutSink : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE OnLayoutChange(ITfContext* context, TfLayoutCode code, ITfContextView* view) = 0;
};

MIDL_INTERFACE("6f8a98e4-aaa0-4f15-8c5b-07e0df0a3dd8")
ITfMenu : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE AddMenuItem(UINT id, DWORD flags, HBITMAP bitmap, HBITMAP mask, const WCHAR* text,
                                                  ULONG length, ITfMenu** submenu) = 0;
};

MIDL_INTERFACE("28c7f1d0-de25-11d2-afdd-00105a2799b5")
ITfLangBarItemButton : public ITfLangBarItem {
    virtual HRESULT STDMETHODCALLTYPE OnClick(TfLBIClick click, POINT point, const RECT* area) = 0;
    virtual HRESULT STDMETHODCALLTYPE InitMenu(ITfMenu* menu) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnMenuSelect(UINT id) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetIcon(HICON* icon) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetText(BSTR* text) = 0;
};

MIDL_INTERFACE("ea1ea138-19df-11d7-a6d2-00065b84435c")
ITfCandidateListUIElement : public ITfUIElement {
    virtual HRESULT STDMETHODCALLTYPE GetUpdatedFlags(DWORD* flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDocumentMgr(ITfDocumentMgr** documentMgr) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCount(UINT* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSelection(UINT* index) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetString(UINT index, BSTR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPageIndex(UINT* index, UINT size, UINT* pageCount) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetPageIndex(UINT* index, UINT pageCount) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentPage(UINT* page) = 0;
};

MIDL_INTERFACE("85fad185-58ce-497a-9460-355366b64b9a")
ITfCandidateListUIElementBehavior : public ITfCandidateListUIElement {
    virtual HRESULT STDMETHODCALLTYPE SetSelection(UINT index) = 0;
    virtual HRESULT STDMETHODCALLTYPE Finalize() = 0;
    virtual HRESULT STDMETHODCALLTYPE Abort() = 0;
};

MIDL_INTERFACE("c7a6f54f-b180-416f-b2bf-7bf2e4683d7b")
ITfIntegratableCandidateListUIElement : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetIntegrationStyle(GUID style) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSelectionStyle(TfIntegratableCandidateListSelectionStyle* style) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnKeyDown(WPARAM wParam, LPARAM lParam, BOOL* eaten) = 0;
    virtual HRESULT STDMETHODCALLTYPE ShowCandidateNumbers(BOOL* show) = 0;
    virtual HRESULT STDMETHODCALLTYPE FinalizeExactCompositionString() = 0;
};

MIDL_INTERFACE("db593490-098f-11d3-8df0-00105a2799b5")
ITfFunction : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetDisplayName(BSTR* name) = 0;
};

MIDL_INTERFACE("88f567c6-1757-49f8-a1b2-89234c1eeff9")
ITfFnConfigure : public ITfFunction {
    virtual HRESULT STDMETHODCALLTYPE Show(HWND parent, LANGID language, REFGUID profile) = 0;
};

MIDL_INTERFACE("4cea93c0-0a58-11d3-8df0-00105a2799b5")
ITfFnReconversion : public ITfFunction {
    virtual HRESULT STDMETHODCALLTYPE QueryRange(ITfRange* range, ITfRange** newRange, BOOL* convertible) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetReconversion(ITfRange* range, ITfCandidateList** list) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reconvert(ITfRange* range) = 0;
};

#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(ITfTextInputProcessorEx, 0x6e4e2102, 0xf9cd, 0x433d, 0xb4, 0x96, 0x30, 0x3c, 0xe0, 0x3a, 0x65, 0x07)
__CRT_UUID_DECL(ITfDisplayAttributeProvider, 0xfee47777, 0x163c, 0x4769, 0x99, 0x6a, 0x6e, 0x9c, 0x50, 0xad, 0x8f, 0x54)
__CRT_UUID_DECL(ITfTextLayoutSink, 0x2af2d06a, 0xdd5b, 0x4927, 0xa0, 0xb4, 0x54, 0xf1, 0x9c, 0x91, 0xfa, 0xde)
__CRT_UUID_DECL(ITfMenu, 0x6f8a98e4, 0xaaa0, 0x4f15, 0x8c, 0x5b, 0x07, 0xe0, 0xdf, 0x0a, 0x3d, 0xd8)
__CRT_UUID_DECL(ITfLangBarItemButton, 0x28c7f1d0, 0xde25, 0x11d2, 0xaf, 0xdd, 0x00, 0x10, 0x5a, 0x27, 0x99, 0xb5)
__CRT_UUID_DECL(ITfCandidateListUIElement, 0xea1ea138, 0x19df, 0x11d7, 0xa6, 0xd2, 0x00, 0x06, 0x5b, 0x84, 0x43, 0x5c)
__CRT_UUID_DECL(ITfCandidateListUIElementBehavior, 0x85fad185, 0x58ce, 0x497a, 0x94, 0x60, 0x35, 0x53, 0x66, 0xb6, 0x4b, 0x9a)
__CRT_UUID_DECL(ITfIntegratableCandidateListUIElement, 0xc7a6f54f, 0xb180, 0x416f, 0xb2, 0xbf, 0x7b, 0xf2, 0xe4, 0x68, 0x3d, 0x7b)
__CRT_UUID_DECL(ITfFunction, 0xdb593490, 0x098f, 0x11d3, 0x8d, 0xf0, 0x00, 0x10, 0x5a, 0x27, 0x99, 0xb5)
__CRT_UUID_DECL(ITfFnConfigure, 0x88f567c6, 0x1757, 0x49f8, 0xa1, 0xb2, 0x89, 0x23, 0x4c, 0x1e, 0xef, 0xf9)
__CRT_UUID_DECL(ITfFnReconversion, 0x4cea93c0, 0x0a58, 0x11d3, 0x8d, 0xf0, 0x00, 0x10, 0x5a, 0x27, 0x99, 0xb5)
#endif
