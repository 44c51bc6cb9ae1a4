#pragma once
// The 高级 page: combination hot keys, the input scheme (main table,
// auxiliary table or both), whether the secondary table is searched, and
// the way to the embedded-display settings.

#include "config/win32/program.h"

#include <windows.h>

namespace zv::config::win32 {

HWND createAdvancedPage(HWND parent, Program& program);

}  // namespace zv::config::win32
