#pragma once
// The portable core's UTF-16 text and Windows' wide strings are the same
// units; these casts are the only place they meet.

#include <string>
#include <string_view>

namespace zv::installer::win32 {

inline std::wstring wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
inline std::u16string utf16(std::wstring_view s) { return std::u16string(s.begin(), s.end()); }

// printf-style formatting of one of the program's texts.
std::wstring format(const wchar_t* pattern, ...);

}  // namespace zv::installer::win32
