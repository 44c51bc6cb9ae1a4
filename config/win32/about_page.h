#pragma once
// The 关于 page: the scheme's name and version and the engine library's
// file version.

#include "config/win32/program.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace zv::config::win32 {

HWND createAboutPage(HWND parent, Program& program);

// The "FileVersion" text of a file's version resource, read for each of its
// translations until one answers; empty when there is none.
std::wstring fileVersionText(const std::wstring& path);
// Four dot-separated numbers as one value, 16 bits each; missing ones are 0.
uint64_t parseFileVersion(std::wstring_view text);
std::wstring fileVersionString(uint64_t version);  // "a.b.c.d"

}  // namespace zv::config::win32
