#pragma once
// The address the information window opens: a page of the help file as it
// is, any other address with its non-Latin characters percent-encoded as
// UTF-8 (as a browser control expects them).

#include <optional>
#include <string>
#include <string_view>

namespace zv::config {

constexpr size_t MaxEscapedUrlUnits = 511;

// Every character from U+00FF up becomes the "%XX" escapes of its UTF-8
// bytes (a surrogate pair as the one character it encodes); the others stay.
// The result keeps at most MaxEscapedUrlUnits units and never ends inside
// an escape.
std::u16string escapeUrl(std::u16string_view url);

// Whether an address is one for the user's browser (http or https): the
// program opens nothing else it is handed, so that no command line makes it
// start a program.
bool isWebAddress(std::u16string_view url);

// A page of a compiled help file, "mk:@MSITStore:<file>::/<page>", as the
// help viewer takes it; nothing for any other address.
struct HelpFilePage {
    std::u16string file, page;
};
std::optional<HelpFilePage> helpFilePage(std::u16string_view url);

}  // namespace zv::config
