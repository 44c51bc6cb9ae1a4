#pragma once
// The information window "信息提示窗口" of "/showurl ": one page in a
// browser control, the window's caption following the page's title.

#include "config/win32/program.h"

#include <string>

namespace zv::config::win32 {

// width or height below 1: the dialog's own size; otherwise each is kept
// within the screen and the window is centred.
void runHtmlWindow(const std::wstring& address, int width, int height);

}  // namespace zv::config::win32
