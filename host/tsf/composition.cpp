// Compositions in the document: started at the selection, written as the
// engine shows them (the code inline, or one placeholder space in the
// classic style, where the code shows in the composition window), replaced
// by what is committed, emptied when the code is dropped.

#include "host/tsf/text_service.h"

#include "engine/config_store.h"
#include "engine/host_view.h"

#include <algorithm>

namespace zv::tsf {

namespace {

constexpr wchar_t kPlaceholder[] = L" ";

const WCHAR* units(std::u16string_view text) { return reinterpret_cast<const WCHAR*>(text.data()); }

// Puts the selection at `range` collapsed to its end, moved back by `back`
// units.
void placeCaret(TfEditCookie ec, ITfContext* context, ITfRange* range, LONG back) {
    com::ComPtr<ITfRange> caret;
    if (FAILED(range->Clone(caret.put())) || !caret) return;
    caret->Collapse(ec, TF_ANCHOR_END);
    if (back > 0) {
        LONG moved = 0;
        caret->ShiftStart(ec, -back, &moved, nullptr);
        caret->Collapse(ec, TF_ANCHOR_START);
    }
    TF_SELECTION selection{};
    selection.range = caret.get();
    selection.style.ase = TF_AE_NONE;
    selection.style.fInterimChar = FALSE;
    context->SetSelection(ec, 1, &selection);
}

}  // namespace

CompositionPair* TextService::compositionOf(ITfContext* context) {
    if (!context) return nullptr;
    com::ComPtr<ITfContext> wanted(context);
    for (CompositionPair& pair : compositions_)
        if (com::sameObject(pair.context, wanted)) return &pair;
    return nullptr;
}

bool TextService::startComposition(TfEditCookie ec, ITfContext* context) {
    com::ComPtr<ITfInsertAtSelection> insert;
    com::ComPtr<ITfContextComposition> compositions;
    if (FAILED(context->QueryInterface(IID_ITfInsertAtSelection, insert.putVoid())) || !insert) return false;
    if (FAILED(context->QueryInterface(IID_ITfContextComposition, compositions.putVoid())) || !compositions)
        return false;
    com::ComPtr<ITfRange> range;
    if (FAILED(insert->InsertTextAtSelection(ec, TF_IAS_QUERYONLY, nullptr, 0, range.put())) || !range) return false;
    com::ComPtr<ITfComposition> composition;
    if (FAILED(compositions->StartComposition(ec, range.get(), static_cast<ITfCompositionSink*>(this),
                                              composition.put())) ||
        !composition)
        return false;
    // The service keeps at most five; one it could not keep is ended at
    // once rather than left in the document without an owner.
    if (compositions_.size() >= kMaxCompositions) {
        composition->EndComposition(ec);
        return false;
    }
    compositions_.push_back({com::ComPtr<ITfContext>(context), composition});
    TF_SELECTION selection{};
    selection.range = range.get();
    selection.style.ase = TF_AE_NONE;
    selection.style.fInterimChar = FALSE;
    context->SetSelection(ec, 1, &selection);
    trackLayout(context);
    return compositionOf(context) != nullptr;
}

void TextService::updateComposition(TfEditCookie ec, ITfContext* context, const EngineView& view) {
    if (!compositionOf(context) && !startComposition(ec, context)) return;
    CompositionPair* pair = compositionOf(context);
    com::ComPtr<ITfRange> range;
    if (!pair || FAILED(pair->composition->GetRange(range.put())) || !range) return;
    const uint32_t style = settingsOf(*engine_).ime.a() & ImeSettings::A_StyleMask;
    const bool embedded = restricted_ || style != ImeSettings::A_StyleTsfClassic;
    if (embedded) {
        const std::u16string_view shown = view.display.empty() ? std::u16string_view(view.reading) : view.display;
        if (FAILED(range->SetText(ec, 0, units(shown), static_cast<LONG>(shown.size())))) return;
        const int cursor = std::clamp(view.displayCursor, 0, static_cast<int>(shown.size()));
        placeCaret(ec, context, range.get(), static_cast<LONG>(shown.size()) - cursor);
        setAttribute(ec, context, range.get(), (view.modes & ModeAssociation) ? Attribute::Converted : Attribute::Input);
    } else {
        // The classic style: one space without attribute, the caret before
        // it; the code itself shows in the composition window.
        if (FAILED(range->SetText(ec, 0, kPlaceholder, 1))) return;
        placeCaret(ec, context, range.get(), 1);
        clearAttribute(ec, context, range.get());
    }
}

void TextService::insertResult(TfEditCookie ec, ITfContext* context, std::u16string_view text) {
    if (CompositionPair* pair = compositionOf(context)) {
        com::ComPtr<ITfRange> range;
        if (SUCCEEDED(pair->composition->GetRange(range.put())) && range &&
            SUCCEEDED(range->SetText(ec, 0, units(text), static_cast<LONG>(text.size())))) {
            clearAttribute(ec, context, range.get());
            placeCaret(ec, context, range.get(), 0);
        }
        com::ComPtr<ITfComposition> composition = pair->composition;
        compositions_.erase(compositions_.begin() + (pair - compositions_.data()));
        composition->EndComposition(ec);
        return;
    }
    com::ComPtr<ITfInsertAtSelection> insert;
    if (FAILED(context->QueryInterface(IID_ITfInsertAtSelection, insert.putVoid())) || !insert) return;
    com::ComPtr<ITfRange> range;
    if (SUCCEEDED(insert->InsertTextAtSelection(ec, 0, units(text), static_cast<LONG>(text.size()), range.put())) &&
        range)
        placeCaret(ec, context, range.get(), 0);
}

void TextService::cancelComposition(TfEditCookie ec, ITfContext* context) {
    CompositionPair* pair = compositionOf(context);
    if (!pair) return;
    com::ComPtr<ITfComposition> composition = pair->composition;
    compositions_.erase(compositions_.begin() + (pair - compositions_.data()));
    com::ComPtr<ITfRange> range;
    if (SUCCEEDED(composition->GetRange(range.put())) && range) {
        clearAttribute(ec, context, range.get());
        range->SetText(ec, 0, L"", 0);
    }
    composition->EndComposition(ec);
    if (compositions_.empty()) {
        endCandidateUi();
        untrackLayout();
    }
}

void TextService::abandonCompositions() {
    if (engine_ && viewOf(*engine_).composing) {
        focusLost(*engine_);
        takeChanges(*engine_);
    }
    std::vector<CompositionPair> pairs = compositions_;
    for (CompositionPair& pair : pairs) {
        auto cancel = [this](TfEditCookie ec, ITfContext* c) { cancelComposition(ec, c); };
        // A document busy with the focus change may let the service in only
        // a moment later; one that does not let it in at all still loses the
        // composition from the service's books.
        const bool ended = editSession(pair.context.get(), true, cancel) || editSession(pair.context.get(), false, cancel);
        if (!ended)
            if (CompositionPair* left = compositionOf(pair.context.get()))
                compositions_.erase(compositions_.begin() + (left - compositions_.data()));
    }
    endCandidateUi();
    untrackLayout();
}

STDMETHODIMP TextService::OnCompositionTerminated(TfEditCookie write, ITfComposition* composition) noexcept {
    return guarded([&]() -> HRESULT {
        if (!composition) return S_OK;
        com::ComPtr<ITfComposition> ended(composition);
        for (auto it = compositions_.begin(); it != compositions_.end(); ++it) {
            if (!com::sameObject(it->composition, ended)) continue;
            // The application took the composition away: the typed code is
            // discarded, not committed.
            if (engine_) {
                compositionTerminated(*engine_);
                takeChanges(*engine_);
            }
            com::ComPtr<ITfContext> context = it->context;
            compositions_.erase(it);
            com::ComPtr<ITfRange> range;
            if (SUCCEEDED(composition->GetRange(range.put())) && range) {
                clearAttribute(write, context.get(), range.get());
                range->SetText(write, 0, L"", 0);
            }
            endCandidateUi();
            untrackLayout();
            hideWindows();
            break;
        }
        return S_OK;
    });
}

}  // namespace zv::tsf
