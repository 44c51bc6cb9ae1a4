#pragma once
// The key-function editor (按键功能定义): a keyboard whose keys show
// whether they run a function, the three modifier boxes, and the function
// menu a click on a key opens. Every choice is written into the key table
// at once; 完成 only closes.

#include "config/win32/program.h"

namespace zv::config::win32 {

void runKeyEditor(Program& program);

}  // namespace zv::config::win32
