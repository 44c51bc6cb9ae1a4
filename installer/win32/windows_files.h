#pragma once
// The package's "$windows$\" tree, copied as it is into the Windows
// folder. The files it adds (not those it replaces) are recorded for the
// instance, so that uninstall takes away what it brought and nothing the
// system had before.

#include "installer/win32/file_placement.h"

#include <string>

namespace zv::installer::win32 {

bool installWindowsFiles(const Placement& how, const std::wstring& source, const std::wstring& guid);
void removeWindowsFiles(const std::wstring& guid);

}  // namespace zv::installer::win32
