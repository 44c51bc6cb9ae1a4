#pragma once
// The portable menus as Windows popup menus: built from the menu data,
// tracked at a point, and the chosen item's action handed back.

#include "ui/menus.h"
#include "ui/skin.h"

#include <windows.h>

#include <optional>
#include <vector>

namespace zv::ui::win32 {

// Shows the menu at a screen point, owned by `owner`; the action of the
// item chosen, or nothing when the menu was dismissed.
std::optional<MenuAction> trackMenu(const std::vector<MenuItem>& items, HWND owner, Point at);

}  // namespace zv::ui::win32
