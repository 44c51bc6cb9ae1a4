#pragma once
// The address the information window opens: a page of the help file as it
// is, any other address with its non-Latin characters percent-encoded as
// UTF-8 (as a browser control expects them).

#include <string>
#include <string_view>

namespace zv::config {

constexpr size_t MaxEscapedUrlUnits = 511;

// Every character from U+00FF up becomes the "%XX" escapes of its UTF-8
// bytes (a surrogate pair as the one character it encodes); the others stay.
// The result keeps at most MaxEscapedUrlUnits units and never ends inside
// an escape.
std::u16string escapeUrl(std::u16string_view url);

}  // namespace zv::config
