#pragma once
// What config.exe holds for its whole run: its command line, the instance's
// data folder with config.dsc mapped, the engine library and the Windows
// version.

#include "config/data_folder.h"
#include "config/shell/command_line.h"
#include "config/win32/engine_library.h"

#include <string>

namespace zv::config::win32 {

struct WindowsVersion {
    int major = 0, minor = 0;
};
// The version the system really is (not what a compatibility layer says).
WindowsVersion windowsVersion();

struct Program {
    ProgramCommand command;
    DataFolder folder;
    EngineLibrary library;
    WindowsVersion windows;
    std::wstring dataFolder, installFolder;  // as the library's pages take them

    // The instance as the library's pages see it; valid while the program runs.
    host::PageContext pageContext();
    // The display name for window titles (at most 64 characters).
    std::u16string displayName() const;
};

}  // namespace zv::config::win32
