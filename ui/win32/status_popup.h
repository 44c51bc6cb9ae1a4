#pragma once
// The status bar on Windows: the portable bar in a layered popup that never
// takes the focus; its buttons and drags go through the portable mouse
// logic, and what they ask goes to the host.

#include "ui/skin_loader.h"
#include "ui/status_bar.h"
#include "ui/win32/popup_host.h"
#include "ui/win32/popup_window.h"

namespace zv::ui::win32 {

class StatusPopup : private PopupHandler {
public:
    StatusPopup(HINSTANCE module, PopupHost& host) : module_(module), host_(host) {}

    // Lays the bar out for the modes of the view and shows it where the
    // settings keep it (the skin's place the first time).
    void show(const UiView& view, const LoadedSkin& skin, SkinSettings settings, HWND owner);
    void hide() { window_.hide(); }
    bool visible() const { return window_.visible(); }

    const StatusBarState& state() const { return state_; }
    HWND handle() const { return window_.handle(); }

private:
    LRESULT message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void repaint();

    HINSTANCE module_;
    PopupHost& host_;
    PopupWindow window_;
    StatusBarState state_;
    Canvas picture_;
    UiView view_;
    const SkinImages* images_ = nullptr;
    SkinSettings settings_;
};

}  // namespace zv::ui::win32
