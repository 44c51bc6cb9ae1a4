#pragma once
// Text in the system's ANSI code page: GB18030 (a superset of CP936) on
// systems without one, the active code page on Windows.

#include <string>
#include <string_view>

namespace zv::platform {

// Bytes that cannot be decoded become U+FFFD, one per byte.
std::u16string ansiToUtf16(std::string_view bytes);

}  // namespace zv::platform
