#pragma once
// The embedded-display dialog (嵌入显示模式设置): the composition-window
// style and its two options; OK writes them and, when the choice crosses
// between the traditional style and a framework style, starts the
// installer that registers or removes the text service.

#include "config/win32/program.h"

#include <windows.h>

namespace zv::config::win32 {

void runEmbedDialog(HWND owner, Program& program);

}  // namespace zv::config::win32
