#pragma once
// The tools that are open once: a second start brings the open window to
// the front instead.

#include <string_view>

namespace zv::config::win32 {

// Finds a top-level dialog window with exactly this title; when there is
// one it is restored, raised without moving and made the foreground window,
// and true is returned.
bool raiseOpenWindow(std::u16string_view title);

}  // namespace zv::config::win32
