// The user words kept before an uninstall or a repair, in the text format
// the settings program exports and imports.
#pragma once

#include <string>

namespace zv::installer::win32 {

// Writes the user category of the data folder's main.dmg into
// "导出 - 用户词条.txt" of the "[ name ]" folder under Documents.
bool exportUserWords(const std::u16string& dataDir, const std::u16string& imeName);

}  // namespace zv::installer::win32
