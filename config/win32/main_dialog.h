#pragma once
// The main settings dialog "使用设置": a tab for each page the page mask
// shows, the page of the selected tab, and "完成设置".

#include "config/shell/targets.h"
#include "config/win32/program.h"

namespace zv::config::win32 {

// Opens the dialog on the requested page and runs it until it closes.
void runMainDialog(Program& program, Page requested);

}  // namespace zv::config::win32
