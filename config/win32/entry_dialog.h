#pragma once
// The entry dialog (添加词条, 在线加词): one word with its code added to
// main.dmg by the entry editor's rules; in its online mode the word comes
// from what was typed last (or the clipboard) and Up and Down change its
// length.

#include "config/entry_editor.h"
#include "config/win32/program.h"

namespace zv::config::win32 {

void runEntryDialog(Program& program, EntryMode mode);

}  // namespace zv::config::win32
