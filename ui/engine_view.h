#pragma once
// The windows' records filled from an engine's view: what the candidate
// window, the status bar and the menus show of the engine's state.

#include "engine/config_store.h"
#include "engine/host_view.h"
#include "ui/menus.h"
#include "ui/ui_view.h"

namespace zv::ui {

// The page, the composition and the modes. Caps Lock is the host's to know.
UiView viewOf(const EngineView& engine, bool capsLock);
UiView viewOf(EngineContext& ctx, bool capsLock);

// What the main menu reads: modes, option words, the table names of the
// categories (main 0, auxiliary 4, secondary 3), the conversion tables, the
// current skin.
MenuContext menuContextOf(const EngineView& engine, const SettingsBlocks& settings, bool textService,
                          const SkinList* skins);
MenuContext menuContextOf(EngineContext& ctx, bool textService, const SkinList* skins);

// Carries out a menu choice that the engine runs: a command, a program, the
// key map, the keyboard switch. False for the choices that belong to the
// host that showed the menu (skins, the language bar, English word input)
// and for none.
bool runEngineMenuAction(EngineContext& ctx, const MenuAction& action);

}  // namespace zv::ui
