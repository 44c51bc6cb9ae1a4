#pragma once
// The text service: the text input processor the framework loads into each
// application thread that takes text. It owns one engine for the thread,
// feeds it the keys, writes the composition and what is committed into the
// document through edit sessions, and keeps the keyboard compartments in
// step with the engine's modes. Its methods are split over one file per
// interface; the work they share lives here.
//
// Every COM method is noexcept and catches everything: nothing thrown and no
// allocation failure leaves it (a key is then not eaten).

#include "engine/host.h"
#include "host/com/com_ptr.h"
#include "host/com/com_object.h"
#include "host/com/tsf_declarations.h"

#include <array>
#include <memory>
#include <vector>

namespace zv {
struct EngineView;
}

namespace zv::tsf {

class CandidateList;
class LangBarItem;
struct ServiceWindows;

HRESULT createTextService(REFIID riid, void** object);

// A composition this service started, with the context it lives in.
struct CompositionPair {
    com::ComPtr<ITfContext> context;
    com::ComPtr<ITfComposition> composition;
};
// The most compositions remembered at once (one per context).
constexpr size_t kMaxCompositions = 5;

// The display attributes, in the order of their atoms.
enum class Attribute { Input = 0, Converted = 1, None = 2 };

class TextService final
    : public com::ComObject<ITfTextInputProcessorEx, ITfThreadMgrEventSink, ITfTextEditSink, ITfKeyEventSink,
                            ITfCompositionSink, ITfDisplayAttributeProvider, ITfActiveLanguageProfileNotifySink,
                            ITfThreadFocusSink, ITfCompartmentEventSink, ITfTextLayoutSink, ITfFunctionProvider,
                            ITfFnConfigure, ITfFnReconversion> {
public:
    TextService();
    ~TextService();

    // ITfTextInputProcessor(Ex): activation.cpp
    STDMETHODIMP Activate(ITfThreadMgr* threadMgr, TfClientId clientId) noexcept override;
    STDMETHODIMP ActivateEx(ITfThreadMgr* threadMgr, TfClientId clientId, DWORD flags) noexcept override;
    STDMETHODIMP Deactivate() noexcept override;

    // ITfThreadMgrEventSink, ITfThreadFocusSink: focus_sinks.cpp
    STDMETHODIMP OnInitDocumentMgr(ITfDocumentMgr*) noexcept override { return S_OK; }
    STDMETHODIMP OnUninitDocumentMgr(ITfDocumentMgr*) noexcept override { return S_OK; }
    STDMETHODIMP OnSetFocus(ITfDocumentMgr* focus, ITfDocumentMgr* previous) noexcept override;
    STDMETHODIMP OnPushContext(ITfContext*) noexcept override { return S_OK; }
    STDMETHODIMP OnPopContext(ITfContext*) noexcept override { return S_OK; }
    STDMETHODIMP OnSetThreadFocus() noexcept override;
    STDMETHODIMP OnKillThreadFocus() noexcept override;

    // ITfTextEditSink: text_edit_sink.cpp
    STDMETHODIMP OnEndEdit(ITfContext* context, TfEditCookie readOnly, ITfEditRecord* record) noexcept override;

    // ITfKeyEventSink: key_event_sink.cpp
    STDMETHODIMP OnSetFocus(BOOL foreground) noexcept override;
    STDMETHODIMP OnTestKeyDown(ITfContext* context, WPARAM wParam, LPARAM lParam, BOOL* eaten) noexcept override;
    STDMETHODIMP OnKeyDown(ITfContext* context, WPARAM wParam, LPARAM lParam, BOOL* eaten) noexcept override;
    STDMETHODIMP OnTestKeyUp(ITfContext* context, WPARAM wParam, LPARAM lParam, BOOL* eaten) noexcept override;
    STDMETHODIMP OnKeyUp(ITfContext* context, WPARAM wParam, LPARAM lParam, BOOL* eaten) noexcept override;
    STDMETHODIMP OnPreservedKey(ITfContext* context, REFGUID guid, BOOL* eaten) noexcept override;

    // ITfCompositionSink: composition.cpp
    STDMETHODIMP OnCompositionTerminated(TfEditCookie write, ITfComposition* composition) noexcept override;

    // ITfDisplayAttributeProvider: display_attributes.cpp
    STDMETHODIMP EnumDisplayAttributeInfo(IEnumTfDisplayAttributeInfo** enumerator) noexcept override;
    STDMETHODIMP GetDisplayAttributeInfo(REFGUID guid, ITfDisplayAttributeInfo** info) noexcept override;

    // ITfActiveLanguageProfileNotifySink
    STDMETHODIMP OnActivated(REFCLSID, REFGUID, BOOL) noexcept override { return S_OK; }

    // ITfCompartmentEventSink: compartments.cpp
    STDMETHODIMP OnChange(REFGUID compartment) noexcept override;

    // ITfTextLayoutSink: text_layout.cpp
    STDMETHODIMP OnLayoutChange(ITfContext* context, TfLayoutCode code, ITfContextView* view) noexcept override;

    // ITfFunctionProvider, ITfFnConfigure, ITfFnReconversion: functions.cpp
    STDMETHODIMP GetType(GUID* guid) noexcept override;
    STDMETHODIMP GetDescription(BSTR* description) noexcept override;
    STDMETHODIMP GetFunction(REFGUID group, REFIID riid, IUnknown** function) noexcept override;
    STDMETHODIMP GetDisplayName(BSTR* name) noexcept override;
    STDMETHODIMP Show(HWND parent, LANGID language, REFGUID profile) noexcept override;
    STDMETHODIMP QueryRange(ITfRange* range, ITfRange** newRange, BOOL* convertible) noexcept override;
    STDMETHODIMP GetReconversion(ITfRange* range, ITfCandidateList** list) noexcept override;
    STDMETHODIMP Reconvert(ITfRange* range) noexcept override;

    // ---- What the parts share ----------------------------------------------

    EngineContext* engine() { return engine_.get(); }
    bool active() const { return static_cast<bool>(threadMgr_); }
    TfClientId clientId() const { return clientId_; }
    ITfThreadMgr* threadMgr() const { return threadMgr_.get(); }

    // The top context of the focused document, if any.
    com::ComPtr<ITfContext> focusContext() const;

    // Applies what the engine changed since the last time to the document
    // of `context`, inside an edit session with write access: the commits
    // in their order, then the composition as the engine now shows it, the
    // candidate list and the modes. A commit that starts the next code thus
    // ends the old composition and starts the new one in one session.
    void applyEngineChanges(TfEditCookie ec, ITfContext* context);
    // Engine work done outside a key (a click, a menu command, a mode
    // switch): its changes go to the focus context through an edit session.
    void applyChangesOutsideKey();
    // Runs `work` in a read-write edit session on `context` (synchronous
    // when `sync`, else as the application allows). False when the session
    // could not run.
    template <class F>
    bool editSession(ITfContext* context, bool sync, F&& work);
    // The same, with the framework's answer to the request (TS_E_SYNCHRONOUS
    // when the application grants no synchronous session now).
    template <class F>
    HRESULT requestSession(ITfContext* context, DWORD flags, F&& work);

    // Compositions (composition.cpp).
    CompositionPair* compositionOf(ITfContext* context);
    bool startComposition(TfEditCookie ec, ITfContext* context);
    void updateComposition(TfEditCookie ec, ITfContext* context, const EngineView& view);
    void insertResult(TfEditCookie ec, ITfContext* context, std::u16string_view text);
    void cancelComposition(TfEditCookie ec, ITfContext* context);
    // Ends every composition of ours without committing (focus loss, the
    // document going, deactivation): the engine drops the code.
    void abandonCompositions();

    // Display attributes (display_attributes.cpp).
    void registerAttributeAtoms();
    void setAttribute(TfEditCookie ec, ITfContext* context, ITfRange* range, Attribute which);
    void clearAttribute(TfEditCookie ec, ITfContext* context, ITfRange* range);

    // Compartments and modes (compartments.cpp).
    bool keyboardDisabled() const;
    void initialiseModes();
    // The open/close and conversion compartments from the engine's modes.
    void syncCompartments();
    void storeInitialState();
    void adviseCompartmentSink();
    void unadviseCompartmentSink();

    // Preserved keys (preserved_keys.cpp).
    void preserveKeys();
    void unpreserveKeys();
    bool runPreservedKey(ITfContext* context, REFGUID guid);

    // Caret tracking (text_layout.cpp).
    void trackLayout(ITfContext* context);
    void untrackLayout();
    void readCaret(TfEditCookie ec, ITfContext* context, ITfRange* range);
    const RECT& caret() const { return caret_; }
    // The window the service's own windows belong to: the application's
    // view, else the focus window.
    HWND ownerWindow() const;
    bool restricted() const { return restricted_ != 0; }
    // A mode switch from the service's own UI (a button, a menu): the
    // engine's changes go to the document, the compartments follow.
    void afterUiCommand();

    // The candidate list (candidate_ui.cpp).
    void updateCandidateUi(ITfContext* context, const EngineView& view);
    void endCandidateUi();
    void refreshWindows();
    void hideWindows();

    // The language-bar items (language_bar.cpp): added on activation when
    // the host has a language bar, shown or hidden with the focus, and told
    // of every mode change.
    void addLanguageBarItems();
    void removeLanguageBarItems();
    void updateLanguageBar(bool hidden);
    ServiceWindows* windows() const { return windows_.get(); }

    // Text edit sink bookkeeping (text_edit_sink.cpp).
    void adviseTextEditSink(ITfContext* context);
    void unadviseTextEditSink();

private:
    void* answer(REFIID riid) noexcept override;
    HRESULT activate(ITfThreadMgr* threadMgr, TfClientId clientId, DWORD flags);
    bool keyTaken(ITfContext* context);
    bool handleKey(ITfContext* context, WPARAM wParam, LPARAM lParam, bool up, bool test);

    // The key the last test asked the engine about: the framework (and
    // some applications) test a key and then hand it over, and the engine
    // must see each physical key once, or a Shift tap decided by the test
    // would be lost to the key.
    struct TestedKey {
        WPARAM key = 0;
        LPARAM data = 0;
        bool up = false;
        bool eaten = false;
        bool valid = false;
    };
    TestedKey tested_;

    com::ComPtr<ITfThreadMgr> threadMgr_;
    TfClientId clientId_ = TF_CLIENTID_NULL;
    DWORD restricted_ = 0;
    Engine engine_;

    DWORD threadMgrSinkCookie_ = TF_INVALID_COOKIE;
    DWORD textEditSinkCookie_ = TF_INVALID_COOKIE;
    com::ComPtr<ITfContext> textEditContext_;
    DWORD profileSinkCookie_ = TF_INVALID_COOKIE;
    DWORD threadFocusSinkCookie_ = TF_INVALID_COOKIE;
    // The sinks on the open/close and conversion compartments.
    struct CompartmentSink {
        com::ComPtr<ITfSource> source;
        DWORD cookie = TF_INVALID_COOKIE;
    };
    std::array<CompartmentSink, 2> compartmentSinks_;
    DWORD layoutSinkCookie_ = TF_INVALID_COOKIE;
    com::ComPtr<ITfContext> layoutContext_;
    bool keySinkAdvised_ = false;
    std::vector<GUID> preservedKeys_;

    std::vector<CompositionPair> compositions_;
    std::array<TfGuidAtom, 3> atoms_{};
    bool atomsRegistered_ = false;

    com::ComPtr<CandidateList> candidateList_;
    std::vector<com::ComPtr<LangBarItem>> langBarItems_;
    std::unique_ptr<ServiceWindows> windows_;
    // Windows whose menu was open when the service was deactivated: kept,
    // hidden, until the service goes.
    std::unique_ptr<ServiceWindows> retiredWindows_;
    RECT caret_{};
    bool haveCaret_ = false;
    // Set while the service writes the compartments itself, so that their
    // change notifications are not taken for the system's.
    bool writingCompartments_ = false;

    friend class CandidateList;
};

// ---- Edit sessions -------------------------------------------------------------

// One edit session: a piece of work run with the edit cookie the
// application grants. It holds the service and the context while it waits.
template <class F>
class EditSession final : public com::SingleInterface<ITfEditSession> {
public:
    EditSession(F work) : SingleInterface(IID_ITfEditSession), work_(std::move(work)) {}
    STDMETHODIMP DoEditSession(TfEditCookie ec) noexcept override {
        try {
            work_(ec);
            return S_OK;
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
    }

private:
    F work_;
};

template <class F>
HRESULT TextService::requestSession(ITfContext* context, DWORD flags, F&& work) {
    if (!context) return E_INVALIDARG;
    com::ComPtr<ITfContext> held(context);
    com::ComPtr<TextService> self(this);
    auto body = [held, self, work = std::forward<F>(work)](TfEditCookie ec) mutable { work(ec, held.get()); };
    auto* session = new EditSession<decltype(body)>(std::move(body));
    HRESULT result = E_FAIL;
    const HRESULT requested = context->RequestEditSession(clientId_, session, flags, &result);
    session->Release();
    return FAILED(requested) ? requested : result;
}

template <class F>
bool TextService::editSession(ITfContext* context, bool sync, F&& work) {
    const DWORD flags = sync ? TF_ES_SYNC | TF_ES_READWRITE : TF_ES_ASYNCDONTCARE | TF_ES_READWRITE;
    return SUCCEEDED(requestSession(context, flags, std::forward<F>(work)));
}

// Runs a COM method body: what it throws becomes an HRESULT.
template <class F>
HRESULT guarded(F&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

}  // namespace zv::tsf
