// Caret tracking: the composition's place on the screen, read from the
// application's view when the composition changes and when its layout does.
// A view that gives no place (a failed call, an empty rectangle at the
// origin) keeps the last good one.

#include "host/tsf/text_service.h"

#include "host/tsf/service_windows.h"
#include "host/tsf/sinks.h"

#include <cstdlib>

namespace zv::tsf {

namespace {
constexpr LONG kCaretSlack = 5;
constexpr LONG kCaretBottomSlack = 10;
}  // namespace

void TextService::trackLayout(ITfContext* context) {
    if (layoutContext_ && com::sameObject(layoutContext_, com::ComPtr<ITfContext>(context))) return;
    untrackLayout();
    if (advise(context, __uuidof(ITfTextLayoutSink), static_cast<ITfTextLayoutSink*>(this), layoutSinkCookie_))
        layoutContext_ = com::ComPtr<ITfContext>(context);
}

void TextService::untrackLayout() {
    unadvise(layoutContext_.get(), layoutSinkCookie_);
    layoutContext_.reset();
}

void TextService::readCaret(TfEditCookie ec, ITfContext* context, ITfRange* range) {
    com::ComPtr<ITfContextView> view;
    if (FAILED(context->GetActiveView(view.put())) || !view) return;
    RECT r{};
    BOOL clipped = FALSE;
    if (FAILED(view->GetTextExt(ec, range, &r, &clipped))) return;
    if (r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0) return;
    if (r.right < r.left || r.bottom < r.top) return;
    // A caret that moved by a few pixels (the application re-laid its text
    // out) leaves the windows where they are.
    if (haveCaret_ && std::abs(r.left - caret_.left) <= kCaretSlack && std::abs(r.top - caret_.top) <= kCaretSlack &&
        std::abs(r.bottom - caret_.bottom) <= kCaretBottomSlack)
        return;
    caret_ = r;
    haveCaret_ = true;
}

STDMETHODIMP TextService::OnLayoutChange(ITfContext* context, TfLayoutCode code, ITfContextView*) noexcept {
    return guarded([&]() -> HRESULT {
        if (!context || !engine_) return S_OK;
        if (code == TF_LC_DESTROY) {
            endCandidateUi();
            return S_OK;
        }
        if (code != TF_LC_CHANGE) return S_OK;
        CompositionPair* pair = compositionOf(context);
        if (!pair) return S_OK;
        com::ComPtr<ITfComposition> composition = pair->composition;
        requestSession(context, TF_ES_SYNC | TF_ES_READ, [this, composition](TfEditCookie ec, ITfContext* c) {
            com::ComPtr<ITfRange> range;
            if (SUCCEEDED(composition->GetRange(range.put())) && range) readCaret(ec, c, range.get());
        });
        refreshWindows();
        return S_OK;
    });
}

}  // namespace zv::tsf
