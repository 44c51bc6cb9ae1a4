#pragma once
// Conversions between UTF-8 (terminal and file boundaries) and UTF-16 (the
// engine's text). Invalid input becomes U+FFFD; nothing is dropped silently.

#include <string>
#include <string_view>

namespace zv {

std::u16string utf8ToUtf16(std::string_view s);
std::string utf16ToUtf8(std::u16string_view s);

}  // namespace zv
