#pragma once
// The entry dialog (添加词条, 在线加词): one word with its code added to
// main.dmg by the entry editor's rules; in its online mode the word comes
// from what was typed last (or the clipboard) and Up and Down change its
// length.

#include "config/entry_editor.h"
#include "config/win32/program.h"
#include "engine/engine_context.h"

#include <windows.h>

#include <string>

namespace zv::config::win32 {

// From the command line: the tables opened for the dialog alone.
void runEntryDialog(Program& program, EntryMode mode);

// From the viewer, on its tables: adding into a category, or changing the
// entry at a position. True when the table changed.
struct EntryDialogRequest {
    EntryMode mode = EntryMode::Add;
    int category = CategoryUser;
    std::u16string word, code;  // Edit: the entry as it is
    uint32_t oldPosition = 0;   // Edit
};
bool runEntryDialog(HWND owner, Program& program, EngineContext& engine, const EntryDialogRequest& request);

}  // namespace zv::config::win32
