#pragma once
// The file-access-conflict dialog: a file the installer must replace is
// held by running processes; the user closes them and tries again, has
// them ended, or gives up.

#include "installer/win32/processes.h"

#include <windows.h>

#include <string>
#include <vector>

namespace zv::installer::win32 {

// Control identifiers, also what a test answering the dialog looks for.
enum FileConflictControl : int {
    ConflictCancelButton = IDCANCEL,
    ConflictRetryButton = IDRETRY,
    ConflictEndButton = 301,
    ConflictTextId,
    ConflictListId,
};

enum class ConflictAnswer { Retry = 1, GiveUp = 2 };

// Shows the dialog over `owner` for the file and the processes holding
// it. "强制结束(&E)" ends the listed processes before it answers Retry.
ConflictAnswer askAboutConflict(HWND owner, const std::wstring& file, const std::vector<RunningProcess>& holders);

}  // namespace zv::installer::win32
