#pragma once
// The programs-menu shortcuts, made and removed through the shell's link
// objects.

#include "installer/core/install_plan.h"

#include <vector>

namespace zv::installer::win32 {

// Creates the menu folder and every shortcut; false when one failed.
bool createShortcuts(const std::u16string& menuFolder, const std::vector<Shortcut>& shortcuts);
// Deletes the menu folder with the shortcuts and tells the shell.
void removeShortcuts(const std::u16string& menuFolder);

}  // namespace zv::installer::win32
