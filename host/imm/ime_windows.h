#pragma once
// The windows of one UI window ("ZORVAN3UI"): the text output, the skin
// and its fonts, the candidate window and composition box, the status bar
// and the soft keyboard, drawn from the engine of the UI window's input
// context once each engine call is over; and what their clicks and menus
// ask, carried out on that engine.

#include "engine/host.h"
#include "ui/menus.h"
#include "ui/skin_loader.h"
#include "ui/win32/candidate_popup.h"
#include "ui/win32/gdi_text.h"
#include "ui/win32/soft_keyboard_popup.h"
#include "ui/win32/status_popup.h"
#include "ui/win32/tip_popup.h"

#include <windows.h>

namespace zv::imm {

// Sent by the UI window to itself: the windows are redrawn once the call
// that changed the engine is over (the engine is never read in the middle
// of a key).
constexpr UINT kRedrawMessage = WM_USER + 0x5A;

// What the UI window keeps for its windows: the text output, the skin and
// its fonts, the candidate window, the status bar, the soft keyboard and
// the tip.
struct UiWorkArea : ui::win32::PopupHost {
    explicit UiWorkArea(HWND w);

    void command(int command, int argument) override;
    void menu(ui::MouseRequest which, int argument, ui::Point screen, HWND owner) override;
    void run(EngineContext& engine, const ui::MenuAction& action);
    void scheduleRedraw();
    void redraw();
    bool ensureSkin(EngineContext& engine);

    HWND window;
    ui::win32::GdiTextRenderer renderer;
    ui::LoadedSkin skin;
    ui::UiFonts fonts;
    ui::SkinList skins;  // for the skin menu, loaded when the menu first opens
    bool skinTried = false;
    bool redrawPending = false;
    // The system asked for the status bar (and 隐藏状态条窗口 is off); it
    // shows while the context is active.
    bool statusWanted = false;
    bool active = true;
    ui::win32::CandidatePopup candidates;
    ui::win32::StatusPopup status;
    ui::win32::SoftKeyboardPopup softKeyboard;
    // The mode indicator, for the hosts that show one after mode and focus
    // changes.
    ui::win32::TipPopup tip;
    ui::ModeTipTracker modeTipShown;
};

}  // namespace zv::imm
