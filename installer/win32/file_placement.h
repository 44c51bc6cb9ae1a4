#pragma once
// Copying one file of the package to its place (install and repair): an
// older program or library found there is replaced only after asking; a
// library in use moves aside; anything else held by a running process
// brings up the file-access-conflict dialog. A name the system is to
// delete at its next start is not written.

#include <windows.h>

#include <string>
#include <vector>

namespace zv::installer::win32 {

struct Placement {
    HWND owner = nullptr;  // the dialog the questions belong to
    // The input method's libraries: their users also hold the data files,
    // so they are listed when a file is held by nobody who has it loaded.
    std::vector<std::wstring> libraries;
};

// True when the file is in place, or the user chose to keep the one there.
bool placeFile(const Placement& how, const std::wstring& source, const std::wstring& target);
// Every file below `from` into the same place below `to`, each given the
// access sandboxed applications need.
bool copyTree(const Placement& how, const std::wstring& from, const std::wstring& to);

}  // namespace zv::installer::win32
