#pragma once
// The candidate window on Windows: the portable layout and painter, shown
// in a layered popup at the place placement gives it, and the mouse fed to
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

    // Lays the window out for the view and shows it below the caret (or
    // where the settings keep it); hides it when nothing is to be shown.
    void show(const CandidateShow& s, HWND owner);
    void hide() { window_.hide(); }

    const CandidateWindowState& state() const { return state_; }
    const Canvas& picture() const { return picture_; }
    HWND handle() const { return window_.handle(); }

private:
    LRESULT message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void repaint();

    HINSTANCE module_;
    PopupHost& host_;
    PopupWindow window_;
    CandidateWindowState state_;
    Canvas picture_;
    // What the last show painted with, for repaints on mouse-over.
    const SkinImages* images_ = nullptr;
    const UiFonts* fonts_ = nullptr;
    SkinSettings settings_;
};

}  // namespace zv::ui::win32
