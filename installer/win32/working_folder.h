#pragma once
// Removing the installer's working folder through the command
// interpreter: "%COMSPEC% /c rmdir <short path> /s /q", started suspended
// and at idle priority while this program runs at high priority.

#include <string>

namespace zv::installer::win32 {

// Removes the folder, waiting up to a second for the command and trying a
// second time when the folder is still there. True when it is gone.
bool removeWorkingFolder(const std::wstring& folder);

// The temporary copy runs from the folder and cannot remove it while it
// runs: the rest goes at once, and a command that waits a moment for this
// program to end removes its file and the empty folder.
void removeWorkingFolderAfterExit(const std::wstring& folder, const std::wstring& program);

}  // namespace zv::installer::win32
