#pragma once
// The processes that hold one of the installer's files: a program running
// from it, or a process that has the library loaded. They are what the
// file-access-conflict dialog lists and may end, and what stops an
// uninstall or repair while the input method is in use.

#include <windows.h>

#include <string>
#include <vector>

namespace zv::installer::win32 {

struct RunningProcess {
    DWORD id = 0;
    std::wstring name;  // the program's "FileDescription", else its file name
};

// The processes (this one left out) that run one of the files or have it
// loaded. A 32-bit installer cannot look inside 64-bit processes; those
// are found only when they run the file as their program.
std::vector<RunningProcess> processesUsing(const std::vector<std::wstring>& files);

// Whether some process holds the file so that it cannot be written: a
// library mapped into any process of either bitness is.
bool isHeldOpen(const std::wstring& path);

// Ends the process; false when it could not be opened or ended.
bool endProcess(DWORD id);

// The "FileDescription" of a program's version resource, or its file name.
std::wstring programDescription(const std::wstring& path);

}  // namespace zv::installer::win32
