#pragma once
// A text-services host written for the tests: a thread manager with its
// keystroke manager, compartments and UI element manager, a document
// manager, and a context that keeps a document: its text, selection,
// compositions, ranges, display-attribute property and view. It grants
// edit sessions at once (a session asked for inside another waits for it),
// and tells the text-edit sinks after each session that changed the
// selection. A real text service is driven through the interfaces alone,
// as the system would drive it; nothing here knows the service's code.

#include "tests/host/tsf_stubs.h"

#include <olectl.h>

#include <algorithm>
#include <functional>
#include <map>
#include <new>
#include <set>
#include <string>
#include <vector>

namespace zv::test {

#define ZV_FAKE_REFCOUNT                                                                     \
    LONG refs_ = 1;                                                                          \
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }         \
    ULONG STDMETHODCALLTYPE Release() override {                                             \
        const LONG n = --refs_;                                                              \
        if (n == 0) delete this;                                                             \
        return static_cast<ULONG>(n);                                                        \
    }

template <class T>
struct Ref {  // a held fake, released at the end
    T* p = nullptr;
    Ref() = default;
    explicit Ref(T* adopt) : p(adopt) {}
    Ref(const Ref& o) : p(o.p) {
        if (p) p->AddRef();
    }
    Ref& operator=(Ref o) {
        std::swap(p, o.p);
        return *this;
    }
    ~Ref() {
        if (p) p->Release();
    }
    T* operator->() const { return p; }
    T* get() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

template <class T>
Ref<T> hold(T* p) {
    if (p) p->AddRef();
    return Ref<T>(p);
}

inline bool sameGuid(REFGUID a, REFGUID b) { return IsEqualGUID(a, b) != FALSE; }

class FakeContext;

// ---- Compartments ---------------------------------------------------------------

class FakeCompartment final : public StubITfCompartment, public StubITfSource {
public:
    explicit FakeCompartment(const GUID& g) : guid(g) { VariantInit(&value); }
    ~FakeCompartment() { VariantClear(&value); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (sameGuid(riid, IID_IUnknown) || sameGuid(riid, IID_ITfCompartment)) *out = static_cast<ITfCompartment*>(this);
        else if (sameGuid(riid, IID_ITfSource)) *out = static_cast<ITfSource*>(this);
        else return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ZV_FAKE_REFCOUNT
    HRESULT STDMETHODCALLTYPE SetValue(TfClientId, const VARIANT* v) override {
        VariantClear(&value);
        VariantCopy(&value, const_cast<VARIANT*>(v));
        ++writes;
        for (auto& [cookie, sink] : sinks) sink->OnChange(guid);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetValue(VARIANT* v) override {
        VariantInit(v);
        return VariantCopy(v, &value);
    }
    HRESULT STDMETHODCALLTYPE AdviseSink(REFIID riid, IUnknown* sink, DWORD* cookie) override {
        if (!sameGuid(riid, IID_ITfCompartmentEventSink)) return CONNECT_E_CANNOTCONNECT;
        ITfCompartmentEventSink* s = nullptr;
        if (FAILED(sink->QueryInterface(IID_ITfCompartmentEventSink, reinterpret_cast<void**>(&s)))) return E_NOINTERFACE;
        sinks[*cookie = next++] = s;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UnadviseSink(DWORD cookie) override {
        auto it = sinks.find(cookie);
        if (it == sinks.end()) return CONNECT_E_NOCONNECTION;
        it->second->Release();
        sinks.erase(it);
        return S_OK;
    }
    LONG number() const { return value.vt == VT_I4 ? value.lVal : -1; }

    GUID guid;
    VARIANT value;
    int writes = 0;
    std::map<DWORD, ITfCompartmentEventSink*> sinks;
    DWORD next = 1;
};

// The compartments of one owner (the thread, a context).
struct CompartmentSet {
    ~CompartmentSet() {
        for (auto& [g, c] : all) c->Release();
    }
    FakeCompartment* get(const GUID& g) {
        for (auto& [key, c] : all)
            if (sameGuid(key, g)) return c;
        all.emplace_back(g, new FakeCompartment(g));
        return all.back().second;
    }
    void set(const GUID& g, LONG v) {
        VARIANT var;
        VariantInit(&var);
        var.vt = VT_I4;
        var.lVal = v;
        get(g)->SetValue(0, &var);
    }
    HRESULT hand(REFGUID g, ITfCompartment** out) {
        *out = get(g);
        (*out)->AddRef();
        return S_OK;
    }
    size_t advised() const {
        size_t n = 0;
        for (auto& [g, c] : all) n += c->sinks.size();
        return n;
    }
    std::vector<std::pair<GUID, FakeCompartment*>> all;
};

// ---- The document ---------------------------------------------------------------------

class FakeRange final : public StubITfRange {
public:
    FakeRange(FakeContext* c, LONG s, LONG e);
    ~FakeRange();
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (!sameGuid(riid, IID_IUnknown) && !sameGuid(riid, IID_ITfRange)) return E_NOINTERFACE;
        *out = static_cast<ITfRange*>(this);
        AddRef();
        return S_OK;
    }
    ZV_FAKE_REFCOUNT
    HRESULT STDMETHODCALLTYPE GetText(TfEditCookie ec, DWORD, WCHAR* text, ULONG max, ULONG* got) override;
    HRESULT STDMETHODCALLTYPE SetText(TfEditCookie ec, DWORD, const WCHAR* text, LONG n) override;
    HRESULT STDMETHODCALLTYPE ShiftStart(TfEditCookie ec, LONG n, LONG* moved, const TF_HALTCOND*) override;
    HRESULT STDMETHODCALLTYPE ShiftEnd(TfEditCookie ec, LONG n, LONG* moved, const TF_HALTCOND*) override;
    HRESULT STDMETHODCALLTYPE IsEmpty(TfEditCookie ec, WINBOOL* empty) override;
    HRESULT STDMETHODCALLTYPE Collapse(TfEditCookie ec, TfAnchor a) override;
    HRESULT STDMETHODCALLTYPE CompareStart(TfEditCookie ec, ITfRange* with, TfAnchor a, LONG* r) override;
    HRESULT STDMETHODCALLTYPE CompareEnd(TfEditCookie ec, ITfRange* with, TfAnchor a, LONG* r) override;
    HRESULT STDMETHODCALLTYPE Clone(ITfRange** out) override;
    HRESULT STDMETHODCALLTYPE GetContext(ITfContext** out) override;

    FakeContext* context;
    LONG start, end;
};

inline FakeRange* fake(ITfRange* r) { return static_cast<FakeRange*>(r); }

class FakeComposition final : public StubITfComposition {
public:
    FakeComposition(FakeContext* c, LONG s, LONG e, ITfCompositionSink* sink);
    ~FakeComposition() {
        if (range) range->Release();
        if (sink) sink->Release();
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (!sameGuid(riid, IID_IUnknown) && !sameGuid(riid, IID_ITfComposition)) return E_NOINTERFACE;
        *out = static_cast<ITfComposition*>(this);
        AddRef();
        return S_OK;
    }
    ZV_FAKE_REFCOUNT
    HRESULT STDMETHODCALLTYPE GetRange(ITfRange** out) override { return range->Clone(out); }
    HRESULT STDMETHODCALLTYPE EndComposition(TfEditCookie ec) override;

    FakeContext* context;
    FakeRange* range;
    ITfCompositionSink* sink;
    bool ended = false;
};

class FakeProperty final : public StubITfProperty {
public:
    explicit FakeProperty(FakeContext* c) : context(c) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (!sameGuid(riid, IID_IUnknown) && !sameGuid(riid, IID_ITfProperty) && !sameGuid(riid, IID_ITfReadOnlyProperty))
            return E_NOINTERFACE;
        *out = static_cast<ITfProperty*>(this);
        AddRef();
        return S_OK;
    }
    ZV_FAKE_REFCOUNT
    HRESULT STDMETHODCALLTYPE SetValue(TfEditCookie ec, ITfRange* range, const VARIANT* v) override;
    HRESULT STDMETHODCALLTYPE Clear(TfEditCookie ec, ITfRange* range) override;
    FakeContext* context;
};

// The application's view: where a range is on the screen.
class FakeView final : public StubITfContextView {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (!sameGuid(riid, IID_IUnknown) && !sameGuid(riid, IID_ITfContextView)) return E_NOINTERFACE;
        *out = static_cast<ITfContextView*>(this);
        AddRef();
        return S_OK;
    }
    ZV_FAKE_REFCOUNT
    HRESULT STDMETHODCALLTYPE GetTextExt(TfEditCookie, ITfRange*, RECT* rect, WINBOOL* clipped) override {
        ++asked;
        if (failing) return E_FAIL;
        *rect = extent;
        *clipped = FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetWnd(HWND* hwnd) override {
        *hwnd = window;
        return S_OK;
    }
    RECT extent{300, 200, 310, 220};
    bool failing = false;
    HWND window = nullptr;
    int asked = 0;
};

class FakeDocumentMgr;

class FakeEditRecord final : public StubITfEditRecord {
public:
    explicit FakeEditRecord(bool selection) : selectionChanged(selection) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (!sameGuid(riid, IID_IUnknown) && !sameGuid(riid, IID_ITfEditRecord)) return E_NOINTERFACE;
        *out = static_cast<ITfEditRecord*>(this);
        AddRef();
        return S_OK;
    }
    ZV_FAKE_REFCOUNT
    HRESULT STDMETHODCALLTYPE GetSelectionStatus(WINBOOL* changed) override {
        *changed = selectionChanged ? TRUE : FALSE;
        return S_OK;
    }
    bool selectionChanged;
};

class FakeContext final : public StubITfContext,
                          public StubITfContextComposition,
                          public StubITfInsertAtSelection,
                          public StubITfSource,
                          public StubITfCompartmentMgr {
public:
    FakeContext() : property(new FakeProperty(this)) {}
    ~FakeContext() {
        property->Release();
        if (view) view->Release();
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (sameGuid(riid, IID_IUnknown) || sameGuid(riid, IID_ITfContext)) *out = static_cast<ITfContext*>(this);
        else if (sameGuid(riid, IID_ITfContextComposition)) *out = static_cast<ITfContextComposition*>(this);
        else if (sameGuid(riid, IID_ITfInsertAtSelection)) *out = static_cast<ITfInsertAtSelection*>(this);
        else if (sameGuid(riid, IID_ITfSource)) *out = static_cast<ITfSource*>(this);
        else if (sameGuid(riid, IID_ITfCompartmentMgr)) *out = static_cast<ITfCompartmentMgr*>(this);
        else return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ZV_FAKE_REFCOUNT

    // ITfContext
    HRESULT STDMETHODCALLTYPE RequestEditSession(TfClientId, ITfEditSession* session, DWORD flags, HRESULT* result) override {
        ++sessionsAsked;
        if (refuseSessions) return E_FAIL;
        if (inSession || (onlyAsync && (flags & TF_ES_SYNC))) {
            if (flags & TF_ES_SYNC) return TS_E_SYNCHRONOUS;
            session->AddRef();
            queued.push_back(session);
            *result = TS_S_ASYNC;
            return S_OK;
        }
        if (onlyAsync) {
            // The application lets the service in a moment later.
            session->AddRef();
            queued.push_back(session);
            *result = TS_S_ASYNC;
            return S_OK;
        }
        *result = run(session, flags);
        drain();
        return S_OK;
    }
    // Runs the sessions asked for while another one (or a notification)
    // held the document.
    void drain() {
        while (!queued.empty() && !inSession) {
            ITfEditSession* next = queued.front();
            queued.erase(queued.begin());
            run(next, TF_ES_READWRITE);
            next->Release();
        }
    }
    HRESULT STDMETHODCALLTYPE GetSelection(TfEditCookie ec, ULONG, ULONG count, TF_SELECTION* out, ULONG* fetched) override {
        if (!granted(ec) || count < 1) return TF_E_NOLOCK;
        out[0].range = new FakeRange(this, selStart, selEnd);
        out[0].style.ase = TF_AE_NONE;
        out[0].style.fInterimChar = FALSE;
        *fetched = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSelection(TfEditCookie ec, ULONG count, const TF_SELECTION* sel) override {
        if (!writable(ec) || count < 1 || !sel[0].range) return TF_E_NOLOCK;
        selStart = fake(sel[0].range)->start;
        selEnd = fake(sel[0].range)->end;
        selectionMoved = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetActiveView(ITfContextView** out) override {
        *out = view;
        if (!view) return E_NOTIMPL;
        view->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetProperty(REFGUID guid, ITfProperty** out) override {
        *out = nullptr;
        if (!sameGuid(guid, GUID_PROP_ATTRIBUTE)) return E_INVALIDARG;
        *out = property;
        property->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDocumentMgr(ITfDocumentMgr** out) override;

    // ITfContextComposition
    HRESULT STDMETHODCALLTYPE StartComposition(TfEditCookie ec, ITfRange* range, ITfCompositionSink* sink,
                                               ITfComposition** out) override {
        *out = nullptr;
        if (!writable(ec) || !range) return TF_E_NOLOCK;
        auto* c = new FakeComposition(this, fake(range)->start, fake(range)->end, sink);
        compositions.push_back(c);
        ++compositionsStarted;
        sessionLog.push_back("start");
        c->AddRef();
        *out = c;
        return S_OK;
    }

    // ITfInsertAtSelection
    HRESULT STDMETHODCALLTYPE InsertTextAtSelection(TfEditCookie ec, DWORD flags, const WCHAR* text, LONG n,
                                                    ITfRange** out) override {
        *out = nullptr;
        if (!writable(ec)) return TF_E_NOLOCK;
        if (throwOnInsert) throw std::bad_alloc();
        if (flags & TF_IAS_QUERYONLY) {
            *out = new FakeRange(this, selStart, selEnd);
            return S_OK;
        }
        const LONG s = selStart;
        replace(selStart, selEnd, std::u16string(reinterpret_cast<const char16_t*>(text), static_cast<size_t>(n)));
        selStart = selEnd = s + n;
        *out = new FakeRange(this, s, s + n);
        return S_OK;
    }

    // ITfSource: the text-edit and layout sinks.
    HRESULT STDMETHODCALLTYPE AdviseSink(REFIID riid, IUnknown* sink, DWORD* cookie) override {
        void* s = nullptr;
        if (FAILED(sink->QueryInterface(riid, &s))) return E_NOINTERFACE;
        if (sameGuid(riid, IID_ITfTextEditSink)) editSinks[*cookie = next++] = static_cast<ITfTextEditSink*>(s);
        else if (layoutSinkIid && sameGuid(riid, *layoutSinkIid)) layoutSinks[*cookie = next++] = static_cast<IUnknown*>(s);
        else {
            static_cast<IUnknown*>(s)->Release();
            return CONNECT_E_CANNOTCONNECT;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UnadviseSink(DWORD cookie) override {
        if (auto it = editSinks.find(cookie); it != editSinks.end()) {
            it->second->Release();
            editSinks.erase(it);
            return S_OK;
        }
        if (auto it = layoutSinks.find(cookie); it != layoutSinks.end()) {
            it->second->Release();
            layoutSinks.erase(it);
            return S_OK;
        }
        return CONNECT_E_NOCONNECTION;
    }

    // ITfCompartmentMgr
    HRESULT STDMETHODCALLTYPE GetCompartment(REFGUID g, ITfCompartment** out) override { return compartments.hand(g, out); }

    // ---- The document --------------------------------------------------------------

    bool granted(TfEditCookie ec) const { return inSession && ec == cookie; }
    bool writable(TfEditCookie ec) const { return granted(ec) && sessionWrites; }

    HRESULT run(ITfEditSession* session, DWORD flags) {
        inSession = true;
        sessionWrites = (flags & TF_ES_READWRITE) == TF_ES_READWRITE;
        cookie = ++cookies;
        selectionMoved = false;
        ++sessionsRun;
        sessionLog.push_back("session");
        const HRESULT hr = session->DoEditSession(cookie);
        inSession = false;
        if (selectionMoved) tellEditSinks();
        return hr;
    }

    void tellEditSinks() {
        cookie = ++cookies;
        inSession = true;
        sessionWrites = false;
        auto* record = new FakeEditRecord(true);
        std::vector<ITfTextEditSink*> sinks;
        for (auto& [c, s] : editSinks) sinks.push_back(s);
        for (ITfTextEditSink* s : sinks) s->OnEndEdit(this, cookie, record);
        record->Release();
        inSession = false;
        drain();
    }

    // Replaces [s, e) with text; ranges keep their places, those that touch
    // the change grow over it at their end.
    void replace(LONG s, LONG e, const std::u16string& text) {
        const LONG n = static_cast<LONG>(text.size());
        const LONG delta = n - (e - s);
        document.replace(static_cast<size_t>(s), static_cast<size_t>(e - s), text);
        attributes.erase(attributes.begin() + s, attributes.begin() + e);
        attributes.insert(attributes.begin() + s, static_cast<size_t>(n), 0);
        auto startAnchor = [&](LONG p) { return p < s ? p : p > e ? p + delta : s; };
        auto endAnchor = [&](LONG p) { return p < s ? p : p > e ? p + delta : s + n; };
        for (FakeRange* r : ranges) {
            r->start = startAnchor(r->start);
            r->end = endAnchor(r->end);
        }
        selStart = startAnchor(selStart);
        selEnd = endAnchor(selEnd);
    }

    // The user clicks at a place: the selection moves there and the
    // sinks hear of it, as after the application's own edit.
    void click(LONG at) {
        selStart = selEnd = at;
        tellEditSinks();
    }

    // The application ends a composition of the service's by itself.
    void terminateComposition() {
        if (compositions.empty()) return;
        FakeComposition* c = compositions.front();
        c->AddRef();
        inSession = true;
        sessionWrites = true;
        cookie = ++cookies;
        c->sink->OnCompositionTerminated(cookie, c);
        inSession = false;
        removeComposition(c);
        c->Release();
    }

    void removeComposition(FakeComposition* c) {
        auto it = std::find(compositions.begin(), compositions.end(), c);
        if (it == compositions.end()) return;
        compositions.erase(it);
        c->ended = true;
        ++compositionsEnded;
        sessionLog.push_back("end");
        c->Release();
    }

    // Ends what is still open at the end of a test.
    void close() {
        while (!compositions.empty()) removeComposition(compositions.front());
    }

    std::u16string text() const { return document; }
    // The text the composition covers, or "-" when there is none.
    std::u16string composed() const;

    std::u16string document;
    std::vector<LONG> attributes;  // per unit: the display-attribute atom, 0 for none
    LONG selStart = 0, selEnd = 0;
    std::set<FakeRange*> ranges;
    std::vector<FakeComposition*> compositions;
    FakeProperty* property;
    FakeView* view = nullptr;
    FakeDocumentMgr* documentMgr = nullptr;
    CompartmentSet compartments;
    std::map<DWORD, ITfTextEditSink*> editSinks;
    std::map<DWORD, IUnknown*> layoutSinks;
    const IID* layoutSinkIid = nullptr;
    DWORD next = 1;
    bool refuseSessions = false;
    // The host runs out of memory (a C++ host whose exception reaches the
    // service's frames).
    bool throwOnInsert = false;
    // Synchronous sessions are refused; the others run when drain() is
    // called, as after the application's own work.
    bool onlyAsync = false;
    bool inSession = false, sessionWrites = false, selectionMoved = false;
    TfEditCookie cookie = 0, cookies = 100;
    std::vector<ITfEditSession*> queued;
    int sessionsAsked = 0, sessionsRun = 0, compositionsStarted = 0, compositionsEnded = 0;
    std::vector<std::string> sessionLog;
};

inline FakeRange::FakeRange(FakeContext* c, LONG s, LONG e) : context(c), start(s), end(e) {
    context->AddRef();
    context->ranges.insert(this);
}
inline FakeRange::~FakeRange() {
    context->ranges.erase(this);
    context->Release();
}
inline HRESULT FakeRange::GetText(TfEditCookie ec, DWORD, WCHAR* text, ULONG max, ULONG* got) {
    if (!context->granted(ec)) return TF_E_NOLOCK;
    const ULONG n = std::min<ULONG>(max, static_cast<ULONG>(end - start));
    std::copy_n(context->document.begin() + start, n, reinterpret_cast<char16_t*>(text));
    *got = n;
    return S_OK;
}
inline HRESULT FakeRange::SetText(TfEditCookie ec, DWORD, const WCHAR* text, LONG n) {
    if (!context->writable(ec)) return TF_E_NOLOCK;
    const LONG s = start;
    context->replace(start, end, std::u16string(reinterpret_cast<const char16_t*>(text), static_cast<size_t>(n)));
    start = s;
    end = s + n;
    return S_OK;
}
inline HRESULT FakeRange::ShiftStart(TfEditCookie ec, LONG n, LONG* moved, const TF_HALTCOND*) {
    if (!context->granted(ec)) return TF_E_NOLOCK;
    const LONG to = std::clamp<LONG>(start + n, 0, static_cast<LONG>(context->document.size()));
    if (moved) *moved = to - start;
    start = to;
    if (end < start) end = start;
    return S_OK;
}
inline HRESULT FakeRange::ShiftEnd(TfEditCookie ec, LONG n, LONG* moved, const TF_HALTCOND*) {
    if (!context->granted(ec)) return TF_E_NOLOCK;
    const LONG to = std::clamp<LONG>(end + n, 0, static_cast<LONG>(context->document.size()));
    if (moved) *moved = to - end;
    end = to;
    if (start > end) start = end;
    return S_OK;
}
inline HRESULT FakeRange::IsEmpty(TfEditCookie ec, WINBOOL* empty) {
    if (!context->granted(ec)) return TF_E_NOLOCK;
    *empty = start == end;
    return S_OK;
}
inline HRESULT FakeRange::Collapse(TfEditCookie ec, TfAnchor a) {
    if (!context->granted(ec)) return TF_E_NOLOCK;
    if (a == TF_ANCHOR_START) end = start;
    else start = end;
    return S_OK;
}
inline HRESULT FakeRange::CompareStart(TfEditCookie ec, ITfRange* with, TfAnchor a, LONG* r) {
    if (!context->granted(ec)) return TF_E_NOLOCK;
    const LONG other = a == TF_ANCHOR_START ? fake(with)->start : fake(with)->end;
    *r = start < other ? -1 : start > other ? 1 : 0;
    return S_OK;
}
inline HRESULT FakeRange::CompareEnd(TfEditCookie ec, ITfRange* with, TfAnchor a, LONG* r) {
    if (!context->granted(ec)) return TF_E_NOLOCK;
    const LONG other = a == TF_ANCHOR_START ? fake(with)->start : fake(with)->end;
    *r = end < other ? -1 : end > other ? 1 : 0;
    return S_OK;
}
inline HRESULT FakeRange::Clone(ITfRange** out) {
    *out = new FakeRange(context, start, end);
    return S_OK;
}
inline HRESULT FakeRange::GetContext(ITfContext** out) {
    *out = context;
    context->AddRef();
    return S_OK;
}

inline FakeComposition::FakeComposition(FakeContext* c, LONG s, LONG e, ITfCompositionSink* k)
    : context(c), range(new FakeRange(c, s, e)), sink(k) {
    if (sink) sink->AddRef();
}
inline HRESULT FakeComposition::EndComposition(TfEditCookie ec) {
    if (!context->writable(ec)) return TF_E_NOLOCK;
    if (ended) return E_UNEXPECTED;
    context->removeComposition(this);
    return S_OK;
}

inline HRESULT FakeProperty::SetValue(TfEditCookie ec, ITfRange* range, const VARIANT* v) {
    if (!context->writable(ec) || v->vt != VT_I4) return E_INVALIDARG;
    for (LONG i = fake(range)->start; i < fake(range)->end; ++i) context->attributes[static_cast<size_t>(i)] = v->lVal;
    return S_OK;
}
inline HRESULT FakeProperty::Clear(TfEditCookie ec, ITfRange* range) {
    if (!context->writable(ec)) return TF_E_NOLOCK;
    const LONG s = range ? fake(range)->start : 0;
    const LONG e = range ? fake(range)->end : static_cast<LONG>(context->attributes.size());
    for (LONG i = s; i < e; ++i) context->attributes[static_cast<size_t>(i)] = 0;
    return S_OK;
}

inline std::u16string FakeContext::composed() const {
    if (compositions.empty()) return u"-";
    const FakeRange* r = compositions.front()->range;
    return document.substr(static_cast<size_t>(r->start), static_cast<size_t>(r->end - r->start));
}

class FakeDocumentMgr final : public StubITfDocumentMgr {
public:
    FakeDocumentMgr() : top(new FakeContext) { top->documentMgr = this; }
    ~FakeDocumentMgr() {
        top->documentMgr = nullptr;
        top->Release();
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (!sameGuid(riid, IID_IUnknown) && !sameGuid(riid, IID_ITfDocumentMgr)) return E_NOINTERFACE;
        *out = static_cast<ITfDocumentMgr*>(this);
        AddRef();
        return S_OK;
    }
    ZV_FAKE_REFCOUNT
    HRESULT STDMETHODCALLTYPE GetTop(ITfContext** out) override {
        *out = top;
        top->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBase(ITfContext** out) override { return GetTop(out); }
    FakeContext* top;
};

inline HRESULT FakeContext::GetDocumentMgr(ITfDocumentMgr** out) {
    *out = documentMgr;
    if (!documentMgr) return E_FAIL;
    documentMgr->AddRef();
    return S_OK;
}

// ---- The thread ----------------------------------------------------------------------

struct PreservedKey {
    GUID guid;
    TF_PRESERVEDKEY key;
    std::wstring description;
};

class FakeThreadMgr final : public StubITfThreadMgrEx,
                            public StubITfKeystrokeMgr,
                            public StubITfSource,
                            public StubITfCompartmentMgr,
                            public StubITfUIElementMgr,
                            public StubITfLangBarItemMgr {
public:
    ~FakeThreadMgr() {
        for (ITfLangBarItem* i : barItems) i->Release();
        if (focus) focus->Release();
        if (keySink) keySink->Release();
        for (auto& [c, s] : sinks) s.second->Release();
        for (ITfUIElement* e : elements) e->Release();
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (sameGuid(riid, IID_IUnknown) || sameGuid(riid, IID_ITfThreadMgr)) *out = static_cast<ITfThreadMgr*>(this);
        else if (sameGuid(riid, IID_ITfThreadMgrEx)) *out = static_cast<ITfThreadMgrEx*>(this);
        else if (sameGuid(riid, IID_ITfKeystrokeMgr) && hasKeystrokeMgr) *out = static_cast<ITfKeystrokeMgr*>(this);
        else if (sameGuid(riid, IID_ITfSource)) *out = static_cast<ITfSource*>(this);
        else if (sameGuid(riid, IID_ITfCompartmentMgr)) *out = static_cast<ITfCompartmentMgr*>(this);
        else if (sameGuid(riid, IID_ITfUIElementMgr) && hasUiElementMgr) *out = static_cast<ITfUIElementMgr*>(this);
        else if (sameGuid(riid, IID_ITfLangBarItemMgr) && hasLangBar) *out = static_cast<ITfLangBarItemMgr*>(this);
        else return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ZV_FAKE_REFCOUNT

    // ITfThreadMgr
    HRESULT STDMETHODCALLTYPE GetFocus(ITfDocumentMgr** out) override {
        *out = focus;
        if (focus) focus->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetGlobalCompartment(ITfCompartmentMgr** out) override {
        *out = static_cast<ITfCompartmentMgr*>(this);
        AddRef();
        return S_OK;
    }

    // ITfThreadMgrEx: the flags of the activation, when the test gives some.
    HRESULT STDMETHODCALLTYPE GetActiveFlags(DWORD* flags) override {
        if (!activeFlags) return E_NOTIMPL;
        *flags = *activeFlags;
        return S_OK;
    }

    // ITfSource: the thread's sinks, by interface.
    HRESULT STDMETHODCALLTYPE AdviseSink(REFIID riid, IUnknown* sink, DWORD* cookie) override {
        if (!sameGuid(riid, IID_ITfThreadMgrEventSink) && !sameGuid(riid, IID_ITfThreadFocusSink) &&
            !sameGuid(riid, IID_ITfActiveLanguageProfileNotifySink))
            return CONNECT_E_CANNOTCONNECT;
        void* s = nullptr;
        if (FAILED(sink->QueryInterface(riid, &s))) return E_NOINTERFACE;
        sinks[*cookie = next++] = {riid, static_cast<IUnknown*>(s)};
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UnadviseSink(DWORD cookie) override {
        auto it = sinks.find(cookie);
        if (it == sinks.end()) return CONNECT_E_NOCONNECTION;
        it->second.second->Release();
        sinks.erase(it);
        return S_OK;
    }
    template <class Sink>
    std::vector<Sink*> sinksOf(REFIID riid) {
        std::vector<Sink*> r;
        for (auto& [c, s] : sinks)
            if (sameGuid(s.first, riid)) r.push_back(static_cast<Sink*>(s.second));
        return r;
    }

    // ITfKeystrokeMgr
    HRESULT STDMETHODCALLTYPE AdviseKeyEventSink(TfClientId, ITfKeyEventSink* sink, WINBOOL) override {
        if (keySink) return CONNECT_E_ADVISELIMIT;
        keySink = sink;
        sink->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UnadviseKeyEventSink(TfClientId) override {
        if (!keySink) return CONNECT_E_NOCONNECTION;
        keySink->Release();
        keySink = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PreserveKey(TfClientId, REFGUID g, const TF_PRESERVEDKEY* key, const WCHAR* d,
                                          ULONG n) override {
        if (throwOnPreserve) throw std::bad_alloc();
        preserved.push_back({g, *key, std::wstring(d, n)});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UnpreserveKey(REFGUID g, const TF_PRESERVEDKEY*) override {
        auto it = std::find_if(preserved.begin(), preserved.end(), [&](const PreservedKey& p) { return sameGuid(p.guid, g); });
        if (it == preserved.end()) return CONNECT_E_NOCONNECTION;
        preserved.erase(it);
        return S_OK;
    }
    const PreservedKey* preservedKey(UINT vk, UINT modifiers) const {
        for (const PreservedKey& p : preserved)
            if (p.key.uVKey == vk && p.key.uModifiers == modifiers) return &p;
        return nullptr;
    }

    // ITfCompartmentMgr
    HRESULT STDMETHODCALLTYPE GetCompartment(REFGUID g, ITfCompartment** out) override { return compartments.hand(g, out); }

    // ITfUIElementMgr
    HRESULT STDMETHODCALLTYPE BeginUIElement(ITfUIElement* element, WINBOOL* show, DWORD* id) override {
        element->AddRef();
        elements.push_back(element);
        *show = drawsOwnList ? FALSE : TRUE;
        *id = static_cast<DWORD>(elements.size());
        uiLog.push_back("begin");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UpdateUIElement(DWORD) override {
        uiLog.push_back("update");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EndUIElement(DWORD) override {
        uiLog.push_back("end");
        return S_OK;
    }

    // ITfLangBarItemMgr
    HRESULT STDMETHODCALLTYPE AddItem(ITfLangBarItem* item) override {
        item->AddRef();
        barItems.push_back(item);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RemoveItem(ITfLangBarItem* item) override {
        auto it = std::find(barItems.begin(), barItems.end(), item);
        if (it == barItems.end()) return E_INVALIDARG;
        (*it)->Release();
        barItems.erase(it);
        return S_OK;
    }

    // ---- What the system does ----------------------------------------------------------

    FakeContext* context() const { return focus ? focus->top : nullptr; }

    void setFocus(FakeDocumentMgr* document) {
        FakeDocumentMgr* previous = focus;
        focus = document;
        if (focus) focus->AddRef();
        for (auto* s : sinksOf<ITfThreadMgrEventSink>(IID_ITfThreadMgrEventSink)) s->OnSetFocus(focus, previous);
        if (previous) previous->Release();
    }
    void killThreadFocus() {
        for (auto* s : sinksOf<ITfThreadFocusSink>(IID_ITfThreadFocusSink)) s->OnKillThreadFocus();
    }

    // One key press and release on the focus context, as the framework
    // hands them to the foreground key sink: each test, then the key.
    // True when the service ate the press.
    bool press(UINT vk, FakeContext* on = nullptr) {
        if (!on) on = context();
        const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
        const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
        const LPARAM up = down | static_cast<LPARAM>(0xC0000000u);
        BOOL eaten = FALSE, tested = FALSE;
        if (!keySink) return false;
        keySink->OnTestKeyDown(on, vk, down, &tested);
        keySink->OnKeyDown(on, vk, down, &eaten);
        BOOL upEaten = FALSE;
        keySink->OnTestKeyUp(on, vk, up, &upEaten);
        if (upEaten) keySink->OnKeyUp(on, vk, up, &upEaten);
        return eaten != FALSE;
    }
    void type(const std::string& keys) {
        for (char c : keys) press(c == ' ' ? VK_SPACE : static_cast<UINT>(toupper(static_cast<unsigned char>(c))));
    }
    // A preserved key as the framework reports it; false when none is
    // registered for that key or the service did not eat it.
    bool preservedKeyPressed(UINT vk, UINT modifiers) {
        const PreservedKey* p = preservedKey(vk, modifiers);
        if (!p || !keySink) return false;
        BOOL eaten = FALSE;
        const GUID g = p->guid;
        keySink->OnPreservedKey(context(), g, &eaten);
        return eaten != FALSE;
    }

    FakeDocumentMgr* focus = nullptr;
    ITfKeyEventSink* keySink = nullptr;
    std::map<DWORD, std::pair<IID, IUnknown*>> sinks;
    DWORD next = 1;
    std::vector<PreservedKey> preserved;
    CompartmentSet compartments;
    std::vector<ITfUIElement*> elements;
    std::vector<std::string> uiLog;
    bool hasKeystrokeMgr = true;
    bool hasUiElementMgr = true;
    bool hasLangBar = false;
    bool throwOnPreserve = false;
    const DWORD* activeFlags = nullptr;
    std::vector<ITfLangBarItem*> barItems;
    // The application draws the candidate list itself (a UI-less host).
    bool drawsOwnList = false;
};

}  // namespace zv::test
