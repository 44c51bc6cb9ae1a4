#pragma once
// The candidate window on Windows (and, in the separate layouts, the
// composition box beside it): the portable layout and painter, shown in
// layered popups at the places placement gives them, and the mouse fed to
// the portable window logic. What the mouse asks goes to the host.

#include "ui/candidate_window.h"
#include "ui/placement.h"
#include "ui/skin_loader.h"
#include "ui/win32/popup_host.h"
#include "ui/win32/popup_window.h"

namespace zv::ui::win32 {


struct CandidateShow {
    const UiView& view;
    const UiOptions& options;
    const LoadedSkin& skin;
    const UiFonts& fonts;
    SkinSettings settings;
    Caret caret;  // on the screen
};

class CandidatePopup : private PopupHandler {
public:
    CandidatePopup(HINSTANCE module, PopupHost& host) : module_(module), host_(host) {}

    // Lays the windows out for the view and shows them below the caret (or
    // where the settings keep them); hides what is not to be shown.
    void show(const CandidateShow& s, HWND owner);
    void hide() {
        window_.hide();
        composition_.hide();
    }

    const CandidateWindowState& state() const { return state_; }
    const Canvas& picture() const { return picture_; }
    HWND handle() const { return window_.handle(); }

    const CompositionWindowState& compositionState() const { return compositionState_; }

private:
    // The composition box's messages.
    struct CompositionHandler : PopupHandler {
        explicit CompositionHandler(CandidatePopup& o) : owner(o) {}
        LRESULT message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
            return owner.compositionMessage(window, message, wParam, lParam);
        }
        CandidatePopup& owner;
    };

    LRESULT message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT compositionMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void repaint();

    HINSTANCE module_;
    PopupHost& host_;
    PopupWindow window_;
    CandidateWindowState state_;
    Canvas picture_;
    CompositionHandler compositionHandler_{*this};
    PopupWindow composition_;
    CompositionWindowState compositionState_;
    Canvas compositionPicture_;
    // What the last show painted with, for repaints on mouse-over.
    const SkinImages* images_ = nullptr;
    const UiFonts* fonts_ = nullptr;
    SkinSettings settings_;
};

}  // namespace zv::ui::win32
