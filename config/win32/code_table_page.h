#pragma once
// The 码表 page: every code table of the instance with its entry counts,
// and the commands that view, import, export, replace and clear them. The
// long ones run on a worker thread with a progress bar while the window
// goes on answering.

#include "config/win32/program.h"

#include <windows.h>

namespace zv::config::win32 {

HWND createCodeTablePage(HWND parent, Program& program);

// Whether a long operation of a page made by createCodeTablePage is running: the main dialog keeps
// its tab and closes only once it is done.
bool codeTablePageBusy(HWND page);

}  // namespace zv::config::win32
