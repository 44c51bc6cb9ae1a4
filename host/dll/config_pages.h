#pragma once
// The library's settings pages in the configuration program (常用 and 界面):
// the page host's create and close functions.

#include "host/dll/config_objects.h"

namespace zv::host {

HWND createConfigPage(HWND parent, int kind, const PageContext* context);
int closeConfigPage(int apply);

}  // namespace zv::host
