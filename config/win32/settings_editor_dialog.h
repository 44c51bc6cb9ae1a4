#pragma once
// The advanced settings editor (高级设置模式): every setting as one text
// in a rich-edit control, coloured, searchable; saved through the settings
// reader, backed up and restored as .zvconfig.txt files.

#include "config/win32/program.h"

#include <windows.h>

namespace zv::config::win32 {

void runSettingsEditor(HWND owner, Program& program);

}  // namespace zv::config::win32
