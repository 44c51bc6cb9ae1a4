// The key event sink. A test only asks the engine whether it takes the key;
// the key itself is processed inside a synchronous read-write edit session
// on the key's context, where what it changed is written at once. A key
// the service cannot act on goes to the application.

#include "host/tsf/text_service.h"

#include "engine/host_view.h"
#include "host/tsf/service_windows.h"
#include "platform/services.h"

#include <utility>

namespace zv::tsf {

namespace {

KeyboardState keyboardNow() {
    KeyboardState keys;
    keys.shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    keys.ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    keys.alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
    keys.capsLock = (GetKeyState(VK_CAPITAL) & 0x0001) != 0;
    keys.fromEngine = static_cast<uintptr_t>(GetMessageExtraInfo()) == platform::EngineKeyMark;
    return keys;
}

}  // namespace

bool TextService::keyTaken(ITfContext* context) {
    if (!engine_ || !context || keyboardDisabled()) return false;
    com::ComPtr<ITfContext> focus = focusContext();
    return focus && com::sameObject(focus, com::ComPtr<ITfContext>(context));
}

bool TextService::handleKey(ITfContext* context, WPARAM wParam, LPARAM lParam, bool up, bool test) {
    if (!keyTaken(context)) return false;
    // A composition left in another context (the focus moved without the
    // service hearing of it) is ended before the key starts anything here;
    // a test changes nothing.
    if (!test && !compositionOf(context) && !compositions_.empty()) abandonCompositions();
    const int vk = static_cast<int>(wParam & 0xFF);
    const auto data = static_cast<uint32_t>(lParam);
    // Applications test a key any number of times before handing it over;
    // the engine answers once per physical key.
    const TestedKey last = std::exchange(tested_, TestedKey{});
    const bool sameKey = last.valid && last.key == wParam && last.data == lParam && last.up == up;
    const bool eaten = sameKey ? last.eaten : testKey(*engine_, vk, data, up, keyboardNow());
    if (test) tested_ = TestedKey{wParam, lParam, up, eaten, true};
    if (!eaten || test) return eaten;
    const HRESULT done = requestSession(context, TF_ES_SYNC | TF_ES_READWRITE, [this](TfEditCookie ec, ITfContext* c) {
        if (windows_) windows_->hideModeTip();
        processKey(*engine_);
        applyEngineChanges(ec, c);
    });
    if (done != TS_E_SYNCHRONOUS) return SUCCEEDED(done);
    // An application that grants no synchronous session now (a word
    // processor in the middle of its own work): the key is processed at
    // once, while it is still the engine's pending key, and what it changed
    // is written when the application lets the service in.
    if (windows_) windows_->hideModeTip();
    processKey(*engine_);
    return editSession(context, false, [this](TfEditCookie ec, ITfContext* c) { applyEngineChanges(ec, c); });
}

STDMETHODIMP TextService::OnSetFocus(BOOL foreground) noexcept {
    return guarded([&]() -> HRESULT {
        if (!foreground) hideWindows();
        return S_OK;
    });
}

STDMETHODIMP TextService::OnTestKeyDown(ITfContext* context, WPARAM wParam, LPARAM lParam, BOOL* eaten) noexcept {
    if (!eaten) return E_INVALIDARG;
    *eaten = FALSE;
    return guarded([&]() -> HRESULT {
        *eaten = handleKey(context, wParam, lParam, false, true) ? TRUE : FALSE;
        return S_OK;
    });
}

STDMETHODIMP TextService::OnKeyDown(ITfContext* context, WPARAM wParam, LPARAM lParam, BOOL* eaten) noexcept {
    if (!eaten) return E_INVALIDARG;
    *eaten = FALSE;
    return guarded([&]() -> HRESULT {
        *eaten = handleKey(context, wParam, lParam, false, false) ? TRUE : FALSE;
        if (wParam == VK_CAPITAL && windows_) windows_->showIndicators();
        return S_OK;
    });
}

STDMETHODIMP TextService::OnTestKeyUp(ITfContext* context, WPARAM wParam, LPARAM lParam, BOOL* eaten) noexcept {
    if (!eaten) return E_INVALIDARG;
    *eaten = FALSE;
    return guarded([&]() -> HRESULT {
        *eaten = handleKey(context, wParam, lParam, true, true) ? TRUE : FALSE;
        return S_OK;
    });
}

STDMETHODIMP TextService::OnKeyUp(ITfContext* context, WPARAM wParam, LPARAM lParam, BOOL* eaten) noexcept {
    if (!eaten) return E_INVALIDARG;
    *eaten = FALSE;
    return guarded([&]() -> HRESULT {
        *eaten = handleKey(context, wParam, lParam, true, false) ? TRUE : FALSE;
        return S_OK;
    });
}

STDMETHODIMP TextService::OnPreservedKey(ITfContext* context, REFGUID guid, BOOL* eaten) noexcept {
    if (!eaten) return E_INVALIDARG;
    *eaten = FALSE;
    return guarded([&]() -> HRESULT {
        if (!engine_ || keyboardDisabled()) return S_OK;
        *eaten = runPreservedKey(context, guid) ? TRUE : FALSE;
        return S_OK;
    });
}

}  // namespace zv::tsf
