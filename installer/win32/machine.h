#pragma once
// The machine the installer runs on: its folders, its version (as the
// system reports it, not as the compatibility layer pretends), and whether
// it has a 64-bit side.

#include "installer/core/install_plan.h"

#include <windows.h>

#include <string>

namespace zv::installer::win32 {

MachineFolders machineFolders();
SystemVersion systemVersion();
bool is64BitWindows();

// The user's temporary folder, the Windows folder and the fonts folder,
// each ending in a backslash.
std::wstring temporaryFolder();
std::wstring windowsFolder();
std::wstring fontsFolder();
// The user's Documents folder, with a backslash.
std::wstring documentsFolder();

// This program's own file.
std::wstring programPath();

// A 32-bit process on a 64-bit Windows sees the 64-bit system folder only
// while file-system redirection is off; off for this object's lifetime.
class NativeFileSystem {
public:
    NativeFileSystem();
    ~NativeFileSystem();
    NativeFileSystem(const NativeFileSystem&) = delete;
    NativeFileSystem& operator=(const NativeFileSystem&) = delete;

private:
    void* old_ = nullptr;
    bool off_ = false;
};

}  // namespace zv::installer::win32
